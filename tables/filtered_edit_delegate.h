#pragma once

#include <functional>
#include <QStyledItemDelegate>

// A grid's in-place editor whose text goes through `filter` after every
// change, typed or pasted; the editor shows what the filter kept, so no cell
// can take a text the filter refuses.
class FilteredEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Arguments: the column and the editor's text; returns the text to keep.
    using Filter = std::function<QString(int column, const QString& text)>;

    FilteredEditDelegate(Filter filter, QObject* parent = nullptr);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    Filter m_filter;
};
