// The rehearsal ports of our device library, through the window: the port list and the
// connection file, and each planned fault as the technician meets it. Timing is bench_wire's.
#include "device_library.h"
#include "exchange_log_model.h"
#include "exchange_log_panel.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A window on our library, connected to `port` (by default the one the connection file names) with
// the given faults, and no automatic read unless `readAll`.
struct Session {
    Session(const QString& connectionFile, const QString& port, const QByteArray& faults, bool readAll = false)
        : library(QStringLiteral(ORVEL_LIBRARY)) {
        qputenv("ORVEL_FAULTS", faults);
        boxes.answer = readAll ? QMessageBox::Ok : QMessageBox::NoButton;
        window = std::make_unique<Tfm_Main>(library, boxes, dialogs, connectionFile);
        auto* ports = window->findChild<QComboBox*>("cb_KKMPort");
        if (!port.isEmpty())
            ports->setCurrentIndex(ports->findText(port));
        window->findChild<QAbstractButton*>("sb_Connect")->click();
    }

    QWidget* page(const char* name) const { return window->findChild<QWidget*>(name); }
    QStackedWidget* pages() const { return window->findChild<QStackedWidget*>("PageControl"); }
    QString result() const { return window->findChild<QLabel*>("lb_Result")->text(); }
    // The log's failed calls of one function.
    QStringList failures(const char* function) {
        ExchangeLogModel& model = window->exchangeLog().model();
        model.setErrorsOnly(true);
        QStringList results;
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.index(row, ExchangeLogModel::FunctionColumn).data() == function)
                results << model.index(row, ExchangeLogModel::ResultColumn).data().toString();
        }
        return results;
    }

    DeviceLibrary library;
    RecordingMessageBoxes boxes;
    RecordingFileDialogs dialogs;
    std::unique_ptr<Tfm_Main> window;
};

// Faults off but the one a test is about.
QByteArray only(const char* fault) {
    return QByteArray("garble-every=0;lost-after=0;slow-call=0;refuse-table=0;") + fault;
}

} // namespace

class TestRehearsalPorts : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    QString connectionFile() const { return m_data.filePath("kkm.ini"); }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit()); }

    void portsAreListedAndRemembered() {
        {
            Session session(connectionFile(), "EMULATOR-FAULTS", only(""));
            auto* ports = session.window->findChild<QComboBox*>("cb_KKMPort");
            QStringList names;
            for (int i = 0; i < ports->count(); ++i)
                names << ports->itemText(i);
            QCOMPARE(names, QStringList({"EMULATOR", "EMULATOR-WIRE", "EMULATOR-FAULTS"}));
            QVERIFY(session.window->link().connected);
            session.window->close();
        }
        Session again(connectionFile(), "", only(""));
        QCOMPARE(again.window->findChild<QComboBox*>("cb_KKMPort")->currentText(), QStringLiteral("EMULATOR-FAULTS"));
        QVERIFY(again.window->link().connected);
    }

    void garbledAnswersAreRepeatedAway() {
        Session session(connectionFile(), "EMULATOR-FAULTS", only("garble-every=2"), true);
        QCOMPARE(session.result(), QStringLiteral("Чтение данных прошло успешно."));
        QCOMPARE(session.boxes.shown.size(), 1); // the information box only
        QVERIFY(session.failures("GetRowValue").size() >= 20);
        const QStringList failures = session.failures("GetRowValue");
        QCOMPARE(QSet<QString>(failures.begin(), failures.end()), QSet<QString>{"-36"});
    }

    void lostConnectionReturnsToTheMainPage() {
        Session session(connectionFile(), "EMULATOR-FAULTS", only("lost-after=12"));
        QVERIFY(session.window->link().connected);
        session.pages()->setCurrentWidget(session.page("ts_KKMGoods"));
        session.window->driver().sb_ReadTableFromKKMClick();
        QCOMPARE(session.pages()->currentWidget(), session.page("ts_main"));
        QVERIFY(!session.window->link().connected);
        QCOMPARE(session.boxes.texts().last(),
                 QStringLiteral("ОШИБКА: ККМ не отвечает (прочитано 10 из 9999). Проверьте кабель и питание ККМ."));
        // The main page no longer shows the register as if it were there.
        session.window->MainformActionUpdate();
        for (const char* detail : {"lb_KKMModel", "lb_KKMSerialNumber"})
            QCOMPARE(session.window->findChild<QLabel*>(detail)->text(), QStringLiteral("---"));
        // Identification took two exchanges, the goods ten; the next failed on every attempt.
        QCOMPARE(session.failures("GetPLU"), QStringList(3, "-5"));
        ExchangeLogModel& log = session.window->exchangeLog().model();
        log.setFunction(DeviceFunction::GetPLU);
        QCOMPARE(log.index(0, ExchangeLogModel::SentColumn).data().toString(), QStringLiteral("ККМ 2, ПК 1, товар 11"));

        // Connecting again opens the port anew: the register answers again.
        session.window->findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(session.window->link().connected);
    }

    void refusedWriteIsReported() {
        Session session(connectionFile(), "EMULATOR-FAULTS", only("refuse-table=4"), true);
        QCOMPARE(session.result(), QStringLiteral("Чтение данных прошло успешно."));
        session.pages()->setCurrentWidget(session.page("ts_KKMReklama"));
        session.window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(session.result(), QStringLiteral("ОШИБКА: ККМ отказала в записи этой таблицы"));
        QVERIFY(session.window->link().connected);
        session.pages()->setCurrentWidget(session.page("ts_KKMOptions"));
        session.window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(session.result(), QStringLiteral("Запись данных прошла успешно."));
    }

    void slowAnswerIsLate() {
        Session session(connectionFile(), "EMULATOR-FAULTS", only("slow-call=2;slow-ms=300"));
        QVERIFY(session.window->link().connected);
        ExchangeLogModel& model = session.window->exchangeLog().model();
        model.setFunction(DeviceFunction::GetWorksNum);
        QCOMPARE(model.rowCount(), 1);
        const QString duration = model.index(0, ExchangeLogModel::DurationColumn).data().toString();
        QVERIFY2(QLocale().toDouble(duration.section(' ', 0, 0)) >= 300, qPrintable(duration));
    }

    void logOpensFromTheToolbarAndTheShortcut() {
        Session session(connectionFile(), "EMULATOR", only(""));
        session.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(session.window.get()));
        auto* button = session.window->findChild<QAbstractButton*>("sb_ExchangeLog");
        QCOMPARE(button->toolTip(), QStringLiteral("Журнал обмена"));
        auto* dock = session.window->findChild<QDockWidget*>("dw_ExchangeLog");
        QVERIFY(!dock->isVisible());
        button->click();
        QVERIFY(dock->isVisible());
        QVERIFY(session.window->exchangeLog().model().rowCount() >= 4); // port list, SetPort, identification
        QTest::keyClick(session.window.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(!dock->isVisible());
        QVERIFY(!button->isChecked());
        QTest::keyClick(session.window.get(), Qt::Key_L, Qt::ControlModifier);
        QVERIFY(dock->isVisible() && button->isChecked());
    }
};

QTEST_MAIN(TestRehearsalPorts)
#include "test_rehearsal_ports.moc"
