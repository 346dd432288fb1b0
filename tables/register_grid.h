#pragma once

#include <QHash>
#include <QTableWidget>

// The string grid of a register table with a row per register row: the
// header row holds the column captions and column 0 the row captions, both
// fixed. Cells are addressed as the register rows are numbered: (column, row)
// with rows from 1.
class RegisterGrid : public QTableWidget {
    Q_OBJECT

public:
    struct Layout {
        QStringList columnCaptions; // column 0 first
        QStringList rowCaptions;    // one per register row
        QList<int> columnWidths;
        int rowHeight = 20;
        QList<int> editableColumns;
    };

    RegisterGrid(const QString& name, const Layout& layout, QWidget* parent = nullptr);

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    // The register row of the current cell; 0 when there is none.
    int currentRecord() const { return currentRow() + 1; }
    // Makes `row` current, keeping the current column (the first editable one when none).
    void setCurrentRecord(int row);
    // A widget kept over the cell while the grid scrolls and resizes. It takes the mouse wheel only
    // when it has the focus; otherwise the wheel scrolls the grid.
    void placeOverCell(int column, int row, QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_firstEditable;
    // What receives the wheel over a cell, and the widget placed over that cell.
    QHash<const QObject*, const QWidget*> m_wheelWatched;
};
