// Edits not yet written are not lost without a question: on closing, and before a read.
#include "device_library.h"
#include "fm_main.h"
#include "goods_model.h"
#include "goods_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

class TestUnsavedEdits : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    std::unique_ptr<DeviceLibrary> m_library;
    RecordingMessageBoxes m_boxes;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<Tfm_Main> m_window;

    template <typename T> T* find(const char* name) const { return m_window->findChild<T*>(QLatin1String(name)); }
    void showPage(const char* name) { find<QStackedWidget>("PageControl")->setCurrentWidget(find<QWidget>(name)); }
    QStringList questions() const {
        QStringList asked;
        for (const auto& box : m_boxes.shown) {
            if (box.icon == QMessageBox::Question)
                asked << box.text;
        }
        return asked;
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        m_library = std::make_unique<DeviceLibrary>(QStringLiteral(ORVEL_LIBRARY));
        QVERIFY2(m_library->isLoaded(), qPrintable(m_library->errorText()));
    }
    // A connected window that has read every page.
    void init() {
        m_boxes.shown.clear();
        m_boxes.answer = QMessageBox::Ok;
        m_window = std::make_unique<Tfm_Main>(*m_library, m_boxes, m_dialogs, m_data.filePath("kkm.ini"));
        m_window->show();
        find<QComboBox>("cb_KKMPort")->setCurrentIndex(0);
        find<QAbstractButton>("sb_Connect")->click();
        QCOMPARE(find<QLabel>("lb_Result")->text(), QStringLiteral("Чтение данных прошло успешно."));
        m_boxes.shown.clear();
    }
    void cleanup() {
        m_window->link().api.ClosePort();
        m_window.reset();
    }

    void closing_data() {
        QTest::addColumn<QString>("edit");  // what the user changed
        QTest::addColumn<QString>("after"); // what came after it
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing edited") << ""
                                        << "" << int(QMessageBox::No) << false << true;
        QTest::newRow("an option, kept open") << "option"
                                              << "" << int(QMessageBox::No) << true << false;
        QTest::newRow("an option, closed anyway") << "option"
                                                  << "" << int(QMessageBox::Yes) << true << true;
        QTest::newRow("an option written") << "option"
                                           << "write" << int(QMessageBox::No) << false << true;
        QTest::newRow("an option, then a settings load") << "option"
                                                         << "load" << int(QMessageBox::No) << false << true;
        QTest::newRow("a goods name") << "goods"
                                      << "" << int(QMessageBox::No) << true << false;
    }
    void closing() {
        QFETCH(QString, edit);
        QFETCH(QString, after);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        if (after == QLatin1String("load")) {
            m_dialogs.answer = m_data.filePath("snapshot.sav");
            m_window->MainformActionUpdate();
            find<QAbstractButton>("b_SaveSettings")->click();
        }
        if (edit == QLatin1String("option")) {
            showPage("ts_KKMOptions");
            auto* box = find<QCheckBox>("cb_MoneyBox");
            box->setChecked(!box->isChecked());
        } else if (edit == QLatin1String("goods")) {
            m_window->goodsPage().model().setCell(12, GoodsModel::NameColumn, QStringLiteral("Батон"));
        }
        if (after == QLatin1String("write"))
            QCOMPARE(m_window->driver().sb_WriteTableToKKMClick(), TransferDriver::Outcome::Success);
        else if (after == QLatin1String("load"))
            find<QAbstractButton>("b_LoadSettings")->click();
        m_boxes.shown.clear();
        m_boxes.answer = QMessageBox::StandardButton(answer);
        QCOMPARE(m_window->close(), closed);
        QCOMPARE(questions(), asked ? QStringList{"Изменения не записаны в ККМ. Закрыть программу?"} : QStringList{});
        QCOMPARE(m_window->isVisible(), !closed);
    }

    void readAsksBeforeReplacingEdits_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("keep the edits") << int(QMessageBox::No);
        QTest::newRow("read") << int(QMessageBox::Yes);
    }
    void readAsksBeforeReplacingEdits() {
        QFETCH(int, answer);
        showPage("ts_KKMOptions");
        auto* box = find<QCheckBox>("cb_MoneyBox");
        const bool held = box->isChecked();
        box->setChecked(!held);
        m_boxes.answer = QMessageBox::StandardButton(answer);
        const uint64_t before = m_window->link().api.log().nextSequence();
        m_window->driver().sb_ReadTableFromKKMClick();
        QCOMPARE(questions().size(), 1);
        const bool read = answer == QMessageBox::Yes;
        QCOMPARE(m_window->link().api.log().nextSequence() > before, read);
        QCOMPARE(box->isChecked(), read ? held : !held);
        QCOMPARE(find<QLabel>("lb_Result")->text(),
                 read ? QStringLiteral("Чтение данных прошло успешно.")
                      : QStringLiteral("Чтение отменено: страница осталась как была."));
    }
};

QTEST_MAIN(TestUnsavedEdits)
#include "test_unsaved_edits.moc"
