#include "goods_view.h"

#include <algorithm>
#include <QHeaderView>
#include <QMouseEvent>

GoodsView::GoodsView(QWidget* parent)
    : QTableView(parent) {
    setObjectName(QStringLiteral("Goods"));
    setSelectionMode(SingleSelection);
    setEditTriggers(AllEditTriggers);
    // Fixed sizes: sizing to contents would measure all 9999 rows on every change.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(70);
}

bool GoodsView::refused(const QModelIndex& index) const {
    return index.isValid() && m_selectCell && !m_selectCell(index.row() + 1, index.column());
}

QModelIndex GoodsView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    // The number column is fixed: Home stops at the first column after it.
    if (next.isValid() && next.column() == 0)
        return model()->index(next.row(), 1);
    return refused(next) ? currentIndex() : next;
}

void GoodsView::mousePressEvent(QMouseEvent* event) {
    // Only a left click picks a cell, and only one the grid lets take the selection.
    if (event->button() != Qt::LeftButton || refused(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

// The second click of a double click is one more attempt to select the cell.
void GoodsView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || refused(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void GoodsView::setStretchColumn(int column) {
    m_stretchColumn = column;
    m_stretchMinimum = horizontalHeader()->sectionSize(column);
}

void GoodsView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (m_stretchColumn < 0)
        return;
    QHeaderView* header = horizontalHeader();
    const int others = header->length() - header->sectionSize(m_stretchColumn);
    header->resizeSection(m_stretchColumn, std::max(m_stretchMinimum, viewport()->width() - others));
}
