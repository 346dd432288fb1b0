#include "goods_view.h"

#include <QHeaderView>
#include <QLineEdit>
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
    return refused(next) ? currentIndex() : next;
}

void GoodsView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && refused(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

// The second click of a double click is one more attempt to select the cell.
void GoodsView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && refused(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

GoodsEditDelegate::GoodsEditDelegate(Filter filter, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_filter(std::move(filter)) {}

QWidget* GoodsEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        const int column = index.column();
        connect(line, &QLineEdit::textEdited, line, [this, line, column](const QString& text) {
            const QString kept = m_filter(column, text);
            if (kept != text)
                line->setText(kept);
        });
    }
    return editor;
}
