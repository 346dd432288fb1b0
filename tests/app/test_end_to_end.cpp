// The program against our own device library and its emulated register.
#include "cp1251.h"
#include "device_library.h"
#include "device_table.h"
#include "emulated_register.h"
#include "fm_main.h"
#include "goods_csv_exchange.h"
#include "goods_model.h"
#include "goods_page.h"
#include "logo_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "register_grid.h"
#include "state_file.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStackedWidget>
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
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
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

        window.findChild<QStackedWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>("ts_KKMOptions"));
        codeSell->setChecked(!wasTicked);
        window.driver().sb_WriteTableToKKMClick();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Запись данных прошла успешно."));

        codeSell->setChecked(wasTicked);
        lights->setCurrentIndex(-1);
        // The read asks before it replaces the edits.
        boxes.answer = QMessageBox::Yes;
        window.driver().sb_ReadTableFromKKMClick();
        QCOMPARE(codeSell->isChecked(), !wasTicked);
        QCOMPARE(lights->currentIndex(), light);
        QCOMPARE(boxes.shown.size(), 2);
        QCOMPARE(boxes.shown[1].icon, QMessageBox::Question);

        uint8_t row[12] = {};
        QVERIFY(library.table().GetRowValue(window.link().kkmAddr, window.link().pcAddr, 2, 1, row, 11) >= 0);
        QCOMPARE(row[0] != 0, !wasTicked);
    }

    void everyBuiltPageRoundTrips() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Чтение данных прошло успешно."));

        auto* contrast = window.findChild<QLineEdit*>("ed_PoContrast");
        auto* advert = window.findChild<QLineEdit*>("ed_CheckEndThird");
        auto* stretch = window.findChild<QComboBox*>("cb_CheckEndThird");
        auto* markUp = window.findChild<QLineEdit*>("ed_MarkUpsValue");
        auto* pcSpeed = window.findChild<QComboBox*>("cb_PCSpeed");
        auto* operators = window.findChild<RegisterGrid*>("Operators");
        auto* sections = window.findChild<RegisterGrid*>("SectionsSettings");
        auto* taxes = window.findChild<RegisterGrid*>("Taxes");
        // The automatic read filled every page.
        QVERIFY(!contrast->text().isEmpty());
        QCOMPARE(advert->text().size(), 24);
        QVERIFY(stretch->currentIndex() >= 0);
        QVERIFY(!markUp->text().isEmpty());
        QVERIFY(pcSpeed->currentIndex() >= 0);
        QVERIFY(!operators->cell(1, 8).trimmed().isEmpty());
        QVERIFY(!sections->cell(1, 16).trimmed().isEmpty());
        QVERIFY(!taxes->cell(2, 4).isEmpty());

        const QString point = QLocale().decimalPoint();
        const struct {
            const char* page;
            std::function<void()> change;
            std::function<void()> clear;
            std::function<bool()> changed;
        } pages[] = {
            {"ts_KKMPrintOpt", [&] { contrast->setText("2"); }, [&] { contrast->clear(); },
             [&] { return contrast->text() == "2"; }},
            {"ts_KKMReklama",
             [&] {
                 advert->setText("Ждём вас");
                 stretch->setCurrentIndex(2);
             },
             [&] {
                 advert->clear();
                 stretch->setCurrentIndex(-1);
             },
             [&] { return advert->text() == "Ждём вас" + QString(16, ' ') && stretch->currentIndex() == 2; }},
            {"ts_KKMdiscount", [&] { markUp->setText("7" + point + "5"); }, [&] { markUp->clear(); },
             [&] { return markUp->text() == "7" + point + "50"; }},
            {"ts_KKMDevices", [&] { pcSpeed->setCurrentIndex(3); }, [&] { pcSpeed->setCurrentIndex(-1); },
             [&] { return pcSpeed->currentIndex() == 3; }},
            {"ts_KKMOperators", [&] { operators->setCell(1, 8, "Практикант"); }, [&] { operators->setCell(1, 8, ""); },
             [&] { return operators->cell(1, 8) == "Практикант    "; }},
            {"ts_KKMSections", [&] { sections->setCell(3, 16, "2"); }, [&] { sections->setCell(3, 16, ""); },
             [&] { return sections->cell(3, 16) == "2"; }},
            {"ts_KKMNalog", [&] { taxes->setCell(2, 4, "7.5"); }, [&] { taxes->setCell(2, 4, ""); },
             [&] { return taxes->cell(2, 4) == "7.50"; }},
        };
        auto* pageControl = window.findChild<QStackedWidget*>("PageControl");
        auto* result = window.findChild<QLabel*>("lb_Result");
        const qsizetype boxesBefore = boxes.shown.size();
        boxes.answer = QMessageBox::Yes; // each read replaces the cleared page
        for (const auto& page : pages) {
            pageControl->setCurrentWidget(window.findChild<QWidget*>(page.page));
            page.change();
            window.driver().sb_WriteTableToKKMClick();
            QCOMPARE(result->text(), QStringLiteral("Запись данных прошла успешно."));
            page.clear();
            window.driver().sb_ReadTableFromKKMClick();
            QVERIFY2(page.changed(), page.page);
        }
        QCOMPARE(boxes.shown.size(), boxesBefore + qsizetype(std::size(pages))); // a question before each read

        // A row the register refuses: its own text reaches the technician.
        pageControl->setCurrentWidget(window.findChild<QWidget*>("ts_KKMReklama"));
        stretch->setCurrentIndex(-1);
        window.driver().sb_WriteTableToKKMClick();
        QCOMPARE(result->text(), QStringLiteral("ОШИБКА: Растяжение рекламной строки должно быть от 0 до 3"));
        QCOMPARE(boxes.texts().last(), result->text());
    }

    void settingsFileCarriesAConfigurationBack() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        RecordingMessageBoxes boxes;
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        auto* pageControl = window.findChild<QStackedWidget*>("PageControl");
        const auto writePage = [&](const char* page) {
            pageControl->setCurrentWidget(window.findChild<QWidget*>(page));
            window.driver().sb_WriteTableToKKMClick();
        };
        // A file keeps no blanks in front of a value: the advertising lines start without them here.
        for (QLineEdit* line : window.findChild<QWidget*>("ts_KKMReklama")->findChildren<QLineEdit*>())
            line->setText(line->text().trimmed());
        writePage("ts_KKMReklama");

        const DeviceTable device = library.table();
        const auto tables = [&] {
            QByteArray all;
            const int shapes[][3] = {{2, 1, 12}, {3, 1, 10},  {4, 6, 25}, {5, 2, 3},
                                     {6, 4, 7},  {7, 16, 14}, {8, 4, 3},  {9, 8, 18}};
            for (const auto& shape : shapes)
                for (int row = 1; row <= shape[1]; ++row) {
                    QByteArray bytes(shape[2], '\0');
                    device.GetRowValue(2, 1, uint8_t(shape[0]), uint16_t(row), reinterpret_cast<uint8_t*>(bytes.data()),
                                       shape[2] - 1);
                    all += bytes;
                }
            return all;
        };
        const QByteArray saved = tables();
        window.MainformActionUpdate();
        dialogs.answer = m_data.filePath("register.sav");
        window.findChild<QAbstractButton*>("b_SaveSettings")->click();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Сохранение завершено."));

        // The register changes; the file brings the saved configuration back.
        const uint8_t contrast[10] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, tax[7] = {'X', ' ', ' ', ' ', ' ', 0x33, 0x33};
        QVERIFY(device.SetRowValue(2, 1, 3, 1, contrast, 9) >= 0);
        QVERIFY(device.SetRowValue(2, 1, 6, 2, tax, 6) >= 0);
        QVERIFY(tables() != saved);
        window.findChild<QAbstractButton*>("b_LoadSettings")->click();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Загрузка завершена!"));
        for (const char* page : {"ts_KKMOptions", "ts_KKMPrintOpt", "ts_KKMReklama", "ts_KKMdiscount", "ts_KKMDevices",
                                 "ts_KKMOperators", "ts_KKMSections", "ts_KKMNalog"})
            writePage(page);
        QCOMPARE(tables().toHex(), saved.toHex());
        QCOMPARE(boxes.texts().mid(1), QStringList({"Сохранение завершено!", "Загрузка завершена"}));
    }

    void goodsSurviveARestartOfTheRegister() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton; // no automatic read
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        QVERIFY(window.link().connected);

        window.findChild<QStackedWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>("ts_KKMGoods"));
        window.findChild<QLineEdit*>("ed_GoodsStart")->setText("20");
        window.findChild<QLineEdit*>("ed_GoodsEND")->setText("40");
        GoodsModel& goods = window.goodsPage().model();
        for (int record = 20; record <= 40; ++record) {
            goods.setCell(record, GoodsModel::NameColumn, QStringLiteral("Товар %1").arg(record));
            goods.setCell(record, GoodsModel::BarcodeColumn, QString::number(4600000000000LL + record));
            goods.setCell(record, GoodsModel::SectionColumn, QString::number(record % 17));
            goods.setCell(record, GoodsModel::PriceColumn, QStringLiteral("%1.25").arg(record));
            goods.setFractional(record, record % 2 == 0);
        }
        window.driver().sb_WriteTableToKKMClick();
        QCOMPARE(window.findChild<QLabel*>("lb_Result")->text(), QStringLiteral("Запись данных прошла успешно."));
        QVERIFY(library.table().ClosePort() >= 0);

        orvel::EmulatedRegister restarted(orvel::defaultStateFile());
        QVERIFY(restarted.open("EMULATOR", 9600) >= 0);
        for (int record = 20; record <= 40; ++record) {
            const char* texts[7] = {};
            QVERIFY(restarted.readGoods(uint16_t(record), &texts[0], &texts[1], &texts[2], &texts[3], &texts[4],
                                        &texts[5], &texts[6]) >= 0);
            QCOMPARE(fromDeviceText(texts[0]), goods.cell(record, GoodsModel::NameColumn));
            QCOMPARE(fromDeviceText(texts[1]), goods.cell(record, GoodsModel::BarcodeColumn));
            QCOMPARE(fromDeviceText(texts[2]), goods.cell(record, GoodsModel::SectionColumn));
            QCOMPARE(fromDeviceText(texts[3]), goods.cell(record, GoodsModel::PriceColumn));
            QCOMPARE(QByteArray(texts[4]), QByteArray(record % 2 == 0 ? "1" : "0"));
        }
        QVERIFY(restarted.close() >= 0); // the port is one program's at a time

        // Read back through the program too.
        for (int record = 20; record <= 40; ++record)
            goods.setRecord(record, {}, false);
        boxes.answer = QMessageBox::Yes; // the emptied records may be replaced
        QVERIFY(library.table().SetPort("EMULATOR", 9600) >= 0);
        window.driver().sb_ReadTableFromKKMClick();
        QCOMPARE(goods.cell(33, GoodsModel::NameColumn), QStringLiteral("Товар 33"));
        QCOMPARE(goods.cell(33, GoodsModel::FractionalColumn), QStringLiteral("НЕТ"));
        QCOMPARE(goods.cell(34, GoodsModel::FractionalColumn), QStringLiteral("ДА"));
        QVERIFY(goods.fractional(34));
    }

    void logoUploadThroughTheImportButtonAndTheDriver() {
        const DeviceLibrary library(QStringLiteral(ORVEL_LIBRARY));
        RecordingMessageBoxes boxes;
        boxes.answer = QMessageBox::NoButton;
        RecordingFileDialogs dialogs;
        Tfm_Main window(library, boxes, dialogs, m_data.filePath("kkm.ini"));
        window.findChild<QAbstractButton*>("sb_Connect")->click();
        window.findChild<QStackedWidget*>("PageControl")->setCurrentWidget(window.findChild<QWidget*>("ts_KKMLogo"));
        // The register's logo cannot be read back: no blank logo goes over it, and none without a yes.
        auto* result = window.findChild<QLabel*>("lb_Result");
        const auto writeSendsNothing = [&](const QString& text) {
            const uint64_t before = window.link().api.log().nextSequence();
            window.driver().sb_WriteTableToKKMClick();
            return result->text() == text && window.link().api.log().nextSequence() == before;
        };
        QVERIFY(writeSendsNothing(QStringLiteral("ОШИБКА: Сначала откройте изображение.")));

        QImage picture(100, 40, QImage::Format_RGB32);
        picture.fill(Qt::white);
        for (int x = 0; x < 100; x += 3)
            picture.setPixel(x, x % 40, qRgb(0, 0, 0));
        dialogs.answer = m_data.filePath("logo.bmp");
        QVERIFY(picture.save(dialogs.answer, "BMP"));
        window.csvExchange().sb_LoadFromCSVClick();
        QCOMPARE(window.logoPage().copyArea().width(), 104);
        boxes.answer = QMessageBox::No;
        QVERIFY(writeSendsNothing(QStringLiteral("Запись отменена: в ККМ ничего не передано.")));

        boxes.answer = QMessageBox::Yes; // the register's logo may be replaced
        window.driver().sb_WriteTableToKKMClick();
        QCOMPARE(result->text(), QStringLiteral("Запись данных прошла успешно."));
        QCOMPARE(boxes.shown.size(), 4); // the information box, the refusal and the two questions
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_end_to_end.moc"
