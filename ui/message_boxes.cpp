#include "message_boxes.h"

#include <QGridLayout>
#include <QSpacerItem>

QMessageBox::StandardButton WidgetMessageBoxes::show(QMessageBox::Icon icon, const QString& caption,
                                                     const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, m_parent);
    // A box is as wide as its text; a short text would leave the window manager too little room
    // for the caption, which it then cuts ("Програ… ки ККМ").
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int room = box.fontMetrics().horizontalAdvance(caption) * 3 / 2 + 120;
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
