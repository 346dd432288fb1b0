#include "filtered_edit_delegate.h"

#include <QLineEdit>

namespace {
// The editor's text as the filter last left it.
const char* const keptProperty = "keptText";
} // namespace

FilteredEditDelegate::FilteredEditDelegate(Filter filter, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_filter(std::move(filter)) {}

QWidget* FilteredEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    m_editors.removeAll(nullptr);
    m_editors.append(editor);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        const int column = index.column();
        connect(line, &QLineEdit::textEdited, line, [this, line, column](const QString& text) {
            const QString kept = m_filter(column, text, line->property(keptProperty).toString());
            if (kept != text)
                line->setText(kept);
            line->setProperty(keptProperty, kept);
        });
    }
    return editor;
}

void FilteredEditDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setProperty(keptProperty, line->text());
}

void FilteredEditDelegate::commitOpenEditors(const QWidget* root) {
    for (FilteredEditDelegate* delegate : root->findChildren<FilteredEditDelegate*>()) {
        for (const QPointer<QWidget>& editor : QList(delegate->m_editors)) {
            if (!editor)
                continue;
            emit delegate->commitData(editor);
            emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}
