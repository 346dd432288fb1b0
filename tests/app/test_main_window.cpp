#include "device_library.h"
#include "fake_device.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <memory>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

const QStringList pageNames{"ts_main",        "ts_KKMOptions", "ts_KKMPrintOpt", "ts_KKMReklama",
                            "ts_KKMdiscount", "ts_KKMLogo",    "ts_KKMDevices",  "ts_KKMOperators",
                            "ts_KKMSections", "ts_KKMNalog",   "ts_KKMGoods",    "ts_TestPanel"};

const QStringList toolbarButtons{"sb_ReadTableFromKKM", "sb_WriteTableToKKM", "sb_ReadStringFromKKM",
                                 "sb_WriteStringToKKM", "sb_LoadFromCSV",     "sb_SaveToCSV",
                                 "sb_StopReading"};

const QStringList pageButtons{"sb_KKMOptions", "sb_KKMPrintOpt", "sb_KKMReklama", "sb_KKMLogo",
                              "sb_KKMSkidki",  "sb_KKMDevices",  "sb_KKMOtdel",   "sb_KKMOperators",
                              "sb_KKMNalog",   "sb_KKMGoods",    "sb_TestPanel"};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeDevice> m_fake;
    std::unique_ptr<DeviceLibrary> m_library;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<Tfm_Main> m_window;
    QTemporaryDir m_dir;

    QString connectionFile() const { return m_dir.filePath(QStringLiteral("kkm-configurator.ini")); }

    void open(const QByteArrayList& ports = {"COM1", "COM2"}) {
        m_fake = std::make_unique<FakeDevice>();
        m_fake->ports = ports;
        m_library = std::make_unique<DeviceLibrary>(FakeDevice::table());
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_window = std::make_unique<Tfm_Main>(*m_library, *m_boxes, m_dialogs, connectionFile());
    }

    template <typename T = QWidget> T* find(const QString& name) {
        T* w = m_window->findChild<T*>(name);
        if (!w)
            qWarning("no control %s", qPrintable(name));
        return w;
    }
    QStackedWidget* pages() { return find<QStackedWidget>("PageControl"); }
    QString currentPage() { return pages()->currentWidget()->objectName(); }
    void connectAndUpdate() {
        m_window->link().connected = true;
        m_window->MainformActionUpdate();
    }

private slots:
    // The window attaches the numeric filters to the edits of its pages.
    void pageEditsAreFiltered_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shownWhenLeft");
        QTest::newRow("contrast keeps 1 to 4, no range check") << "ed_PoContrast"
                                                               << "5x3"
                                                               << "3";
        QTest::newRow("discount clamped to 100") << "ed_DiscountValue"
                                                 << "150a"
                                                 << "100";
        QTest::newRow("mark-up clamped to 0") << "ed_MarkUpsValue"
                                              << "-7"
                                              << "0";
    }
    void pageEditsAreFiltered() {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        QFETCH(QString, shownWhenLeft);
        open();
        m_window->show();
        QTRY_VERIFY(m_window->findChild<QLineEdit*>(edit));
        auto* line = find<QLineEdit>(edit);
        for (QChar key : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(key));
            QApplication::sendEvent(line, &press);
        }
        QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(line, &left);
        QCOMPARE(line->text(), shownWhenLeft);
        QVERIFY(m_boxes->shown.isEmpty());
    }

    // The toolbar's buttons take no focus: a transfer must take what the open cell editor holds.
    void toolbarTakesTheOpenEditorsText() {
        open();
        m_window->show();
        connectAndUpdate();
        find<QAbstractButton>("sb_KKMGoods")->click();
        m_window->MainformActionUpdate();
        auto* grid = find<QTableView>("Goods");
        grid->setCurrentIndex(grid->model()->index(4, 1));
        grid->edit(grid->currentIndex());
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, "Milk");
        find<QAbstractButton>("sb_WriteStringToKKM")->click();
        const auto writes = m_fake->callsOf("SetPLU");
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes[0].bytes.split('|').value(0), QByteArray("Milk"));
    }

    // A box opened during a transfer runs an event loop, and with it the state update: that must
    // not re-enable the buttons of a transfer.
    void stateUpdateWaitsForTheTransfer() {
        open();
        m_window->show();
        connectAndUpdate();
        find<QAbstractButton>("sb_KKMOptions")->click();
        m_window->MainformActionUpdate();
        QList<bool> writeEnabled;
        m_fake->onCall = [&](const FakeDevice::Call& call) {
            if (call.function == "SetRowValue") {
                m_window->MainformActionUpdate();
                writeEnabled << find<QAbstractButton>("sb_WriteTableToKKM")->isEnabled();
            }
        };
        find<QAbstractButton>("sb_WriteTableToKKM")->click();
        QCOMPARE(writeEnabled, QList<bool>(10, false));
        QVERIFY(find<QAbstractButton>("sb_WriteTableToKKM")->isEnabled());
    }

    void cleanup() {
        m_window.reset();
        m_boxes.reset();
        m_library.reset();
        m_fake.reset();
    }

    void windowIsLaidOutAsDesigned() {
        open();
        QCOMPARE(m_window->objectName(), QStringLiteral("fm_Main"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Конфигуратор ККМ"));
        // As designed, but within the 800-pixel-wide offscreen screen together with its frame.
        QCOMPARE(m_window->height(), 600);
        QVERIFY(m_window->width() > 760 && m_window->width() <= 800);
        QCOMPARE(find("pnl_MainButtons")->width(), 200);
        QCOMPARE(pages()->count(), pageNames.size());
        for (int i = 0; i < pageNames.size(); ++i)
            QCOMPARE(pages()->widget(i)->objectName(), pageNames[i]);
        QCOMPARE(currentPage(), QStringLiteral("ts_main"));
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void mainPageStaysPutWhenTheDetailsAreFilled() {
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QWidget* details = find("gb_KKMInfo");
        const QRect before = details->geometry();
        find<QLabel>("lb_KKMModel")->setText("Орвел-01К (эмулятор), исполнение 2");
        find<QLabel>("lb_KKMSerialNumber")->setText("000123456789");
        QCoreApplication::processEvents();
        QCOMPARE(details->geometry(), before);
    }

    // Pages change only through the navigation buttons: Ctrl+Tab and its kin do nothing.
    void keysDoNotChangeThePage() {
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QWidget* connect = find("sb_Connect");
        connect->setFocus();
        for (const QKeyCombination key : {Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab,
                                          Qt::CTRL | Qt::Key_PageDown, Qt::CTRL | Qt::Key_PageUp}) {
            QTest::keyClick(connect, key.key(), key.keyboardModifiers());
            QCOMPARE(currentPage(), QStringLiteral("ts_main"));
        }
    }

    void captions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const std::pair<const char*, const char*> texts[] = {
            {"sb_Main", "Главная"},
            {"sb_KKMGoods", "Товары / Услуги"},
            {"sb_KKMOptions", "Опции ККМ"},
            {"sb_KKMPrintOpt", "Опции печати ККМ"},
            {"sb_KKMReklama", "Рекламные строки"},
            {"sb_KKMLogo", "Логотип"},
            {"sb_KKMSkidki", "Скидки, наценки"},
            {"sb_KKMDevices", "Устройства"},
            {"sb_KKMOtdel", "Отделы"},
            {"sb_KKMOperators", "Операторы"},
            {"sb_KKMNalog", "Налоги"},
            {"sb_TestPanel", "Тестовая панель"},
            {"sb_Connect", "Установить соединение"},
            {"b_LoadSettings", "Загрузить настройки"},
            {"b_SaveSettings", "Сохранить настройки"},
            {"lb_Interval", "Интервал"},
            {"lb_IntervalDot", "--"},
            {"lb_KKMModel", "---"},
            {"lb_KKMVersion", "---"},
            {"lb_KKMSerialNumber", "---"},
            {"lb_KKMProtocol", "---"},
            {"lb_KKMLanguage", "---"},
            {"lb_KKMEncode", "---"},
            {"lb_Version", "Версия: 1.12"},
            {"lb_Result", ""},
            {"StatusBarPanel0", "Соединение с ККМ не установлено"},
        };
        for (const auto& [name, caption] : texts)
            QTest::newRow(name) << name << caption;
    }
    void captions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        open();
        QWidget* w = find(name);
        QVERIFY(w);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            QCOMPARE(button->text(), caption);
        else
            QCOMPARE(qobject_cast<QLabel*>(w)->text(), caption);
    }

    void toolbar_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tooltip");
        const std::pair<const char*, const char*> tips[] = {
            {"sb_ReadTableFromKKM", "Прочитать таблицу из ККМ"},
            {"sb_WriteTableToKKM", "Записать таблицу в ККМ"},
            {"sb_ReadStringFromKKM", "Прочитать строку из ККМ"},
            {"sb_WriteStringToKKM", "Записать строку в ККМ"},
            {"sb_LoadFromCSV", "Импорт"},
            {"sb_SaveToCSV", "Экспорт"},
            {"sb_StopReading", "Прервать"},
            {"sb_Help", "Справка по программе"},
        };
        for (const auto& [name, tip] : tips)
            QTest::newRow(name) << name << tip;
    }
    void toolbar() {
        QFETCH(QString, name);
        QFETCH(QString, tooltip);
        open();
        auto* button = find<QAbstractButton>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), tooltip);
        QCOMPARE(button->size(), QSize(33, 33));
        QVERIFY(!button->icon().isNull());
    }

    void mainPageControls() {
        open();
        auto* speeds = find<QComboBox>("cb_KKMPortSpeed");
        QStringList items;
        for (int i = 0; i < speeds->count(); ++i)
            items << speeds->itemText(i);
        QCOMPARE(items, QStringList({"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
        for (const char* name : {"me_PCAddr", "me_KKMAddr"}) {
            QCOMPARE(find<QLineEdit>(name)->maxLength(), 3);
            QVERIFY(find(name)->isHidden());
        }
        QCOMPARE(find<QLineEdit>("ed_GoodsStart")->text(), QStringLiteral("1"));
        QCOMPARE(find<QLineEdit>("ed_GoodsEND")->text(), QStringLiteral("9999"));
        QCOMPARE(find<QLineEdit>("ed_GoodsEND")->maxLength(), 4);
        QVERIFY(!find("sb_StopReading")->isEnabled());
        const QProgressBar* progress = m_window->progressBar();
        QCOMPARE(progress->minimum(), 0);
        QCOMPARE(progress->maximum(), 100);
        QCOMPARE(progress->value(), 0);
    }

    void portList_data() {
        QTest::addColumn<QByteArrayList>("ports");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("two ports") << QByteArrayList{"COM1", "\xDD\xEC\xF3\xEB\xFF\xF2\xEE\xF0"}
                                   << QStringList{"COM1", "Эмулятор"} << QStringList{};
        QTest::newRow("no port") << QByteArrayList{} << QStringList{"Ошибка"}
                                 << QStringList{"Ошибка получения информации о портах!"};
    }
    void portList() {
        QFETCH(QByteArrayList, ports);
        QFETCH(QStringList, items);
        QFETCH(QStringList, boxes);
        open(ports);
        auto* list = find<QComboBox>("cb_KKMPort");
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(m_boxes->texts(), boxes);
        // Asked until the first missing index, and no further.
        QCOMPARE(m_fake->callNames().count("GetPortName"), ports.size() + 1);
    }

    // A library that fails to list its ports (a maker's DLL behind the bridge lacking functions)
    // says why at once.
    void portListFailureSaysWhy() {
        m_fake = std::make_unique<FakeDevice>();
        m_fake->results["GetPortName"] = -5;
        m_fake->errorTexts[-5] = "\xC2 \xE1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xE5 Orvel.dll \xED\xE5\xF2 "
                                 "\xF4\xF3\xED\xEA\xF6\xE8\xE9: SetPort.";
        m_library = std::make_unique<DeviceLibrary>(FakeDevice::table());
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_window = std::make_unique<Tfm_Main>(*m_library, *m_boxes, m_dialogs, connectionFile());
        QCOMPARE(m_boxes->texts(), QStringList{"Ошибка получения информации о портах!\n"
                                               "В библиотеке Orvel.dll нет функций: SetPort."});
    }

    // The longest port name and the emulator's model name are shown whole, on one line.
    void longNamesFit() {
        open({"COM1", "EMULATOR-FAULTS"});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        auto* ports = find<QComboBox>("cb_KKMPort");
        QVERIFY2(ports->width() > ports->fontMetrics().horizontalAdvance(QStringLiteral("EMULATOR-FAULTS")) + 16,
                 qPrintable(QString::number(ports->width())));
        auto* model = find<QLabel>("lb_KKMModel");
        model->setText(QStringLiteral("Орвел-01К (эмулятор)"));
        QVERIFY(!model->wordWrap());
        QVERIFY(model->width() >= model->fontMetrics().horizontalAdvance(model->text()));
    }

    void portListWithoutLibrary() {
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_library = std::make_unique<DeviceLibrary>(QStringLiteral("/nonexistent/libOrvel.so"));
        m_window = std::make_unique<Tfm_Main>(*m_library, *m_boxes, m_dialogs, connectionFile());
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].caption, QStringLiteral("Ошибка"));
        QVERIFY(m_boxes->shown[0].text.contains(QStringLiteral("/nonexistent/libOrvel.so")));
        auto* list = find<QComboBox>("cb_KKMPort");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->itemText(0), QStringLiteral("Ошибка"));
    }

    void stateUpdate_data() {
        // Enabled toolbar buttons in the order of toolbarButtons, as a string of 0 and 1.
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("main, not connected") << 0 << false << "0000000";
        QTest::newRow("main, connected") << 0 << true << "0000000";
        QTest::newRow("options, connected") << 1 << true << "1100000";
        QTest::newRow("options, not connected") << 1 << false << "0000000";
        QTest::newRow("discounts, connected") << 4 << true << "1100000";
        // Before a picture is opened the logo page has nothing to write.
        QTest::newRow("logo, connected") << 5 << true << "0000100";
        QTest::newRow("logo, not connected") << 5 << false << "0000000";
        QTest::newRow("devices, connected") << 6 << true << "1100000";
        QTest::newRow("operators, connected") << 7 << true << "1111000";
        QTest::newRow("sections, connected") << 8 << true << "1111000";
        QTest::newRow("taxes, connected") << 9 << true << "1111000";
        QTest::newRow("goods, connected") << 10 << true << "1111111";
        QTest::newRow("goods, not connected") << 10 << false << "0000000";
        QTest::newRow("test panel, connected") << 11 << true << "0000000";
    }
    void stateUpdate() {
        QFETCH(int, page);
        QFETCH(bool, connected);
        QFETCH(QString, enabled);
        open();
        pages()->setCurrentIndex(page);
        m_window->link().connected = connected;
        m_window->MainformActionUpdate();

        QString actual;
        for (const QString& name : toolbarButtons)
            actual += find(name)->isEnabled() ? '1' : '0';
        QCOMPARE(actual, enabled);
        for (const QString& name : pageButtons)
            QCOMPARE(find(name)->isEnabled(), connected);
        QCOMPARE(find("b_LoadSettings")->isEnabled(), connected);
        QCOMPARE(find("b_SaveSettings")->isEnabled(), connected);
        QVERIFY(find("sb_TestPanel")->isHidden());
        for (const char* name : {"lb_Interval", "ed_GoodsStart", "lb_IntervalDot", "ed_GoodsEND"})
            QCOMPARE(find(name)->isHidden(), page != 10);
        for (const char* name : {"sb_Main", "sb_Connect", "sb_Help"})
            QVERIFY(find(name)->isEnabled());
    }

    void stateUpdateRestoresTheStatusText() {
        open();
        auto* status = find<QLabel>("StatusBarPanel0");
        status->setText(QStringLiteral("Соединение с ККМ установлено"));
        connectAndUpdate();
        QCOMPARE(status->text(), QStringLiteral("Соединение с ККМ установлено"));
        m_window->link().connected = false;
        m_window->MainformActionUpdate();
        QCOMPARE(status->text(), QStringLiteral("Соединение с ККМ не установлено"));
    }

    void stateUpdateRunsWhenTheQueueEmpties() {
        open();
        QVERIFY(!find("sb_KKMGoods")->isEnabled());
        m_window->link().connected = true;
        // A running loop that waits for events, as the program's does.
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        QVERIFY(find("sb_KKMGoods")->isEnabled());
    }

    void navigation_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        const std::pair<const char*, const char*> map[] = {
            {"sb_KKMOptions", "ts_KKMOptions"},     {"sb_KKMPrintOpt", "ts_KKMPrintOpt"},
            {"sb_KKMReklama", "ts_KKMReklama"},     {"sb_KKMSkidki", "ts_KKMdiscount"},
            {"sb_KKMLogo", "ts_KKMLogo"},           {"sb_KKMDevices", "ts_KKMDevices"},
            {"sb_KKMOperators", "ts_KKMOperators"}, {"sb_KKMOtdel", "ts_KKMSections"},
            {"sb_KKMNalog", "ts_KKMNalog"},         {"sb_KKMGoods", "ts_KKMGoods"},
        };
        for (const auto& [button, page] : map)
            QTest::newRow(button) << button << page;
    }
    void navigation() {
        QFETCH(QString, button);
        QFETCH(QString, page);
        open();
        connectAndUpdate();
        m_window->progressBar()->setValue(40);
        find<QLabel>("lb_Result")->setText(QStringLiteral("Чтение данных прошло успешно."));
        find<QAbstractButton>("sb_KKMReklama")->click();
        find<QAbstractButton>(button)->click();

        QCOMPARE(currentPage(), page);
        QCOMPARE(m_window->progressBar()->value(), 0);
        QVERIFY(find<QLabel>("lb_Result")->text().isEmpty());
        // The page buttons form one exclusive group.
        for (const QString& other : pageButtons)
            QCOMPARE(find<QAbstractButton>(other)->isChecked(), other == button);

        find<QAbstractButton>("sb_Main")->click();
        QCOMPARE(currentPage(), QStringLiteral("ts_main"));
        for (const QString& other : pageButtons)
            QVERIFY(!find<QAbstractButton>(other)->isChecked());
    }

    void testPanelButtonOpensItsPage() {
        open();
        connectAndUpdate();
        find<QAbstractButton>("sb_TestPanel")->click();
        QCOMPARE(currentPage(), QStringLiteral("ts_TestPanel"));
        QVERIFY(!find<QAbstractButton>("sb_TestPanel")->isChecked());
    }

    // Without --service the test page's button never shows, even connected; with it, it does and opens the page.
    void testPanelButtonShowsInServiceModeOnly() {
        open();
        m_window->show();
        connectAndUpdate();
        auto* button = find<QAbstractButton>("sb_TestPanel");
        QVERIFY(!button->isVisible());
        m_window->setServiceMode(true);
        QVERIFY(button->isVisible() && button->isEnabled());
        button->click();
        QVERIFY(find("ts_TestPanel")->findChild<QWidget*>("b_startTest")->isVisible());
        m_window->link().connected = false;
        m_window->MainformActionUpdate();
        QVERIFY(button->isVisible() && !button->isEnabled());
    }

    void mainWithNoButtonDownKeepsThePage() {
        open();
        connectAndUpdate();
        // As after an automatic read that stopped on a failing page.
        pages()->setCurrentWidget(find("ts_KKMReklama"));
        m_window->progressBar()->setValue(3);
        find<QAbstractButton>("sb_Main")->click();
        QCOMPARE(currentPage(), QStringLiteral("ts_KKMReklama"));
        QCOMPARE(m_window->progressBar()->value(), 0);
    }

    void pagesAreComposedAfterTheFirstPaint() {
        open();
        QVERIFY(!m_window->findChild<QWidget*>("cb_CodeSell"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(m_window->findChild<QWidget*>("cb_CodeSell"));
    }

    void openingAPageBeforeTheFirstPaintComposesThePages() {
        open();
        connectAndUpdate();
        find<QAbstractButton>("sb_KKMOptions")->click();
        QCOMPARE(currentPage(), QStringLiteral("ts_KKMOptions"));
        QVERIFY(m_window->findChild<QWidget*>("cb_CodeSell"));
    }

    void progressBarFollowsTheStatusBar() {
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        for (int width : {800, 1200, 900}) {
            m_window->resize(width, 700);
            QTRY_COMPARE(m_window->statusBar()->width(), width);
            const QStatusBar* bar = m_window->statusBar();
            const QRect geometry = m_window->progressBar()->geometry();
            QCOMPARE(geometry.left(), 202);
            QCOMPARE(geometry.width(), bar->width() - 204);
            QCOMPARE(geometry.top(), 2);
            QCOMPARE(geometry.height(), bar->height() - 3);
        }
    }

    void showErrorText() {
        open();
        m_window->ShowError(QStringLiteral("Tfm_Main.FormClose"), QStringLiteral("Unable to write to /x.ini"));
        QCOMPARE(m_boxes->shown.size(), 1);
        QCOMPARE(m_boxes->shown[0].icon, QMessageBox::Critical);
        QCOMPARE(m_boxes->shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_boxes->shown[0].text, QStringLiteral("Ошибка по месту: Tfm_Main.FormClose\n\rТекст ошибки: "
                                                        "Unable to write to /x.ini\n\rСообщите разработчикам."));
    }

    void helpOpensTheTopicOfThePage_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::newRow("goods") << "sb_KKMGoods"
                               << "plu.htm";
        QTest::newRow("sections") << "sb_KKMOtdel"
                                  << "sections.htm";
        QTest::newRow("print options") << "sb_KKMPrintOpt"
                                       << "OptionsPrint.htm";
        QTest::newRow("advertising lines") << "sb_KKMReklama"
                                           << "Strings.htm";
        QTest::newRow("discounts") << "sb_KKMSkidki"
                                   << "discounts.htm";
        QTest::newRow("devices") << "sb_KKMDevices"
                                 << "devices.htm";
        QTest::newRow("main") << ""
                              << "3_begin.htm";
    }
    void helpOpensTheTopicOfThePage() {
        QFETCH(QString, button);
        QFETCH(QString, page);
        open();
        connectAndUpdate();
        if (!button.isEmpty())
            find<QAbstractButton>(button)->click();
        find<QAbstractButton>("sb_Help")->click();
        QVERIFY(m_boxes->shown.isEmpty());
        auto* browser = m_window->findChild<QTextBrowser*>("HelpBrowser");
        QVERIFY(browser);
        QVERIFY(browser->source().toString().endsWith(page));
        QVERIFY(!browser->toPlainText().isEmpty());
    }

    // F1 opens the page's topic too; a link followed can be gone back from.
    void f1AndTheWayBack() {
        open();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        connectAndUpdate();
        find<QAbstractButton>("sb_KKMGoods")->click();
        QTest::keyClick(m_window.get(), Qt::Key_F1);
        auto* browser = m_window->findChild<QTextBrowser*>("HelpBrowser");
        QVERIFY(browser);
        QVERIFY(browser->source().toString().endsWith("plu.htm"));
        auto* back = m_window->findChild<QAction*>("HelpBack");
        QVERIFY(back && !back->isEnabled());
        browser->setSource(QUrl("chm:/index.htm"));
        QVERIFY(back->isEnabled());
        back->trigger();
        QVERIFY(browser->source().toString().endsWith("plu.htm"));
        QVERIFY(m_window->findChild<QAction*>("HelpForward")->isEnabled());
    }

    void helpOnTheTestPanelOpensNothing() {
        open();
        connectAndUpdate();
        find<QAbstractButton>("sb_TestPanel")->click();
        find<QAbstractButton>("sb_Help")->click();
        QVERIFY(m_boxes->shown.isEmpty());
        QVERIFY(!m_window->findChild<QTextBrowser*>("HelpBrowser"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
