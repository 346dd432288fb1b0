#include "error_reporter.h"
#include "input_filters.h"
#include "recording_message_boxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

namespace {

// A shown window with the date interval edit filtered and one more edit to move the focus to.
struct FilteredWindow {
    RecordingMessageBoxes boxes;
    ErrorReporter errors{boxes};
    NumericEditFilter filter{errors};
    QWidget window;
    QLineEdit* interval = new QLineEdit(&window);
    QLineEdit* other = new QLineEdit(&window);

    FilteredWindow() {
        interval->setObjectName("ed_DateInterval");
        filter.attach(interval, true);
        window.show();
    }
};

} // namespace

class TestInputFilters : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void keys_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("digits") << "ed_DateInterval"
                                << "1a2-,.b"
                                << "12-,";
        QTest::newRow("address") << "me_PCAddr"
                                 << "2 5x5"
                                 << "255";
        QTest::newRow("contrast") << "ed_PoContrast"
                                  << "0123456-,"
                                  << "1234";
        QTest::newRow("shortcuts") << "me_KKMAddr"
                                   << QString("\x03\x16\x18"
                                              "7")
                                   << "7";
        QTest::newRow("shortcuts on contrast") << "ed_PoContrast"
                                               << QString("\x16"
                                                          "2")
                                               << "2";
    }
    void keys() {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QString result;
        for (QChar key : typed) {
            if (numericKeyAccepted(edit, key, QLocale().decimalPoint().at(0)))
                result += key;
        }
        QCOMPARE(result, kept);
        QVERIFY(numericKeyAccepted(edit, QChar(8), QLatin1Char(',')));
    }

    void clamps_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("99 in date interval") << "ed_DateInterval"
                                             << "99"
                                             << "31";
        QTest::newRow("31 rewritten") << "ed_DateInterval"
                                      << "31"
                                      << "31";
        QTest::newRow("0") << "ed_DateInterval"
                           << "0"
                           << "0";
        QTest::newRow("-5") << "ed_DateInterval"
                            << "-5"
                            << "0";
        QTest::newRow("12,5 stays") << "ed_DateInterval"
                                    << "12,5"
                                    << "12,5";
        QTest::newRow("blanks trimmed") << "ed_DateInterval"
                                        << " 12 "
                                        << "12";
        QTest::newRow("empty left alone") << "ed_DateInterval"
                                          << "  "
                                          << "  ";
        QTest::newRow("discount 100") << "ed_DiscountValue"
                                      << "100"
                                      << "100";
        QTest::newRow("discount 150") << "ed_DiscountValue"
                                      << "150"
                                      << "100";
        QTest::newRow("discount 0,5") << "ed_DiscountValue"
                                      << "0,5"
                                      << "0,5";
        QTest::newRow("mark-up 101") << "ed_MarkUpsValue"
                                     << "101"
                                     << "100";
        QTest::newRow("address 300") << "me_PCAddr"
                                     << "300"
                                     << "255";
        QTest::newRow("address 254") << "me_KKMAddr"
                                     << "254"
                                     << "254";
    }
    void clamps() {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(clampedNumericText(text, numericEditMaximum(edit)), shown);
    }

    void editsFilterAsTheyAreUsed() {
        FilteredWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QLineEdit* interval = w.interval;
        QLineEdit* other = w.other;
        RecordingMessageBoxes& boxes = w.boxes;

        interval->setFocus();
        QTest::keyClicks(interval, "9x9");
        QCOMPARE(interval->text(), QStringLiteral("99"));
        QTest::keyClick(interval, Qt::Key_Backspace);
        QTest::keyClick(interval, Qt::Key_Left);
        QTest::keyClick(interval, Qt::Key_Delete);
        QVERIFY(interval->text().isEmpty());
        QTest::keyClicks(interval, "45");
        other->setFocus();
        QCOMPARE(interval->text(), QStringLiteral("31"));

        interval->setFocus();
        interval->setText("-");
        other->setFocus();
        QCOMPARE(interval->text(), QStringLiteral("-"));
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].text, QStringLiteral("Ошибка по месту: Tfm_Main.me_PCAddrExit / ed_DateInterval\n\r"
                                                     "Текст ошибки: '-' is not a valid floating point value\n\r"
                                                     "Сообщите разработчикам."));
    }

    // A paste holding a character the edit refuses leaves the previous text, never the rest joined.
    void pastes_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("point under a comma locale") << "ed_DiscountValue"
                                                    << "1.5"
                                                    << "1";
        QTest::newRow("point before digits") << "ed_MarkUpsValue"
                                             << "0.75"
                                             << "1";
        QTest::newRow("percent sign") << "ed_DiscountValue"
                                      << "5 %"
                                      << "1";
        QTest::newRow("address with a letter") << "me_KKMAddr"
                                               << "1O"
                                               << "1";
        QTest::newRow("comma accepted") << "ed_DiscountValue"
                                        << "1,5"
                                        << "11,5";
        QTest::newRow("contrast out of range") << "ed_PoContrast"
                                               << "5"
                                               << "1";
    }
    void pastes() {
        QFETCH(QString, edit);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        RecordingMessageBoxes boxes;
        ErrorReporter errors{boxes};
        NumericEditFilter filter{errors};
        QLineEdit line;
        line.setObjectName(edit);
        filter.attach(&line, true);
        line.setText("1");
        QSignalSpy rejected(&line, &QLineEdit::inputRejected);
        line.insert(pasted);
        QCOMPARE(line.text(), shown);
        QCOMPARE(rejected.size(), shown == QLatin1String("1") ? 1 : 0);
    }

    // Tab leaves the edit (and runs the range check); shortcuts edit; what a paste brings is filtered;
    // switching to another window or closing it runs no check.
    void keyboardAndClipboard() {
        FilteredWindow w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QLineEdit* interval = w.interval;
        QLineEdit* other = w.other;
        RecordingMessageBoxes& boxes = w.boxes;

        interval->setFocus();
        QTest::keyClicks(interval, "5");
        QTest::keyClick(interval, Qt::Key_Tab);
        QVERIFY(other->hasFocus());
        QTest::keyClicks(other, "7");
        QCOMPARE(interval->text(), QStringLiteral("5"));

        interval->setFocus();
        QTest::keyClick(interval, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(interval->selectedText(), QStringLiteral("5"));
        interval->insert("1x2;3"); // a paste or a drop
        QCOMPARE(interval->text(), QStringLiteral("5"));

        interval->setText("99");
        QFocusEvent toAnotherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(interval, &toAnotherWindow);
        QCOMPARE(interval->text(), QStringLiteral("99"));
        interval->setText("-");
        w.filter.stop();
        QFocusEvent closing(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(interval, &closing);
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestInputFilters)
#include "test_input_filters.moc"
