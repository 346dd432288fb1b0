#pragma once

#include <functional>
#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>

// A grid's in-place editor whose text goes through `filter` after every
// change, typed or pasted; the editor shows what the filter kept, so no cell
// can take a text the filter refuses. The filter also gets the text the
// editor held before the change, to go back to it.
class FilteredEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Arguments: the column, the editor's text and its text before the change; returns the text to keep.
    using Filter = std::function<QString(int column, const QString& text, const QString& previous)>;

    FilteredEditDelegate(Filter filter, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

    // Ends the editing open in every grid under `root`, keeping what was typed:
    // the toolbar's buttons take no focus, so without this a transfer, an export
    // or a save would work from the cell's old text and the typing would be lost.
    static void commitOpenEditors(const QWidget* root);

private:
    Filter m_filter;
    mutable QList<QPointer<QWidget>> m_editors;
};
