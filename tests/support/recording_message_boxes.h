#pragma once

#include "message_boxes.h"

#include <QList>
#include <QStringList>

// Records every box instead of showing it, and answers with a scripted button.
class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
    };

    QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                     QMessageBox::StandardButtons) override {
        shown.append({icon, caption, text});
        return answer;
    }

    QStringList texts() const {
        QStringList all;
        for (const Shown& box : shown)
            all << box.text;
        return all;
    }

    QList<Shown> shown;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};
