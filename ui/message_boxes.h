#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

// The caption of the program's own boxes.
inline const QString programCaption = QStringLiteral("Программа настройки ККМ");

// Every message box of the program goes through here, so tests can answer
// them without a modal loop.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                             QMessageBox::StandardButtons buttons = QMessageBox::Ok) = 0;

    void error(const QString& text) { show(QMessageBox::Critical, QStringLiteral("Ошибка"), text); }
    // A plain message: no icon, the application's title as caption.
    void plain(const QString& text) { show(QMessageBox::NoIcon, programCaption, text); }
    // A question with Да / Нет; true for Да.
    bool ask(const QString& text) {
        return show(QMessageBox::Question, programCaption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
};

// Modal boxes over the main window.
class WidgetMessageBoxes : public MessageBoxes {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    QMessageBox::StandardButton show(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                     QMessageBox::StandardButtons buttons) override;

private:
    QPointer<QWidget> m_parent;
};
