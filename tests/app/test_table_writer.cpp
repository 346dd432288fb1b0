// The command line's table writes send exactly what the window sends after loading the same
// settings file and writing each page.
#include "config_diff.h"
#include "device_library.h"
#include "exchange_log.h"
#include "fm_main.h"
#include "profile_file.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "register_fields.h"
#include "register_link.h"
#include "register_reader.h"
#include "settings_layout.h"
#include "table_writer.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList sections() {
    QStringList names;
    for (const auto& section : SettingsLayout::sections())
        names << section.name;
    return names;
}

// The calls since `from` as function, numbers and bytes sent: what reached the register. The
// window's question for an error's text is its report, not part of the write.
QStringList callsSince(const ExchangeLog& log, uint64_t from) {
    QStringList calls;
    for (uint64_t i = from; i < log.nextSequence(); ++i) {
        const DeviceCall& call = log.at(i);
        if (call.function == DeviceFunction::GetErrString)
            continue;
        QStringList args;
        for (int32_t arg : call.args)
            args << QString::number(arg);
        calls << QStringLiteral("%1(%2) %3")
                     .arg(QLatin1String(deviceFunctionName(call.function)), args.join(QLatin1Char(',')),
                          QString::fromLatin1(QByteArray::fromStdString(call.sent).toHex()));
    }
    return calls;
}

} // namespace

class TestTableWriter : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    }

    void sameCallsAsTheWindow() {
        // The example snapshot with the values a page converts on its way out.
        QFile example(QStringLiteral(PROFILE_EXAMPLE));
        QVERIFY(example.open(QIODevice::ReadOnly));
        ProfileFile file(example.readAll());
        const std::pair<const char*, const char*> edits[][2] = {
            {{"KKMOptions", "Light_Duration"}, {"12", ""}},    {{"KKMOptions", "Date_Interval"}, {"100", ""}},
            {{"KKMPrintOpt", "Contrast"}, {"", ""}},           {{"KKMReklama", "BFirstType"}, {"9", ""}},
            {{"KKMDiscounts", "Discount"}, {"5", ""}},         {{"KKMDiscounts", "MarkUps"}, {"", ""}},
            {{"KKMSections", "Section2_NalogCode"}, {"", ""}}, {{"KKMSections", "Section3_Sfer"}, {"7", ""}},
            {{"KKMTaxes", "Tax1_Value"}, {"12.5", ""}},        {{"KKMDevice", "PC_Speed"}, {"40", ""}}};
        for (const auto& edit : edits)
            file.write(edit[0].first, edit[0].second, edit[1].first);
        const QString path = m_data.filePath(QStringLiteral("edited.sav"));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.write(file.bytes());
        saved.close();

        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        QVERIFY2(library.isLoaded(), qPrintable(library.errorText()));
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton; // no automatic read
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.findChild<QComboBox*>("cb_KKMPort")->setCurrentIndex(0);
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(window.link().connected);
        window.MainformActionUpdate();
        dialogs.answer = path;
        window.findChild<QAbstractButton*>("b_LoadSettings")->click();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Загрузка завершена!"));

        const SettingsLayout::Values values = SettingsLayout::read(file);
        const ExchangeLog& log = window.link().api.log();
        const std::pair<const char*, const char*> pages[] = {
            {"ts_KKMOptions", "KKMOptions"},    {"ts_KKMPrintOpt", "KKMPrintOpt"}, {"ts_KKMReklama", "KKMReklama"},
            {"ts_KKMdiscount", "KKMDiscounts"}, {"ts_KKMDevices", "KKMDevice"},    {"ts_KKMOperators", "KKMOperators"},
            {"ts_KKMSections", "KKMSections"},  {"ts_KKMNalog", "KKMTaxes"}};
        // The pages that update rows in place send the register's other bytes as they are: both
        // writes start from the same register.
        const auto rows = RegisterFields::rowsOf(RegisterFields::fieldsOf(sections()));
        const QHash<QString, QByteArray> before = readRegisterRows(window.link(), rows);
        QCOMPARE(before.size(), rows.size());
        for (const auto& [page, section] : pages) {
            window.findChild<QStackedWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>(page));
            uint64_t from = log.nextSequence();
            // The example's lines without a stretch go out as 255, which the register refuses: the
            // write goes on with the next line, on both sides.
            const bool written = window.driver().sb_WriteTableToKKMClick() == TransferDriver::Outcome::Success;
            const QStringList byWindow = callsSince(log, from);
            for (const RegisterFields::Row& row : rows)
                QVERIFY(window.link().writeRow(row.table, row.number, before[ConfigDiff::rowId(row)], row.enough) >= 0);
            from = log.nextSequence();
            const auto outcome = TableWriter::write(window.link(), QLatin1String(section), values);
            QCOMPARE(outcome.firstFailure == 0, written);
            QCOMPARE(callsSince(log, from), byWindow);
        }
    }

    void refusedValueIsNamedBeforeAnythingIsSent() {
        QFile example(QStringLiteral(PROFILE_EXAMPLE));
        QVERIFY(example.open(QIODevice::ReadOnly));
        ProfileFile file(example.readAll());
        file.write("KKMTaxes", "Tax3_Value", "120");
        const SettingsLayout::Values values = SettingsLayout::read(file);
        try {
            TableWriter::checkSendable({QStringLiteral("KKMOptions"), QStringLiteral("KKMTaxes")}, values);
            QFAIL("a rate of 120 % was taken");
        } catch (const std::exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).endsWith(QStringLiteral("(раздел KKMTaxes, ключ Tax3_Value)")),
                     e.what());
        }
    }
};

QTEST_MAIN(TestTableWriter)
#include "test_table_writer.moc"
