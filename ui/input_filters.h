#pragma once

#include <QObject>
#include <QString>

class ErrorReporter;
class QLineEdit;

// Whether a typed character may enter the numeric edit `editName`: the print
// contrast takes 1 to 4, the other edits digits, minus and the decimal separator.
// Backspace always passes; other control characters (copy, paste) never do.
bool numericKeyAccepted(const QString& editName, QChar key, QChar decimalPoint);

// The largest value of a numeric edit, applied when the edit is left.
int numericEditMaximum(const QString& editName);

// The text a numeric edit shows once left: clamped to 0 .. maximum, or the
// trimmed text when inside; an empty text stays. Throws ConversionError.
QString clampedNumericText(const QString& text, int maximum);

// The key filter and range check shared by the window's numeric edits.
class NumericEditFilter : public QObject {
    Q_OBJECT

public:
    NumericEditFilter(ErrorReporter& errors, QObject* parent = nullptr);

    // `clampOnExit` is false for the edits that have no range (the print contrast).
    void attach(QLineEdit* edit, bool clampOnExit);
    // No more range checks: the window is closing, and an error box then would be in the way.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool me_KKMAddrKeyPress(QLineEdit* edit, const QString& text);
    void me_PCAddrExit(QLineEdit* edit);

    ErrorReporter& m_errors;
    bool m_stopped = false;
};
