#pragma once

#include <functional>
#include <QTableView>

// The goods grid. A cell that may not take the selection (the "Дробное",
// sales and returns columns) is never made current; each attempt to select it,
// by mouse or keyboard, goes to `selectCell`, which answers whether it may.
class GoodsView : public QTableView {
    Q_OBJECT

public:
    // Arguments: the record (row + 1) and the column; answers whether the cell may be selected.
    using SelectCell = std::function<bool(int record, int column)>;

    explicit GoodsView(QWidget* parent = nullptr);
    void setSelectCell(SelectCell selectCell) { m_selectCell = std::move(selectCell); }
    // `column` takes the width the others leave when the grid grows, keeping its own as the least.
    void setStretchColumn(int column);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool refused(const QModelIndex& index) const;

    SelectCell m_selectCell;
    int m_stretchColumn = -1;
    int m_stretchMinimum = 0;
};
