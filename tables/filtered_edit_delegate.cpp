#include "filtered_edit_delegate.h"

#include <QLineEdit>

FilteredEditDelegate::FilteredEditDelegate(Filter filter, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_filter(std::move(filter)) {}

QWidget* FilteredEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
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
