#pragma once

#include <functional>
#include <QStyledItemDelegate>
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

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool refused(const QModelIndex& index) const;

    SelectCell m_selectCell;
};

// The grid's in-place editor: after every change the text goes through
// `filter`, and the editor shows what it kept.
class GoodsEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Arguments: the column and the editor's text; returns the text to keep.
    using Filter = std::function<QString(int column, const QString& text)>;

    GoodsEditDelegate(Filter filter, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    Filter m_filter;
};
