#include "message_boxes.h"

QMessageBox::StandardButton WidgetMessageBoxes::show(QMessageBox::Icon icon, const QString& caption,
                                                     const QString& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, m_parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
