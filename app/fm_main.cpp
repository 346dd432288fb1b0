#include "fm_main.h"

#include "advert_page.h"
#include "conversions.h"
#include "cp1251.h"
#include "device_library.h"
#include "devices_page.h"
#include "discount_page.h"
#include "exchange_log_panel.h"
#include "goods_csv_exchange.h"
#include "goods_page.h"
#include "goods_view.h"
#include "help_topics.h"
#include "help_window.h"
#include "input_filters.h"
#include "logo_page.h"
#include "operators_page.h"
#include "options_page.h"
#include "print_options_page.h"
#include "register_grid.h"
#include "register_identity.h"
#include "safe_writer.h"
#include "sections_page.h"
#include "settings_exchange.h"
#include "taxes_page.h"
#include "test_panel_page.h"
#include "transfer_driver.h"
#include "ui_fm_main.h"
#include "unsaved_edits.h"

#include <QAbstractEventDispatcher>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>

namespace {

const QString notConnectedText = QStringLiteral("Соединение с ККМ не установлено");
constexpr int statusPanelWidth = 200;
// The window as designed, and the least it shrinks to on a small screen.
constexpr QSize designedSize(800, 600);
constexpr QSize smallestSize(640, 480);

// Page numbers the state update tests, in page order.
enum PageNumber { MainPageNumber = 0, LogoPageNumber = 5, OperatorsPageNumber = 7, GoodsPageNumber = 10 };

QString pageOfButton(const QString& buttonName) {
    static const QHash<QString, QString> pages{
        {QStringLiteral("sb_KKMOptions"), QStringLiteral("ts_KKMOptions")},
        {QStringLiteral("sb_KKMPrintOpt"), QStringLiteral("ts_KKMPrintOpt")},
        {QStringLiteral("sb_KKMReklama"), QStringLiteral("ts_KKMReklama")},
        {QStringLiteral("sb_KKMSkidki"), QStringLiteral("ts_KKMdiscount")},
        {QStringLiteral("sb_KKMLogo"), QStringLiteral("ts_KKMLogo")},
        {QStringLiteral("sb_KKMDevices"), QStringLiteral("ts_KKMDevices")},
        {QStringLiteral("sb_KKMOperators"), QStringLiteral("ts_KKMOperators")},
        {QStringLiteral("sb_KKMOtdel"), QStringLiteral("ts_KKMSections")},
        {QStringLiteral("sb_KKMNalog"), QStringLiteral("ts_KKMNalog")},
        {QStringLiteral("sb_KKMGoods"), QStringLiteral("ts_KKMGoods")},
        {QStringLiteral("sb_TestPanel"), QStringLiteral("ts_TestPanel")},
    };
    return pages.value(buttonName);
}

} // namespace

Tfm_Main::Tfm_Main(const DeviceLibrary& device, MessageBoxes& boxes, FileDialogs& dialogs,
                   const QString& connectionFile, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::Tfm_Main>())
    , m_device(device)
    , m_boxes(boxes)
    , m_dialogs(dialogs)
    , m_errors(boxes)
    , m_link(device.table(), device.thread())
    , m_connectionFile(connectionFile) {
    m_ui->setupUi(this);
    m_connectionControls = {m_ui->cb_KKMPort, m_ui->cb_KKMPortSpeed, m_ui->me_PCAddr,
                            m_ui->me_KKMAddr, m_ui->cb_SafeWrite,    &m_dialogs};
    for (QWidget* hidden :
         {static_cast<QWidget*>(m_ui->me_PCAddr), static_cast<QWidget*>(m_ui->me_KKMAddr),
          static_cast<QWidget*>(m_ui->lb_PCAddr), static_cast<QWidget*>(m_ui->lb_KKMAddr),
          static_cast<QWidget*>(m_ui->lb_KKMProtocolCaption), static_cast<QWidget*>(m_ui->lb_KKMProtocol),
          static_cast<QWidget*>(m_ui->lb_KKMLanguageCaption), static_cast<QWidget*>(m_ui->lb_KKMLanguage),
          static_cast<QWidget*>(m_ui->lb_KKMEncodeCaption), static_cast<QWidget*>(m_ui->lb_KKMEncode)})
        hidden->setVisible(false);
    // The register's details have a fixed width, so that the groups stay put when they are filled in;
    // a longer model name wraps.
    for (QLabel* detail : {m_ui->lb_KKMModel, m_ui->lb_KKMVersion, m_ui->lb_KKMSerialNumber})
        detail->setFixedWidth(detail->fontMetrics().horizontalAdvance(QString(26, QLatin1Char('0'))));

    const QStyle* style = this->style();
    const std::pair<QAbstractButton*, QStyle::StandardPixmap> icons[] = {
        {m_ui->sb_ReadTableFromKKM, QStyle::SP_ArrowDown},   {m_ui->sb_WriteTableToKKM, QStyle::SP_ArrowUp},
        {m_ui->sb_ReadStringFromKKM, QStyle::SP_ArrowLeft},  {m_ui->sb_WriteStringToKKM, QStyle::SP_ArrowRight},
        {m_ui->sb_LoadFromCSV, QStyle::SP_DialogOpenButton}, {m_ui->sb_SaveToCSV, QStyle::SP_DialogSaveButton},
        {m_ui->sb_StopReading, QStyle::SP_BrowserStop},      {m_ui->sb_Help, QStyle::SP_MessageBoxQuestion},
    };
    for (const auto& [button, pixmap] : icons)
        button->setIcon(style->standardIcon(pixmap));
    m_ui->sb_ExchangeLog->setIcon(style->standardIcon(QStyle::SP_FileDialogDetailedView));

    m_pageButtons = new QButtonGroup(this);
    for (QAbstractButton* button : m_ui->gb_KKMOptions->findChildren<QAbstractButton*>())
        m_pageButtons->addButton(button);
    connect(m_pageButtons, &QButtonGroup::buttonClicked, this, &Tfm_Main::sb_KKMOptionsClick);
    connect(m_ui->sb_TestPanel, &QAbstractButton::clicked, this, [this] { sb_KKMOptionsClick(m_ui->sb_TestPanel); });
    connect(m_ui->sb_Main, &QAbstractButton::clicked, this, &Tfm_Main::sb_MainClick);
    connect(m_ui->sb_Help, &QAbstractButton::clicked, this, &Tfm_Main::sb_HelpClick);
    // F1 opens the help of the page shown, as the help button does.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &Tfm_Main::sb_HelpClick);
    connect(m_ui->sb_Connect, &QAbstractButton::clicked, this, &Tfm_Main::sb_ConnectClick);
    connect(m_ui->sb_ExchangeLog, &QAbstractButton::toggled, this, &Tfm_Main::sb_ExchangeLogToggled);
    auto* exchangeLog = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    // Also from the log's own window, which is not this one while it floats.
    exchangeLog->setContext(Qt::ApplicationShortcut);
    connect(exchangeLog, &QShortcut::activated, m_ui->sb_ExchangeLog, &QAbstractButton::toggle);
    m_ui->sb_Compare->setIcon(style->standardIcon(QStyle::SP_FileDialogContentsView));
    // A shortcut on the button acts only while the button is enabled.
    m_ui->sb_Compare->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    m_statusPanel = new QLabel(notConnectedText, m_ui->StatusBar);
    m_statusPanel->setObjectName(QStringLiteral("StatusBarPanel0"));
    m_statusPanel->setFixedWidth(statusPanelWidth);
    // The panel keeps its width; a smaller font lets the connection state fit in it.
    QFont statusFont = m_statusPanel->font();
    statusFont.setPointSizeF(statusFont.pointSizeF() * 0.85);
    m_statusPanel->setFont(statusFont);
    m_ui->StatusBar->addWidget(m_statusPanel);
    m_ui->StatusBar->installEventFilter(this);
    m_progressBar = new QProgressBar(m_ui->StatusBar);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    // A drawn percentage would repaint the bar synchronously on every step of a long transfer.
    m_progressBar->setTextVisible(false);

    // A small screen (800 x 600, 1024 x 600) must still show the message line and the status bar:
    // the pages scroll inside the window, which may shrink below its designed size.
    auto* scroller = new QScrollArea(m_ui->pnl_Right);
    scroller->setObjectName(QStringLiteral("sa_Pages"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    m_ui->pnl_RightLayout->replaceWidget(m_ui->PageControl, scroller);
    scroller->setWidget(m_ui->PageControl);
    m_ui->pnl_RightLayout->setStretchFactor(scroller, 1);
    setMinimumSize(smallestSize);
    QSize size = designedSize;
    if (const QScreen* screen = this->screen()) {
        // The title bar and the frame come on top of the window's own size.
        const QSize frame(16, 48);
        size = size.boundedTo(screen->availableGeometry().size() - frame).expandedTo(smallestSize);
        resize(size);
        move(screen->availableGeometry().center() - rect().center());
    } else {
        resize(size);
    }

    FormCreate();
    // The first paint already shows the not-connected state.
    MainformActionUpdate();

    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &Tfm_Main::MainformActionUpdate);
}

Tfm_Main::~Tfm_Main() {
    // Closing the window hides the docked log, whose toggle would reach this window's slot after
    // this destructor has run.
    m_ui->sb_ExchangeLog->disconnect(this);
}

void Tfm_Main::ShowError(const QString& location, const QString& error) {
    m_errors.ShowError(location, error);
}

void Tfm_Main::FormCreate() {
    m_errors.guard(QStringLiteral("Tfm_Main.FormCreate"), [this] {
        m_link.connected = false;
        m_link.stopRequested = false;
        m_ui->lb_Version->setText(QStringLiteral("Версия: " KKM_VERSION));
        m_helpFile = helpFile(QCoreApplication::applicationDirPath());
        m_ui->lb_Result->clear();

        m_progressBar->setRange(0, 100);
        m_progressBar->setValue(0);
        StatusBarResize();

        m_ui->PageControl->setCurrentWidget(m_ui->ts_main);

        fillPortList();
        readConnectionFile(m_connectionFile, m_connectionControls);
    });
}

void Tfm_Main::ensurePagesComposed() {
    if (m_pagesComposed)
        return;
    m_pagesComposed = true;
    composePages();
}

void Tfm_Main::composePages() {
    auto& ui = *m_ui;
    TransferControls controls;
    controls.pages = ui.PageControl;
    controls.mainPage = ui.ts_main;
    controls.locked = {ui.gb_KKMOptions,
                       ui.sb_Main,
                       ui.sb_ReadTableFromKKM,
                       ui.sb_WriteTableToKKM,
                       ui.sb_ReadStringFromKKM,
                       ui.sb_WriteStringToKKM,
                       ui.sb_LoadFromCSV,
                       ui.sb_SaveToCSV,
                       ui.sb_Compare};
    controls.stopButton = ui.sb_StopReading;
    controls.progress = m_progressBar;
    controls.message = ui.lb_Result;
    controls.goodsFirst = ui.ed_GoodsStart;
    controls.goodsLast = ui.ed_GoodsEND;
    m_driver = new TransferDriver(controls, m_link, m_errors, m_boxes, this);
    connect(ui.sb_ReadTableFromKKM, &QAbstractButton::clicked, m_driver, &TransferDriver::sb_ReadTableFromKKMClick);
    connect(ui.sb_WriteTableToKKM, &QAbstractButton::clicked, m_driver, &TransferDriver::sb_WriteTableToKKMClick);
    connect(ui.sb_ReadStringFromKKM, &QAbstractButton::clicked, m_driver, &TransferDriver::LoadStringClick);
    connect(ui.sb_WriteStringToKKM, &QAbstractButton::clicked, m_driver, &TransferDriver::SaveStringClick);
    connect(ui.sb_StopReading, &QAbstractButton::clicked, m_driver, &TransferDriver::sb_StopReadingClick);

    const auto addPage = [this](QWidget* tab, auto* page) {
        tab->layout()->addWidget(page);
        m_driver->addPage(tab, page);
        return page;
    };
    addPage(ui.ts_KKMOptions, new OptionsPage(m_link, m_errors));
    addPage(ui.ts_KKMPrintOpt, new PrintOptionsPage(m_link, m_errors));
    addPage(ui.ts_KKMReklama, new AdvertPage(m_link, m_errors));
    addPage(ui.ts_KKMdiscount, new DiscountPage(m_link, m_errors));
    addPage(ui.ts_KKMDevices, new DevicesPage(m_link, m_errors));
    m_driver->attachRowPopup(&addPage(ui.ts_KKMOperators, new OperatorsPage(m_link, m_errors))->grid());
    m_driver->attachRowPopup(&addPage(ui.ts_KKMSections, new SectionsPage(m_link, m_errors))->grid());
    m_driver->attachRowPopup(&addPage(ui.ts_KKMNalog, new TaxesPage(m_link, m_errors))->grid());

    m_goodsPage = addPage(ui.ts_KKMGoods, new GoodsPage(m_link, m_errors));
    m_driver->attachRowPopup(&m_goodsPage->view());
    for (QLineEdit* edit : {ui.ed_GoodsStart, ui.ed_GoodsEND}) {
        connect(edit, &QLineEdit::textChanged, this, [this, edit] {
            if (m_ui->PageControl->currentWidget() == m_ui->ts_KKMGoods)
                m_goodsPage->ed_GoodsStartChange(edit);
        });
    }

    m_logoPage = addPage(ui.ts_KKMLogo, new LogoPage(m_link, m_errors, m_boxes, m_dialogs));
    ui.ts_TestPanel->layout()->addWidget(new TestPanelPage(m_link, m_errors, m_boxes));

    const CsvControls csv{ui.PageControl, ui.ts_KKMGoods, ui.ts_KKMLogo, ui.ed_GoodsStart,
                          ui.ed_GoodsEND, m_progressBar,  ui.lb_Result};
    m_csvExchange = new GoodsCsvExchange(m_goodsPage->model(), csv, m_errors, m_boxes, m_dialogs, this);
    m_csvExchange->setLogoLoader([this] { m_logoPage->bt_load_logoClick(); });
    connect(ui.sb_SaveToCSV, &QAbstractButton::clicked, m_csvExchange, &GoodsCsvExchange::sb_SaveToCSVClick);
    connect(ui.sb_LoadFromCSV, &QAbstractButton::clicked, m_csvExchange, &GoodsCsvExchange::sb_LoadFromCSVClick);

    auto* settings = new SettingsExchange({ui.PageControl, m_progressBar, ui.lb_Result, ui.lb_KKMSerialNumber},
                                          m_errors, m_boxes, m_dialogs, this);
    connect(ui.b_SaveSettings, &QAbstractButton::clicked, settings, &SettingsExchange::b_SaveSettingsClick);
    connect(ui.b_LoadSettings, &QAbstractButton::clicked, settings, &SettingsExchange::b_LoadSettingsClick);

    SafeWriteControls safe;
    safe.pages = ui.PageControl;
    safe.sections = {
        {ui.ts_KKMOptions, QStringLiteral("KKMOptions")},   {ui.ts_KKMPrintOpt, QStringLiteral("KKMPrintOpt")},
        {ui.ts_KKMReklama, QStringLiteral("KKMReklama")},   {ui.ts_KKMdiscount, QStringLiteral("KKMDiscounts")},
        {ui.ts_KKMDevices, QStringLiteral("KKMDevice")},    {ui.ts_KKMOperators, QStringLiteral("KKMOperators")},
        {ui.ts_KKMSections, QStringLiteral("KKMSections")}, {ui.ts_KKMNalog, QStringLiteral("KKMTaxes")}};
    safe.goodsPage = ui.ts_KKMGoods;
    safe.safeWrite = ui.cb_SafeWrite;
    safe.serialNumber = ui.lb_KKMSerialNumber;
    safe.message = ui.lb_Result;
    safe.progress = m_progressBar;
    safe.goodsFirst = ui.ed_GoodsStart;
    safe.goodsLast = ui.ed_GoodsEND;
    m_safeWriter =
        new SafeWriter(safe, m_link, *settings, m_goodsPage->model(), *m_driver, m_errors, m_boxes, m_dialogs, this);
    connect(ui.sb_Compare, &QAbstractButton::clicked, m_safeWriter, &SafeWriter::sb_CompareClick);
    m_unsavedEdits = new UnsavedEdits(safe.sections, ui.ts_KKMGoods, *settings, m_goodsPage->model(), m_boxes, this);
    m_driver->setReadCheck([this](QWidget* page) { return m_unsavedEdits->mayRead(page); });
    connect(m_driver, &TransferDriver::tableTransferred, m_unsavedEdits,
            [this](QWidget* page, bool, TransferDriver::Outcome outcome) {
                if (outcome == TransferDriver::Outcome::Success)
                    m_unsavedEdits->settle(page);
            });
    connect(settings, &SettingsExchange::loaded, m_unsavedEdits, &UnsavedEdits::settleAll);
    connect(ui.b_RestoreBackup, &QAbstractButton::clicked, m_safeWriter, &SafeWriter::b_RestoreBackupClick);

    // Docked at the bottom of the window, with its own title bar: a window of its own placed beside
    // the main one would start off a small screen. It can be floated from its title bar.
    m_exchangeLogDock = new QDockWidget(QStringLiteral("Журнал обмена"), this);
    m_exchangeLogDock->setObjectName(QStringLiteral("dw_ExchangeLog"));
    m_exchangeLogDock->setAllowedAreas(Qt::BottomDockWidgetArea);
    m_exchangeLog = new ExchangeLogPanel(m_link.api, m_boxes, m_dialogs, m_exchangeLogDock);
    m_exchangeLogDock->setWidget(m_exchangeLog);
    addDockWidget(Qt::BottomDockWidgetArea, m_exchangeLogDock);
    m_exchangeLogDock->hide();
    connect(m_exchangeLogDock->toggleViewAction(), &QAction::toggled, ui.sb_ExchangeLog, &QAbstractButton::setChecked);

    m_numericFilter = new NumericEditFilter(m_errors, this);
    for (const char* name : {"me_PCAddr", "me_KKMAddr", "ed_DateInterval", "ed_DiscountValue", "ed_MarkUpsValue"})
        m_numericFilter->attach(findChild<QLineEdit*>(QLatin1String(name)), true);
    // The print contrast is kept to 1-4 by its keys alone.
    m_numericFilter->attach(findChild<QLineEdit*>(QStringLiteral("ed_PoContrast")), false);
}

void Tfm_Main::closeEvent(QCloseEvent* event) {
    if (m_unsavedEdits && !m_unsavedEdits->mayClose()) {
        event->ignore();
        return;
    }
    if (m_numericFilter)
        m_numericFilter->stop();
    FormClose();
    QMainWindow::closeEvent(event);
}

void Tfm_Main::FormClose() {
    m_errors.guard(QStringLiteral("Tfm_Main.FormClose"),
                   [this] { writeConnectionFile(m_connectionFile, m_connectionControls); });
}

void Tfm_Main::sb_ConnectClick() {
    ensurePagesComposed();
    m_errors.guard(QStringLiteral("Tfm_Main.sb_ConnectClick"), [this] {
        auto& ui = *m_ui;
        if (m_link.connected) {
            m_link.api.ClosePort();
            m_link.connected = false;
        }
        for (QLabel* label : {ui.lb_KKMModel, ui.lb_KKMVersion, ui.lb_KKMSerialNumber, ui.lb_KKMProtocol,
                              ui.lb_KKMLanguage, ui.lb_KKMEncode})
            label->setText(QStringLiteral("---"));
        ui.lb_Result->clear();
        if (ui.cb_KKMPort->currentText().isEmpty()) {
            m_boxes.error(QStringLiteral("Не указан порт подключения ККМ"));
            return;
        }
        if (ui.cb_KKMPortSpeed->currentText().isEmpty()) {
            m_boxes.error(QStringLiteral("Не указана скорость подключения ККМ"));
            return;
        }
        const QByteArray port = toCp1251(ui.cb_KKMPort->currentText());
        m_link.lastResult = m_link.api.SetPort(port.constData(), strToInt(ui.cb_KKMPortSpeed->currentText()));
        if (m_link.lastResult < 0) {
            m_boxes.error(m_link.errorText(m_link.lastResult));
            return;
        }
        m_link.connected = true;
        identify();
        if (!m_link.connected)
            return;
        const auto answer = m_boxes.show(QMessageBox::Information, programCaption,
                                         QStringLiteral("Соединение с кассой установлено.\n\r\n\r"
                                                        "Будет произведено чтение данных из ККМ."));
        if (answer == QMessageBox::Ok)
            readAllTables();
    });
}

void Tfm_Main::identify() {
    auto& ui = *m_ui;
    const auto address = [](const QLineEdit* edit, uint8_t fallback) {
        const QString text = edit->text().trimmed();
        // Bus addresses are one byte: 300 goes out as 44.
        return text.isEmpty() ? fallback : uint8_t(strToInt(text));
    };
    m_link.pcAddr = address(ui.me_PCAddr, 1);
    m_link.kkmAddr = address(ui.me_KKMAddr, 2);

    const auto identity = identifyRegister(m_link);
    if (!identity) {
        // The port stays open: the next attempt opens it again without closing it.
        m_boxes.error(m_link.errorText(m_link.lastResult));
        m_link.connected = false;
        return;
    }
    m_statusPanel->setText(QStringLiteral("Соединение с ККМ установлено"));
    ui.lb_KKMModel->setText(identity->model);
    ui.lb_KKMVersion->setText(identity->version);
    ui.lb_KKMProtocol->setText(identity->protocol);
    ui.lb_KKMLanguage->setText(identity->language);
    ui.lb_KKMEncode->setText(identity->encoding);
    ui.lb_KKMSerialNumber->setText(identity->serialNumber);
}

// Reads the configuration tables page by page, stopping on the first page that the register
// fails and leaving it on view. Pages that end incomplete otherwise are named at the end, so the
// last page's success does not stand for all.
void Tfm_Main::readAllTables() {
    auto& ui = *m_ui;
    const std::pair<QWidget*, QAbstractButton*> pages[] = {
        {ui.ts_KKMOptions, ui.sb_KKMOptions}, {ui.ts_KKMPrintOpt, ui.sb_KKMPrintOpt},
        {ui.ts_KKMReklama, ui.sb_KKMReklama}, {ui.ts_KKMdiscount, ui.sb_KKMSkidki},
        {ui.ts_KKMDevices, ui.sb_KKMDevices}, {ui.ts_KKMOperators, ui.sb_KKMOperators},
        {ui.ts_KKMSections, ui.sb_KKMOtdel},  {ui.ts_KKMNalog, ui.sb_KKMNalog}};
    QStringList failed;
    for (const auto& [page, button] : pages) {
        ui.PageControl->setCurrentWidget(page);
        if (m_driver->sb_ReadTableFromKKMClick() != TransferDriver::Outcome::Success)
            failed << QStringLiteral("«%1»").arg(button->text());
        if (m_link.lastResult < 0)
            return;
    }
    ui.PageControl->setCurrentWidget(ui.ts_main);
    if (!failed.isEmpty())
        ui.lb_Result->setText(QStringLiteral("ОШИБКА: не прочитаны полностью страницы %1.").arg(failed.join(", ")));
}

void Tfm_Main::fillPortList() {
    QStringList ports;
    if (m_device.isLoaded()) {
        const PortList listed = listPorts(m_link);
        ports = listed.names;
        const int32_t result = listed.result;
        // A library that cannot even list its ports says why (a maker's DLL behind the bridge that
        // lacks functions, say): the user hears it now, not at the first connection.
        if (ports.isEmpty()) {
            const QString reason = result < 0 ? m_link.errorText(result).trimmed() : QString();
            m_boxes.error(QStringLiteral("Ошибка получения информации о портах!") +
                          (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason));
        }
    } else {
        m_boxes.error(m_device.errorText());
    }
    m_ui->cb_KKMPort->clear();
    m_ui->cb_KKMPort->addItems(ports.isEmpty() ? QStringList{QStringLiteral("Ошибка")} : ports);
    // Wide enough for the longest port name, "EMULATOR-FAULTS" included, with room for the arrow.
    int widest = 0;
    for (int i = 0; i < m_ui->cb_KKMPort->count(); ++i)
        widest = std::max(widest, m_ui->cb_KKMPort->fontMetrics().horizontalAdvance(m_ui->cb_KKMPort->itemText(i)));
    m_ui->cb_KKMPort->setMinimumWidth(widest + 48);
}

void Tfm_Main::MainformActionUpdate() {
    // The driver decides what is enabled while it transfers.
    if (m_driver && m_driver->busy())
        return;
    m_errors.guard(QStringLiteral("Tfm_Main.MainformActionUpdate"), [this] {
        const bool c = m_link.connected;
        const int p = m_ui->PageControl->currentIndex();
        auto& ui = *m_ui;

        if (!c) {
            for (QWidget* w : {ui.sb_ReadTableFromKKM, ui.sb_WriteTableToKKM, ui.sb_ReadStringFromKKM,
                               ui.sb_WriteStringToKKM, ui.sb_SaveToCSV, ui.sb_LoadFromCSV})
                w->setEnabled(false);
        }
        // The test panel has no table, and the logo page none before a picture is opened.
        const bool nothingToTransfer = ui.PageControl->currentWidget() == ui.ts_TestPanel ||
                                       (p == LogoPageNumber && !(m_logoPage && m_logoPage->hasPicture()));
        if (p == MainPageNumber || nothingToTransfer) {
            ui.sb_ReadTableFromKKM->setEnabled(false);
            ui.sb_WriteTableToKKM->setEnabled(false);
        } else if (c) {
            ui.sb_WriteTableToKKM->setEnabled(true);
            // A logo cannot be read back from the register.
            ui.sb_ReadTableFromKKM->setEnabled(p != LogoPageNumber);
        }
        const bool rowPage = p >= OperatorsPageNumber && p <= GoodsPageNumber;
        if (!rowPage) {
            ui.sb_ReadStringFromKKM->setEnabled(false);
            ui.sb_WriteStringToKKM->setEnabled(false);
        } else if (c) {
            ui.sb_ReadStringFromKKM->setEnabled(true);
            ui.sb_WriteStringToKKM->setEnabled(true);
        }
        if (p != LogoPageNumber && p != GoodsPageNumber)
            ui.sb_LoadFromCSV->setEnabled(false);
        else if (c)
            ui.sb_LoadFromCSV->setEnabled(true);
        if (p != GoodsPageNumber) {
            ui.sb_SaveToCSV->setEnabled(false);
            ui.sb_StopReading->setEnabled(false);
        } else if (c) {
            ui.sb_SaveToCSV->setEnabled(true);
            ui.sb_StopReading->setEnabled(true);
        }
        ui.sb_Compare->setEnabled(c && m_safeWriter && m_safeWriter->canCompare(ui.PageControl->currentWidget()));
        for (QWidget* w : {static_cast<QWidget*>(ui.b_LoadSettings), static_cast<QWidget*>(ui.b_SaveSettings),
                           static_cast<QWidget*>(ui.b_RestoreBackup), static_cast<QWidget*>(ui.sb_KKMOptions),
                           static_cast<QWidget*>(ui.sb_KKMPrintOpt), static_cast<QWidget*>(ui.sb_KKMReklama),
                           static_cast<QWidget*>(ui.sb_KKMLogo), static_cast<QWidget*>(ui.sb_KKMSkidki),
                           static_cast<QWidget*>(ui.sb_KKMDevices), static_cast<QWidget*>(ui.sb_KKMOtdel),
                           static_cast<QWidget*>(ui.sb_KKMOperators), static_cast<QWidget*>(ui.sb_KKMNalog),
                           static_cast<QWidget*>(ui.sb_KKMGoods), static_cast<QWidget*>(ui.sb_TestPanel)})
            w->setEnabled(c);
        ui.sb_TestPanel->setVisible(m_serviceMode);
        for (QWidget* w : {static_cast<QWidget*>(ui.lb_Interval), static_cast<QWidget*>(ui.ed_GoodsStart),
                           static_cast<QWidget*>(ui.lb_IntervalDot), static_cast<QWidget*>(ui.ed_GoodsEND)})
            w->setVisible(p == GoodsPageNumber);
        if (!c) {
            m_statusPanel->setText(notConnectedText);
            // A register that stopped answering is no longer known to be the one shown.
            for (QLabel* detail : {ui.lb_KKMModel, ui.lb_KKMVersion, ui.lb_KKMSerialNumber})
                detail->setText(QStringLiteral("---"));
        }
    });
}

void Tfm_Main::setServiceMode(bool on) {
    m_serviceMode = on;
    MainformActionUpdate();
}

void Tfm_Main::sb_KKMOptionsClick(QAbstractButton* button) {
    m_errors.guard(QStringLiteral("Tfm_Main.sb_KKMOptionsClick / ") + button->objectName(), [this, button] {
        m_progressBar->setValue(0);
        m_ui->lb_Result->clear();
        showPage(pageOfButton(button->objectName()));
    });
}

void Tfm_Main::sb_MainClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.sb_MainClick"), [this] {
        m_progressBar->setValue(0);
        QAbstractButton* down = m_pageButtons->checkedButton();
        if (!down)
            return;
        // An exclusive group cannot be left with no button down.
        m_pageButtons->setExclusive(false);
        down->setChecked(false);
        m_pageButtons->setExclusive(true);
        m_ui->PageControl->setCurrentWidget(m_ui->ts_main);
    });
}

void Tfm_Main::sb_HelpClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.sb_HelpClick"), [this] {
        const QString topic = helpTopicForPage(m_ui->PageControl->currentWidget()->objectName());
        if (topic.isEmpty())
            return;
        const QString failure = HelpWindow::showTopic(this, m_helpFile, topic);
        if (!failure.isEmpty())
            m_boxes.error(failure);
    });
}

void Tfm_Main::sb_ExchangeLogToggled(bool shown) {
    ensurePagesComposed();
    m_exchangeLogDock->setVisible(shown);
    // A third of the window: the message line and the pages keep their room.
    if (shown && !m_exchangeLogDock->isFloating())
        resizeDocks({m_exchangeLogDock}, {height() / 3}, Qt::Vertical);
}

void Tfm_Main::showPage(const QString& pageName) {
    ensurePagesComposed();
    if (auto* page = m_ui->PageControl->findChild<QWidget*>(pageName))
        m_ui->PageControl->setCurrentWidget(page);
}

bool Tfm_Main::event(QEvent* event) {
    // The pages are all hidden at start: they are built once the first frame is on screen.
    if (event->type() == QEvent::Paint && !m_pagesComposed)
        QMetaObject::invokeMethod(this, &Tfm_Main::ensurePagesComposed, Qt::QueuedConnection);
    return QMainWindow::event(event);
}

bool Tfm_Main::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->StatusBar && event->type() == QEvent::Resize)
        StatusBarResize();
    return QMainWindow::eventFilter(watched, event);
}

void Tfm_Main::StatusBarResize() {
    m_errors.guard(QStringLiteral("Tfm_Main.StatusBarResize"), [this] {
        if (!m_progressBar)
            return;
        const QWidget* bar = m_ui->StatusBar;
        m_progressBar->setGeometry(statusPanelWidth + 2, 2, bar->width() - statusPanelWidth - 4, bar->height() - 3);
    });
}
