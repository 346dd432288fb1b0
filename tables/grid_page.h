#pragma once

#include "register_grid.h"
#include "table_page.h"

#include <functional>
#include <QWidget>

class ErrorReporter;

// A page that is one register grid: its editor keeps what the page's cell
// filter allows, and single-row commands act on the grid's current row.
class GridPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    // Arguments: the column and the editor's text; returns the text to keep.
    using CellFilter = std::function<QString(int column, const QString& text)>;

    // The filter's failures are reported under `filterTag`. `editorAlwaysShown`
    // opens the editor as soon as a cell becomes current.
    GridPage(const QString& gridName, const RegisterGrid::Layout& layout, ErrorReporter& errors,
             const QString& filterTag, CellFilter filter, bool editorAlwaysShown, QWidget* parent = nullptr);

    RegisterGrid& grid() const { return *m_grid; }
    int rowCount() const override { return m_grid->rowCount(); }
    int currentRow() const override { return m_grid->currentRecord(); }

protected:
    ErrorReporter& m_errors;

private:
    RegisterGrid* m_grid;
};
