#pragma once

#include "connection_file.h"
#include "error_reporter.h"
#include "register_link.h"

#include <memory>
#include <QMainWindow>

class DeviceLibrary;
class ExchangeLogPanel;
class FileDialogs;
class GoodsCsvExchange;
class GoodsPage;
class LogoPage;
class NumericEditFilter;
class QAbstractButton;
class QButtonGroup;
class QDockWidget;
class QLabel;
class QProgressBar;
class SafeWriter;
class UnsavedEdits;
class TransferDriver;

namespace Ui {
class Tfm_Main;
}

// The one window: navigation between the pages, the idle-time state update,
// the status bar with its progress bar, error reporting and help. The pages
// hold their own logic; the window composes them.
class Tfm_Main : public QMainWindow {
    Q_OBJECT

public:
    // `connectionFile` carries the port, speed and addresses from one run to the next.
    Tfm_Main(const DeviceLibrary& device, MessageBoxes& boxes, FileDialogs& dialogs, const QString& connectionFile,
             QWidget* parent = nullptr);
    ~Tfm_Main() override;

    void ShowError(const QString& location, const QString& error);
    // Enables, disables and hides controls by connection state and page; runs
    // each time the event queue runs empty.
    void MainformActionUpdate();
    // Service staff see the test page's button; everybody else never does.
    void setServiceMode(bool on);

    RegisterLink& link() { return m_link; }
    QProgressBar* progressBar() const { return m_progressBar; }
    // The pages are composed after the window's first paint, or at once when one of these needs them.
    TransferDriver& driver() {
        ensurePagesComposed();
        return *m_driver;
    }
    GoodsPage& goodsPage() {
        ensurePagesComposed();
        return *m_goodsPage;
    }
    LogoPage& logoPage() {
        ensurePagesComposed();
        return *m_logoPage;
    }
    GoodsCsvExchange& csvExchange() {
        ensurePagesComposed();
        return *m_csvExchange;
    }
    SafeWriter& safeWriter() {
        ensurePagesComposed();
        return *m_safeWriter;
    }
    ExchangeLogPanel& exchangeLog() {
        ensurePagesComposed();
        return *m_exchangeLog;
    }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void ensurePagesComposed();
    void composePages();
    void sb_ConnectClick();
    void identify();
    void readAllTables();
    void fillPortList();
    void sb_KKMOptionsClick(QAbstractButton* button);
    void sb_MainClick();
    void sb_HelpClick();
    void sb_ExchangeLogToggled(bool shown);
    void StatusBarResize();
    void showPage(const QString& pageName);

    std::unique_ptr<Ui::Tfm_Main> m_ui;
    const DeviceLibrary& m_device;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    ErrorReporter m_errors;
    RegisterLink m_link;
    QButtonGroup* m_pageButtons = nullptr;
    QLabel* m_statusPanel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QString m_helpFile;
    QString m_connectionFile;
    ConnectionControls m_connectionControls;
    TransferDriver* m_driver = nullptr;
    NumericEditFilter* m_numericFilter = nullptr;
    GoodsPage* m_goodsPage = nullptr;
    LogoPage* m_logoPage = nullptr;
    GoodsCsvExchange* m_csvExchange = nullptr;
    SafeWriter* m_safeWriter = nullptr;
    UnsavedEdits* m_unsavedEdits = nullptr;
    QDockWidget* m_exchangeLogDock = nullptr;
    ExchangeLogPanel* m_exchangeLog = nullptr;
    bool m_pagesComposed = false;
    bool m_serviceMode = false;
};
