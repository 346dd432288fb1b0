#include "input_filters.h"

#include "conversions.h"
#include "error_reporter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QValidator>

namespace {
const char* const clampedProperty = "clampOnExit";
constexpr QChar backspace(8);

// Refuses a paste or drop that brings a character the key filter would refuse: the edit then keeps
// its previous text. Dropping the refused characters and joining the rest would turn "1.5" into 15.
class NumericCharsValidator : public QValidator {
public:
    explicit NumericCharsValidator(QLineEdit* edit)
        : QValidator(edit)
        , m_edit(edit) {}

    State validate(QString& text, int&) const override {
        const QString name = m_edit->objectName();
        const QChar point = QLocale().decimalPoint().at(0);
        const bool accepted = std::all_of(
            text.begin(), text.end(), [&](QChar c) { return c != backspace && numericKeyAccepted(name, c, point); });
        return accepted ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_edit;
};
} // namespace

bool numericKeyAccepted(const QString& editName, QChar key, QChar decimalPoint) {
    if (key == backspace)
        return true;
    if (editName == QLatin1String("ed_PoContrast"))
        return key >= QLatin1Char('1') && key <= QLatin1Char('4');
    return (key >= QLatin1Char('0') && key <= QLatin1Char('9')) || key == QLatin1Char('-') || key == decimalPoint;
}

int numericEditMaximum(const QString& editName) {
    if (editName == QLatin1String("ed_DateInterval"))
        return 31;
    if (editName == QLatin1String("ed_DiscountValue") || editName == QLatin1String("ed_MarkUpsValue"))
        return 100;
    return 255;
}

QString clampedNumericText(const QString& text, int maximum) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return text;
    const double value = strToFloat(trimmed);
    if (value >= maximum)
        return QString::number(maximum);
    if (value <= 0)
        return QStringLiteral("0");
    return trimmed;
}

NumericEditFilter::NumericEditFilter(ErrorReporter& errors, QObject* parent)
    : QObject(parent)
    , m_errors(errors) {}

void NumericEditFilter::attach(QLineEdit* edit, bool clampOnExit) {
    edit->setProperty(clampedProperty, clampOnExit);
    edit->installEventFilter(this);
    // Pasted and dropped text never passes the key filter: the same rule judges it whole.
    edit->setValidator(new NumericCharsValidator(edit));
    connect(edit, &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
}

void NumericEditFilter::stop() {
    m_stopped = true;
}

bool NumericEditFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (!edit)
        return false;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys that type nothing (arrows, Delete, Home), Tab and the editing shortcuts are not
        // characters to filter; what a paste brings is cleaned once it is in.
        if (key->text().isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab ||
            key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ControlModifier))
            return false;
        return !me_KKMAddrKeyPress(edit, key->text());
    }
    if (event->type() == QEvent::FocusOut && edit->property(clampedProperty).toBool() && !m_stopped) {
        // Only a move to another control of the window is leaving the edit: not switching to another
        // window, not a popup opening over it.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            me_PCAddrExit(edit);
    }
    return false;
}

bool NumericEditFilter::me_KKMAddrKeyPress(QLineEdit* edit, const QString& text) {
    QString name;
    m_errors.guard(QStringLiteral("Tfm_Main.me_KKMAddrKeyPress"), [&] { name = edit->objectName(); });
    const QChar point = QLocale().decimalPoint().at(0);
    return std::all_of(text.begin(), text.end(), [&](QChar key) { return numericKeyAccepted(name, key, point); });
}

void NumericEditFilter::me_PCAddrExit(QLineEdit* edit) {
    m_errors.guard(QStringLiteral("Tfm_Main.me_PCAddrExit / ") + edit->objectName(), [&] {
        const QString text = clampedNumericText(edit->text(), numericEditMaximum(edit->objectName()));
        if (text != edit->text())
            edit->setText(text);
    });
}
