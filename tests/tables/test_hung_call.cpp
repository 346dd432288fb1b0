// The window while a device call hangs on the library's thread: it keeps painting, only the stop
// button takes input, and the stop button ends the wait as a lost connection.
#include "error_reporter.h"
#include "goods_page.h"
#include "hanging_device.h"
#include "recording_message_boxes.h"
#include "register_link.h"
#include "transfer_driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

} // namespace

class TestHungCall : public QObject {
    Q_OBJECT

    std::unique_ptr<HangingDevice> m_device;
    std::unique_ptr<DeviceThread> m_thread;
    std::unique_ptr<RegisterLink> m_link;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;
    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<QWidget> m_window;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_main = nullptr;
    QWidget* m_goodsTab = nullptr;
    QPushButton* m_readRow = nullptr;
    QPushButton* m_stop = nullptr;
    QLineEdit* m_first = nullptr;
    QLabel* m_message = nullptr;
    PaintCounter* m_painted = nullptr;
    TransferDriver* m_driver = nullptr;

    // Runs `step` once a call has hung for a while.
    void whileHung(std::function<void()> step) {
        QTimer::singleShot(DeviceThread::kQuietWait * 3, this, std::move(step));
    }

private slots:
    void init() {
        m_device = std::make_unique<HangingDevice>();
        m_thread = std::make_unique<DeviceThread>();
        m_link = std::make_unique<RegisterLink>(HangingDevice::table(true), m_thread.get());
        m_link->connected = true;
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_errors = std::make_unique<ErrorReporter>(*m_boxes);
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_pages = new QStackedWidget;
        m_main = new QWidget;
        m_goodsTab = new QWidget;
        auto* goods = new GoodsPage(*m_link, *m_errors);
        (new QVBoxLayout(m_goodsTab))->addWidget(goods);
        m_pages->addWidget(m_main);
        m_pages->addWidget(m_goodsTab);
        m_readRow = new QPushButton(QStringLiteral("read row"));
        m_stop = new QPushButton(QStringLiteral("stop"));
        m_first = new QLineEdit(QStringLiteral("1"));
        auto* last = new QLineEdit(QStringLiteral("3"));
        auto* progress = new QProgressBar;
        m_message = new QLabel;
        m_painted = new PaintCounter;
        m_painted->setMinimumSize(20, 20);
        for (QWidget* w :
             std::initializer_list<QWidget*>{m_pages, m_readRow, m_stop, m_first, last, progress, m_message, m_painted})
            layout->addWidget(w);
        const TransferControls controls{m_pages, m_main, {m_readRow}, m_stop, progress, m_message, m_first, last};
        m_driver = new TransferDriver(controls, *m_link, *m_errors, *m_boxes, m_window.get());
        m_driver->addPage(m_goodsTab, goods);
        connect(m_readRow, &QAbstractButton::clicked, m_driver, &TransferDriver::LoadStringClick);
        connect(m_stop, &QAbstractButton::clicked, m_driver, &TransferDriver::sb_StopReadingClick);
        m_pages->setCurrentWidget(m_goodsTab);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() {
        m_window.reset();
        m_link.reset();
        m_thread.reset();
        m_device.reset();
    }

    void stopEndsAHungGoodsReadAsALostConnection() {
        int paintsBefore = 0;
        int paintsDuring = 0;
        whileHung([&] {
            paintsBefore = m_painted->paints;
            m_painted->update();
            whileHung([&] {
                paintsDuring = m_painted->paints - paintsBefore;
                QTest::mouseClick(m_stop, Qt::LeftButton);
            });
        });
        m_driver->sb_ReadTableFromKKMClick();
        QVERIFY(paintsDuring > 0);
        QCOMPARE(m_device->aborts.load(), 1);
        // The two repeats of the record fail at once: the bridge is gone.
        QCOMPARE(m_device->calls.load(), 3);
        QCOMPARE(m_message->text(),
                 QStringLiteral("ОШИБКА: ККМ не отвечает (прочитано 0 из 3). Проверьте кабель и питание ККМ."));
        QCOMPARE(m_boxes->texts(), QStringList{m_message->text()});
        QVERIFY(!m_link->connected);
        QCOMPARE(m_pages->currentWidget(), m_main);
    }

    void otherInputIsDroppedWhileACallHangs() {
        whileHung([&] {
            QTest::mouseClick(m_readRow, Qt::LeftButton);
            QTest::keyClick(m_first, Qt::Key_7);
            m_device->answer(0);
        });
        m_readRow->click();
        QCoreApplication::processEvents();
        QCOMPARE(m_device->calls.load(), 1);
        QCOMPARE(m_first->text(), QStringLiteral("1"));
        QCOMPARE(m_message->text(), QStringLiteral("Чтение данных прошло успешно."));
    }
};

QTEST_MAIN(TestHungCall)
#include "test_hung_call.moc"
