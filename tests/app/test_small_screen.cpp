// On an 800 x 600 screen the window, its message line, its status bar and the exchange log are on
// the screen. Run on an offscreen screen of that size with window frames.
#include "device_library.h"
#include "fm_main.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

class TestSmallScreen : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;

    // Whether `widget` is shown and wholly inside the screen's available area.
    static bool onScreen(const QWidget* widget) {
        const QRect shown(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        return widget->isVisible() && widget->screen()->availableGeometry().contains(shown);
    }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        QCOMPARE(QGuiApplication::primaryScreen()->size(), QSize(800, 600));
    }

    void windowMessageLineAndLogFit() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = window.screen()->availableGeometry();
        QVERIFY2(available.contains(window.frameGeometry()),
                 qPrintable(
                     QStringLiteral("%1x%2").arg(window.frameGeometry().width()).arg(window.frameGeometry().height())));
        window.findChild<QComboBox*>("cb_KKMPort")->setCurrentIndex(0);
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(onScreen(window.findChild<QLabel*>("lb_Result")));
        QVERIFY(onScreen(window.findChild<QStatusBar*>("StatusBar")));

        window.findChild<QAbstractButton*>("sb_ExchangeLog")->click();
        auto* log = window.findChild<QDockWidget*>("dw_ExchangeLog");
        QTRY_VERIFY(onScreen(log));
        QVERIFY(!log->isFloating());
        QVERIFY(log->features().testFlag(QDockWidget::DockWidgetFloatable)); // its title bar floats it
        QVERIFY(onScreen(window.findChild<QLabel*>("lb_Result")));
        QVERIFY(available.contains(window.frameGeometry()));
        library.table().ClosePort();
    }
};

QTEST_MAIN(TestSmallScreen)
#include "test_small_screen.moc"
