#include "device_library.h"
#include "fake_device.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

class TestConnect : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeDevice> m_fake;
    std::unique_ptr<DeviceLibrary> m_library;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<Tfm_Main> m_window;
    QTemporaryDir m_dir;

    template <typename T = QWidget> T* find(const char* name) { return m_window->findChild<T*>(QLatin1String(name)); }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    QString page() { return find<QStackedWidget>("PageControl")->currentWidget()->objectName(); }
    void connectNow() { find<QAbstractButton>("sb_Connect")->click(); }

private slots:
    void init() {
        m_fake = std::make_unique<FakeDevice>();
        m_fake->ports = {"COM1", "COM2"};
        m_fake->errorTexts[-3] = "\xCD\xE5\xF2 \xF1\xE2\xFF\xE7\xE8"; // "Нет связи"
        m_fake->rows[{2, 1}] = QByteArray(12, '\0');
        m_library = std::make_unique<DeviceLibrary>(FakeDevice::table());
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_window = std::make_unique<Tfm_Main>(*m_library, *m_boxes, m_dialogs, m_dir.filePath("kkm.ini"));
        m_fake->calls.clear();
    }
    void cleanup() {
        m_window.reset();
        m_boxes.reset();
        m_library.reset();
        m_fake.reset();
    }

    // The dialogs start where the last file was chosen, also in the next run, and a snapshot is
    // proposed under the register's serial number and the day.
    void dialogsStartInTheLastFolderUsed() {
        m_boxes->answer = QMessageBox::NoButton; // no automatic read
        connectNow();
        m_window->MainformActionUpdate();
        QVERIFY(QDir().mkpath(m_dir.filePath("visit")));
        m_dialogs.asked.clear();
        m_dialogs.answer = m_dir.filePath("visit/first.sav");
        find<QAbstractButton>("b_SaveSettings")->click();
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(m_dialogs.asked[0][1], QDir::home().filePath("00012345-" + today + ".sav"));
        find<QAbstractButton>("b_LoadSettings")->click();
        QCOMPARE(m_dialogs.asked[1][1], m_dir.filePath("visit"));

        m_window->close();
        m_dialogs.setLastFolder({}); // the next run knows it from the connection file only
        m_window = std::make_unique<Tfm_Main>(*m_library, *m_boxes, m_dialogs, m_dir.filePath("kkm.ini"));
        connectNow();
        m_window->MainformActionUpdate();
        m_dialogs.answer.clear();
        find<QAbstractButton>("b_LoadSettings")->click();
        QCOMPARE(m_dialogs.asked.last()[1], m_dir.filePath("visit"));
    }

    void identifiesAndReadsTheTables() {
        find<QComboBox>("cb_KKMPort")->setCurrentIndex(1);
        find<QComboBox>("cb_KKMPortSpeed")->setCurrentIndex(3);
        connectNow();

        QCOMPARE(m_fake->callNames().mid(0, 3), QStringList({"SetPort", "GetDeviceType", "GetWorksNum"}));
        const auto setPort = m_fake->callsOf("SetPort")[0];
        QCOMPARE(setPort.bytes, QByteArray("COM2"));
        QCOMPARE(setPort.args, QList<int>{9600});
        QCOMPARE(m_fake->callsOf("GetDeviceType")[0].args, QList<int>({2, 1}));
        QVERIFY(m_window->link().connected);
        QCOMPARE(text("lb_KKMModel"), QStringLiteral("ККМ-1"));
        QCOMPARE(text("lb_KKMVersion"), QStringLiteral("3"));
        QCOMPARE(text("lb_KKMProtocol"), QStringLiteral("1.2"));
        QCOMPARE(text("lb_KKMSerialNumber"), QStringLiteral("00012345"));
        QCOMPARE(text("StatusBarPanel0"), QStringLiteral("Соединение с ККМ установлено"));

        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].icon, QMessageBox::Information);
        QCOMPARE(m_boxes->shown[0].caption, QStringLiteral("Программа настройки ККМ"));
        QCOMPARE(m_boxes->shown[0].text,
                 QStringLiteral("Соединение с кассой установлено.\n\r\n\rБудет произведено чтение данных из ККМ."));
        // The pages are read in order, the single-row tables field by field, and the main page comes back.
        // The fake answers 0, which the operators' table repeats three times (it waits for more than 17).
        QList<QList<int>> expected;
        for (const auto& [table, count, rowsByField, calls] :
             {std::tuple{2, 10, false, 1}, std::tuple{3, 10, false, 1}, std::tuple{4, 6, true, 1},
              std::tuple{5, 2, true, 1}, std::tuple{8, 4, true, 1}, std::tuple{9, 8, true, 3},
              std::tuple{7, 16, true, 1}, std::tuple{6, 4, true, 1}})
            for (int n = 1; n <= count; ++n)
                for (int call = 0; call < calls; ++call)
                    expected.append({table, rowsByField ? n : 1});
        QList<QList<int>> read;
        for (const auto& call : m_fake->callsOf("GetRowValue"))
            read.append(call.args.mid(2, 2));
        QCOMPARE(read, expected);
        QCOMPARE(page(), QStringLiteral("ts_main"));
        QCOMPARE(text("lb_Result"), QStringLiteral("Чтение данных прошло успешно."));
    }

    void closingTheInformationBoxSkipsTheRead() {
        m_boxes->answer = QMessageBox::NoButton;
        connectNow();
        QVERIFY(m_window->link().connected);
        QVERIFY(m_fake->callsOf("GetRowValue").isEmpty());
        QCOMPARE(page(), QStringLiteral("ts_main"));
    }

    void automaticReadStopsOnTheFailingPage() {
        m_fake->results["GetRowValue"] = -3;
        connectNow();
        QCOMPARE(m_fake->callsOf("GetRowValue").size(), 3);
        QCOMPARE(page(), QStringLiteral("ts_KKMOptions"));
        QCOMPARE(m_boxes->texts().last(), QStringLiteral("ОШИБКА: Нет связи"));
        // No page button is down, so "Главная" leaves the page where it is.
        m_window->MainformActionUpdate();
        find<QAbstractButton>("sb_Main")->click();
        QCOMPARE(page(), QStringLiteral("ts_KKMOptions"));
    }

    // A page that fails on the window's side does not stop the read, and the end names it.
    void automaticReadNamesThePagesItCouldNotRead() {
        m_fake->onCall = [](const FakeDevice::Call& call) {
            if (call.function == QLatin1String("GetRowValue") && call.args.value(2) == 9 && call.args.value(3) == 2)
                throw std::runtime_error("row 2 unreadable");
        };
        connectNow();
        QCOMPARE(page(), QStringLiteral("ts_main"));
        QCOMPARE(text("lb_Result"), QStringLiteral("ОШИБКА: не прочитаны полностью страницы «Операторы»."));
        QVERIFY(!m_fake->callsOf("GetRowValue").isEmpty());
        QCOMPARE(m_fake->callsOf("GetRowValue").last().args.mid(2, 2), QList<int>({6, 4}));
    }

    void missingPortOrSpeed_data() {
        QTest::addColumn<bool>("port");
        QTest::addColumn<QString>("message");
        QTest::newRow("port") << true << "Не указан порт подключения ККМ";
        QTest::newRow("speed") << false << "Не указана скорость подключения ККМ";
    }
    void missingPortOrSpeed() {
        QFETCH(bool, port);
        QFETCH(QString, message);
        find<QComboBox>(port ? "cb_KKMPort" : "cb_KKMPortSpeed")->setCurrentIndex(-1);
        find<QLabel>("lb_KKMModel")->setText("old");
        find<QLabel>("lb_Result")->setText("old");
        connectNow();
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(m_boxes->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_boxes->shown[0].icon, QMessageBox::Critical);
        QCOMPARE(text("lb_KKMModel"), QStringLiteral("---"));
        QVERIFY(text("lb_Result").isEmpty());
        QVERIFY(m_fake->calls.isEmpty());
    }

    void failingOpen() {
        m_fake->results["SetPort"] = -3;
        connectNow();
        QCOMPARE(m_boxes->texts(), QStringList{"Нет связи"});
        QVERIFY(!m_window->link().connected);
        QCOMPARE(m_window->link().lastResult, -3);
        QCOMPARE(m_fake->callNames(), QStringList({"SetPort", "GetErrString"}));
    }

    void failingIdentificationKeepsThePortOpen_data() {
        QTest::addColumn<QString>("failing");
        QTest::newRow("device type") << "GetDeviceType";
        QTest::newRow("serial number") << "GetWorksNum";
    }
    void failingIdentificationKeepsThePortOpen() {
        QFETCH(QString, failing);
        m_fake->results[failing] = -3;
        connectNow();
        QCOMPARE(m_boxes->texts(), QStringList{"Нет связи"});
        QVERIFY(!m_window->link().connected);
        QVERIFY(!m_fake->callNames().contains("ClosePort"));
        // The next attempt opens the port again without closing it.
        m_fake->results.clear();
        m_boxes->answer = QMessageBox::NoButton;
        connectNow();
        QCOMPARE(m_fake->callNames().count("SetPort"), 2);
        QVERIFY(!m_fake->callNames().contains("ClosePort"));
        QVERIFY(m_window->link().connected);
    }

    void reconnectingClosesThePortFirst() {
        m_boxes->answer = QMessageBox::NoButton;
        connectNow();
        connectNow();
        QCOMPARE(m_fake->callNames().mid(3, 2), QStringList({"ClosePort", "SetPort"}));
    }

    void addresses_data() {
        QTest::addColumn<QString>("pc");
        QTest::addColumn<QString>("kkm");
        QTest::addColumn<QList<int>>("sent");
        QTest::newRow("defaults for empty") << ""
                                            << " " << QList<int>{2, 1};
        QTest::newRow("low 8 bits") << "300"
                                    << "7" << QList<int>{7, 44};
        QTest::newRow("blanks trimmed") << " 5 "
                                        << "255" << QList<int>{255, 5};
    }
    void addresses() {
        QFETCH(QString, pc);
        QFETCH(QString, kkm);
        QFETCH(QList<int>, sent);
        m_boxes->answer = QMessageBox::NoButton;
        find<QLineEdit>("me_PCAddr")->setText(pc);
        find<QLineEdit>("me_KKMAddr")->setText(kkm);
        connectNow();
        QCOMPARE(m_fake->callsOf("GetDeviceType")[0].args, sent);
        QCOMPARE(m_fake->callsOf("GetWorksNum")[0].args, sent);
        QCOMPARE(m_window->link().kkmAddr, sent[0]);
        QCOMPARE(m_window->link().pcAddr, sent[1]);
    }

    void addressThatIsNotANumber() {
        find<QLineEdit>("me_KKMAddr")->setText("1a");
        connectNow();
        QCOMPARE(m_boxes->texts(),
                 QStringList{"Ошибка по месту: Tfm_Main.sb_ConnectClick\n\rТекст ошибки: '1a' is not a "
                             "valid integer value\n\rСообщите разработчикам."});
        // The port was opened before the address was read, and stays so.
        QVERIFY(m_window->link().connected);
        QVERIFY(!m_fake->callNames().contains("GetDeviceType"));
    }

    void languageAndCodePage_data() {
        QTest::addColumn<int>("byte4");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("encoding");
        QTest::newRow("0x10") << 0x10 << "Русский"
                              << "WIN1251";
        QTest::newRow("0x21") << 0x21 << "Недоступно"
                              << "Недоступно";
    }
    void languageAndCodePage() {
        QFETCH(int, byte4);
        QFETCH(QString, language);
        QFETCH(QString, encoding);
        m_boxes->answer = QMessageBox::NoButton;
        m_fake->deviceBytes[3] = uint8_t(byte4);
        m_fake->deviceBytes[0] = 0xF7;
        m_fake->deviceBytes[2] = 0x3A;
        connectNow();
        QCOMPARE(text("lb_KKMLanguage"), language);
        QCOMPARE(text("lb_KKMEncode"), encoding);
        QCOMPARE(text("lb_KKMVersion"), QStringLiteral("7"));
        QCOMPARE(text("lb_KKMProtocol"), QStringLiteral("3.10"));
    }
};

QTEST_MAIN(TestConnect)
#include "test_connect.moc"
