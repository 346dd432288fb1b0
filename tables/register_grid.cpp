#include "register_grid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

RegisterGrid::RegisterGrid(const QString& name, const Layout& layout, QWidget* parent)
    : QTableWidget(int(layout.rowCaptions.size()), int(layout.columnCaptions.size()), parent)
    , m_firstEditable(layout.editableColumns.value(0, 1)) {
    setObjectName(name);
    setHorizontalHeaderLabels(layout.columnCaptions);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(layout.rowHeight);
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, layout.columnWidths.value(column, 100));
    setSelectionMode(SingleSelection);
    for (int row = 0; row < rowCount(); ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            auto* item = new QTableWidgetItem(column == 0 ? layout.rowCaptions[row] : QString());
            // The captions are fixed: they look like the header beside them.
            if (column == 0)
                item->setBackground(palette().button());
            const bool editable = layout.editableColumns.contains(column);
            item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                    : Qt::ItemIsEnabled);
            setItem(row, column, item);
        }
    }
}

QString RegisterGrid::cell(int column, int row) const {
    return item(row - 1, column)->text();
}

void RegisterGrid::setCell(int column, int row, const QString& text) {
    item(row - 1, column)->setText(text);
}

void RegisterGrid::setCurrentRecord(int row) {
    const int column = currentColumn() >= 0 ? currentColumn() : m_firstEditable;
    setCurrentCell(row - 1, column);
}

void RegisterGrid::placeOverCell(int column, int row, QWidget* widget) {
    // A list under the pointer would otherwise change its choice, and write the cell, while the
    // user only scrolls.
    if (widget->focusPolicy() == Qt::WheelFocus)
        widget->setFocusPolicy(Qt::StrongFocus);
    // A list's wheel arrives at its viewport.
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    for (QWidget* watched : {widget, area ? area->viewport() : nullptr}) {
        if (watched) {
            watched->installEventFilter(this);
            m_wheelWatched.insert(watched, widget);
        }
    }
    setCellWidget(row - 1, column, widget);
}

bool RegisterGrid::eventFilter(QObject* watched, QEvent* event) {
    // The view watches its own viewport and scroll bars too.
    const QWidget* overCell = m_wheelWatched.value(watched);
    if (event->type() != QEvent::Wheel || !overCell)
        return QTableWidget::eventFilter(watched, event);
    if (!overCell->hasFocus()) {
        QCoreApplication::sendEvent(verticalScrollBar(), event);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}
