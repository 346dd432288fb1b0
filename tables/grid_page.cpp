#include "grid_page.h"

#include "error_reporter.h"
#include "filtered_edit_delegate.h"

#include <QVBoxLayout>

GridPage::GridPage(const QString& gridName, const RegisterGrid::Layout& layout, ErrorReporter& errors,
                   const QString& filterTag, CellFilter filter, bool editorAlwaysShown, QWidget* parent)
    : QWidget(parent)
    , m_errors(errors)
    , m_grid(new RegisterGrid(gridName, layout, this)) {
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_grid);
    if (editorAlwaysShown)
        m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setItemDelegate(new FilteredEditDelegate(
        [this, filterTag, filter = std::move(filter)](int column, const QString& text, const QString&) {
            QString kept = text;
            m_errors.guard(filterTag, [&] { kept = filter(column, text); });
            return kept;
        },
        m_grid));
    // A single-row command always has a row to work on, as on the goods page.
    m_grid->setCurrentRecord(1);
}
