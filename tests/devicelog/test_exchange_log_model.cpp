// The log's table model and panel over a recorder in front of a scripted register.
#include "exchange_log_model.h"
#include "exchange_log_panel.h"
#include "exchange_recorder.h"
#include "fake_device.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

void readGoods(ExchangeRecorder& device, int number) {
    const char* t[7] = {};
    device.GetPLU(2, 1, uint16_t(number), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]);
}

QString cell(const ExchangeLogModel& model, int row, int column) {
    return model.index(row, column).data().toString();
}

QStringList column(const ExchangeLogModel& model, int column) {
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells << cell(model, row, column);
    return cells;
}

} // namespace

class TestExchangeLogModel : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeDevice> m_fake;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() {
        m_fake.reset();
        m_fake = std::make_unique<FakeDevice>();
        m_fake->errorTexts[-5] = "\xCD\xE5\xF2 \xF1\xE2\xFF\xE7\xE8";
    }

    void newestRowComesLast() {
        ExchangeRecorder device(FakeDevice::table());
        readGoods(device, 1);
        ExchangeLogModel model(device);
        QCOMPARE(model.rowCount(), 1);
        readGoods(device, 2);
        QCOMPARE(model.rowCount(), 1); // until it looks again
        model.refresh();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(cell(model, 1, ExchangeLogModel::SentColumn), QStringLiteral("ККМ 2, ПК 1, товар 2"));
        QCOMPARE(cell(model, 1, ExchangeLogModel::FunctionColumn), QStringLiteral("GetPLU"));
        QCOMPARE(cell(model, 1, ExchangeLogModel::ResultColumn), QStringLiteral("0"));
        QCOMPARE(cell(model, 1, ExchangeLogModel::ErrorColumn), QString());
    }

    void rowsOfForgottenCallsGo() {
        ExchangeRecorder device(FakeDevice::table(), 3);
        ExchangeLogModel model(device);
        for (int number = 1; number <= 2; ++number)
            readGoods(device, number);
        model.refresh();
        for (int number = 3; number <= 7; ++number)
            readGoods(device, number);
        model.refresh();
        QCOMPARE(column(model, ExchangeLogModel::SentColumn),
                 QStringList({"ККМ 2, ПК 1, товар 5", "ККМ 2, ПК 1, товар 6", "ККМ 2, ПК 1, товар 7"}));
    }

    void filters() {
        ExchangeRecorder device(FakeDevice::table());
        m_fake->queued["GetPLU"] = {0, -5, 0};
        for (int number = 1; number <= 3; ++number)
            readGoods(device, number);
        device.ClosePort();
        ExchangeLogModel model(device);
        model.setErrorsOnly(true);
        QCOMPARE(column(model, ExchangeLogModel::SentColumn), QStringList{"ККМ 2, ПК 1, товар 2"});
        QCOMPARE(cell(model, 0, ExchangeLogModel::ErrorColumn), QStringLiteral("Нет связи"));
        m_fake->queued["ClosePort"] = {-5};
        device.ClosePort();
        model.refresh();
        QCOMPARE(column(model, ExchangeLogModel::FunctionColumn), QStringList({"GetPLU", "ClosePort"}));

        model.setErrorsOnly(false);
        model.setFunction(DeviceFunction::ClosePort);
        QCOMPARE(column(model, ExchangeLogModel::ResultColumn), QStringList({"0", "-5"}));
        model.setFunction(std::nullopt);
        QCOMPARE(model.rowCount(), 5);
    }

    void panelFollowsAndSaves() {
        ExchangeRecorder device(FakeDevice::table());
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        ExchangeLogPanel panel(device, boxes, dialogs);
        panel.resize(900, 300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        m_fake->queued["GetPLU"] = {-5};
        for (int number = 1; number <= 300; ++number)
            readGoods(device, number);
        panel.refresh();
        auto* view = panel.findChild<QTableView*>("tv_Log");
        QCOMPARE(view->model()->rowCount(), 300);
        QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        QVERIFY(view->verticalScrollBar()->maximum() > 0);
        QCOMPARE(panel.findChild<QLabel*>("lb_Count")->text(), QStringLiteral("Показано вызовов: 300 из 300"));

        panel.findChild<QCheckBox*>("cb_ErrorsOnly")->setChecked(true);
        QCOMPARE(view->model()->rowCount(), 1);
        auto* function = panel.findChild<QComboBox*>("cb_Function");
        panel.findChild<QCheckBox*>("cb_ErrorsOnly")->setChecked(false);
        function->setCurrentIndex(function->findText("ClosePort"));
        QCOMPARE(view->model()->rowCount(), 0);
        function->setCurrentIndex(function->findText("GetPLU"));
        panel.findChild<QCheckBox*>("cb_ErrorsOnly")->setChecked(true);

        QTemporaryDir folder;
        dialogs.answer = folder.filePath("журнал.txt");
        panel.bt_SaveClick();
        QFile saved(dialogs.answer);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split('\n');
        QCOMPARE(lines.size(), 3); // the headings, the failed call, and the end of the last line
        QCOMPARE(lines[0], QStringLiteral("Время\tФункция\tРезультат\tДлительность\tПередано\tПолучено\tТекст ошибки"));
        QVERIFY2(lines[1].contains(QStringLiteral("\tGetPLU\t-5\t")), qPrintable(lines[1]));
        QVERIFY2(lines[1].endsWith(QStringLiteral(" мс\tККМ 2, ПК 1, товар 1\t\tНет связи")), qPrintable(lines[1]));
        QVERIFY(boxes.shown.isEmpty());

        dialogs.answer = folder.filePath("нет такой папки/журнал.txt");
        panel.bt_SaveClick();
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY(boxes.texts()[0].startsWith(QStringLiteral("Не удалось записать файл")));
    }
};

QTEST_MAIN(TestExchangeLogModel)
#include "test_exchange_log_model.moc"
