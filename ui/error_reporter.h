#pragma once

#include "message_boxes.h"

#include <exception>
#include <QString>
#include <utility>

// The text of the box that reports an unexpected failure of an operation.
QString errorReportText(const QString& location, const QString& error);

// Reports what fails unexpectedly inside an operation: one box naming the
// operation (its location tag) and the error, after which the program goes on.
class ErrorReporter {
public:
    explicit ErrorReporter(MessageBoxes& boxes)
        : m_boxes(boxes) {}

    void ShowError(const QString& location, const QString& error);
    // How many failures have been reported so far: an operation made of
    // several others tells by it whether one of them failed.
    int reportedCount() const { return m_reported; }

    // Runs an operation's body; an exception ends the body and is reported.
    // What the body changed before the failure stays changed.
    template <typename Body> bool guard(const QString& location, Body&& body) {
        try {
            std::forward<Body>(body)();
            return true;
        } catch (const std::exception& e) {
            ShowError(location, QString::fromUtf8(e.what()));
            return false;
        }
    }

private:
    MessageBoxes& m_boxes;
    int m_reported = 0;
};
