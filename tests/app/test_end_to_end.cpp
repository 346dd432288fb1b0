// The program against our own device library and its emulated register.
#include "device_library.h"
#include "fm_main.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TestEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;

private slots:
    void initTestCase() {
        // The emulated register keeps its state under the user's data folder.
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    }

    void connectReadChangeWriteReadBack() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        QVERIFY2(library.isLoaded(), qPrintable(library.errorText()));
        RecordingMessageBoxes boxes;
        Tfm_Main window(library, boxes, m_data.filePath("kkm.ini"));
        auto* port = window.findChild<QComboBox*>("cb_KKMPort");
        QVERIFY(port->count() >= 1);
        port->setCurrentIndex(0);
        window.findChild<QComboBox*>("cb_KKMPortSpeed")->setCurrentIndex(7);

        window.findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(window.link().connected);
        QCOMPARE(boxes.shown.size(), 1); // only the information box
        QVERIFY(window.findChild<QLabel*>("lb_KKMModel")->text() != QStringLiteral("---"));
        QVERIFY(!window.findChild<QLabel*>("lb_KKMSerialNumber")->text().isEmpty());
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Чтение данных прошло успешно."));

        auto* codeSell = window.findChild<QCheckBox*>("cb_CodeSell");
        auto* lights = window.findChild<QComboBox*>("cb_LightDuration");
        QVERIFY(lights->currentIndex() >= 0);
        const bool wasTicked = codeSell->isChecked();
        const int light = lights->currentIndex();

        window.findChild<QTabWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>("ts_KKMOptions"));
        codeSell->setChecked(!wasTicked);
        window.driver().sb_WriteTableToKKMClick();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Запись данных прошла успешно."));

        codeSell->setChecked(wasTicked);
        lights->setCurrentIndex(-1);
        window.driver().sb_ReadTableFromKKMClick();
        QCOMPARE(codeSell->isChecked(), !wasTicked);
        QCOMPARE(lights->currentIndex(), light);
        QCOMPARE(boxes.shown.size(), 1);

        uint8_t row[12] = {};
        QVERIFY(library.table().GetRowValue(window.link().kkmAddr, window.link().pcAddr, 2, 1, row, 11) >= 0);
        QCOMPARE(row[0] != 0, !wasTicked);
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
