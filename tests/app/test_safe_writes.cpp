// Comparing with the register and checked writes, through the window, on the emulated register.
#include "compare_dialog.h"
#include "device_library.h"
#include "fm_main.h"
#include "goods_model.h"
#include "goods_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "register_grid.h"
#include "safe_writer.h"
#include "transfer_driver.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Passes every call to the emulated register, but the discount row can be made to stay as it was
// or to be stored with other hundredths, as a register that clamps a value would.
struct Tap {
    enum class Fault { None, NotStored, Changed };
    static inline DeviceTable through;
    static inline Fault fault = Fault::None;

    static int32_t ORVEL_CALL SetRowValue(uint8_t kkm, uint8_t pc, uint8_t table, uint16_t row, const uint8_t* buf,
                                          int32_t lastIndex) {
        if (table != 5 || row != 1 || fault == Fault::None)
            return through.SetRowValue(kkm, pc, table, row, buf, lastIndex);
        if (fault == Fault::NotStored)
            return lastIndex;
        std::vector<uint8_t> kept(buf, buf + lastIndex + 1);
        kept[1] = 0x99;
        return through.SetRowValue(kkm, pc, table, row, kept.data(), lastIndex);
    }

    static DeviceTable over(const DeviceTable& table) {
        through = table;
        DeviceTable tapped = table;
        tapped.SetRowValue = SetRowValue;
        return tapped;
    }
};

} // namespace

class TestSafeWrites : public QObject {
    Q_OBJECT

    QTemporaryDir m_data;
    std::unique_ptr<DeviceLibrary> m_library;
    std::unique_ptr<DeviceLibrary> m_tapped;
    RecordingMessageBoxes m_boxes;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<Tfm_Main> m_window;
    QList<QStringList> m_dialogRows;
    bool m_writeFromDialog = false;

    template <typename T> T* find(const char* name) const { return m_window->findChild<T*>(QLatin1String(name)); }
    QString result() const { return find<QLabel>("lb_Result")->text(); }
    void showPage(const char* name) {
        find<QStackedWidget>("PageControl")->setCurrentWidget(find<QWidget>(name));
        m_window->MainformActionUpdate();
    }
    QString backups() const { return m_data.filePath(QStringLiteral("kkm-configurator/backups")); }

    // The functions called since `from`, by name.
    QStringList callsSince(uint64_t from) const {
        QStringList names;
        const ExchangeLog& log = m_window->link().api.log();
        for (uint64_t i = from; i < log.nextSequence(); ++i)
            names << QString::fromLatin1(deviceFunctionName(log.at(i).function));
        return names;
    }
    uint64_t nextCall() const { return m_window->link().api.log().nextSequence(); }

    void clickCompare() {
        m_dialogRows.clear();
        find<QAbstractButton>("sb_Compare")->click();
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        QCoreApplication::setApplicationName(QStringLiteral("kkm-configurator"));
        m_library = std::make_unique<DeviceLibrary>(QStringLiteral(ORVEL_LIBRARY));
        QVERIFY2(m_library->isLoaded(), qPrintable(m_library->errorText()));
        m_tapped = std::make_unique<DeviceLibrary>(Tap::over(m_library->table()));
        m_window = std::make_unique<Tfm_Main>(*m_tapped, m_boxes, m_dialogs, m_data.filePath("kkm.ini"));
        m_window->safeWriter().showDialog = [this](CompareDialog& dialog) {
            if (auto* table = dialog.findChild<QTableWidget*>("tw_Differences")) {
                for (int row = 0; row < table->rowCount(); ++row)
                    m_dialogRows << QStringList{table->item(row, 0)->text(), table->item(row, 1)->text(),
                                                table->item(row, 2)->text()};
            }
            return m_writeFromDialog;
        };
        find<QComboBox>("cb_KKMPort")->setCurrentIndex(0);
        find<QAbstractButton>("sb_Connect")->click(); // with the automatic read
        QVERIFY(m_window->link().connected);
        QCOMPARE(result(), QStringLiteral("Чтение данных прошло успешно."));
        showPage("ts_main");
        QVERIFY(!find<QAbstractButton>("sb_Compare")->isEnabled());
    }
    void cleanupTestCase() { m_window.reset(); }
    void init() {
        find<QCheckBox>("cb_SafeWrite")->setChecked(false);
        Tap::fault = Tap::Fault::None;
        m_writeFromDialog = false;
        m_boxes.shown.clear();
    }

    void compare_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("control"); // what is changed on the page; empty: nothing
        QTest::addColumn<QStringList>("difference");
        QTest::newRow("options as read") << "ts_KKMOptions"
                                         << "" << QStringList{};
        // The factory register sells by code.
        QTest::newRow("options, a flag") << "ts_KKMOptions"
                                         << "cb_CodeSell" << QStringList{"Продажа по коду", "да", "нет"};
        QTest::newRow("sections, a name") << "ts_KKMSections"
                                          << "SectionsSettings" << QStringList{"Отдел 2: наименование", "", "Хлеб"};
        QTest::newRow("discounts, a list") << "ts_KKMdiscount"
                                           << "cb_MarkUpsPermit" << QStringList{"Наценки: разрешение", "", ""};
    }
    void compare() {
        QFETCH(QString, page);
        QFETCH(QString, control);
        QFETCH(QStringList, difference);
        showPage(qPrintable(page));
        QVERIFY(find<QAbstractButton>("sb_Compare")->isEnabled());
        const uint64_t from = nextCall();
        if (control == QLatin1String("cb_CodeSell")) {
            find<QCheckBox>("cb_CodeSell")->setChecked(false);
        } else if (control == QLatin1String("SectionsSettings")) {
            find<RegisterGrid>("SectionsSettings")->setCell(1, 2, QStringLiteral("Хлеб"));
        } else if (control == QLatin1String("cb_MarkUpsPermit")) {
            auto* list = find<QComboBox>("cb_MarkUpsPermit");
            list->setCurrentIndex(list->currentIndex() == 2 ? 1 : 2);
            difference[2] = list->currentText();
        }
        clickCompare();
        // Only reads: the page's controls and the register are as they were.
        QVERIFY(!callsSince(from).contains(QStringLiteral("SetRowValue")));
        if (difference.isEmpty()) {
            QCOMPARE(m_dialogRows, QList<QStringList>{});
            QCOMPARE(result(), QStringLiteral("Отличий нет."));
            return;
        }
        QCOMPARE(m_dialogRows.size(), 1);
        QCOMPARE(m_dialogRows[0][0], difference[0]);
        if (!difference[1].isEmpty())
            QCOMPARE(m_dialogRows[0][1], difference[1]);
        QCOMPARE(m_dialogRows[0][2].trimmed(), difference[2]);
        QCOMPARE(result(), QStringLiteral("Отличий от ККМ: 1."));
        // «Записать в ККМ» writes the page; then there is nothing left to tell.
        m_writeFromDialog = true;
        clickCompare();
        m_writeFromDialog = false;
        QCOMPARE(result(), QStringLiteral("Запись данных прошла успешно."));
        clickCompare();
        QCOMPARE(m_dialogRows, QList<QStringList>{});
    }

    void compareGoods() {
        showPage("ts_KKMGoods");
        find<QLineEdit>("ed_GoodsStart")->setText(QStringLiteral("1"));
        find<QLineEdit>("ed_GoodsEND")->setText(QStringLiteral("3"));
        m_window->driver().sb_ReadTableFromKKMClick();
        GoodsModel& goods = m_window->goodsPage().model();
        goods.setCell(2, GoodsModel::NameColumn, QStringLiteral("Батон"));
        clickCompare();
        QCOMPARE(m_dialogRows.size(), 1);
        QCOMPARE(m_dialogRows[0][0],
                 QStringLiteral("Товар 2: ") +
                     goods.headerData(GoodsModel::NameColumn, Qt::Horizontal, Qt::DisplayRole).toString());
        QCOMPARE(m_dialogRows[0][2], QStringLiteral("Батон"));
    }

    // With the mode off a write makes exactly its own calls; with it on, the backup's reads come
    // first and the written rows' read-back after.
    void checkedWriteAddsOnlyReads_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("row"); // 0: the whole table
        QTest::addColumn<int>("readBack");
        QTest::addColumn<QString>("checked");
        QTest::newRow("discounts, the table") << "ts_KKMdiscount" << 0 << 2 << "Запись проверена: 4 полей совпадают.";
        QTest::newRow("sections, one row") << "ts_KKMSections" << 3 << 1 << "Запись проверена: 4 полей совпадают.";
    }
    void checkedWriteAddsOnlyReads() {
        QFETCH(QString, page);
        QFETCH(int, row);
        QFETCH(int, readBack);
        QFETCH(QString, checked);
        showPage(qPrintable(page));
        find<QLineEdit>("ed_DiscountValue")->setText(QStringLiteral("3,25"));
        if (row > 0)
            find<RegisterGrid>("SectionsSettings")->setCurrentRecord(row);
        const auto write = [&] {
            const uint64_t from = nextCall();
            row > 0 ? m_window->driver().SaveStringClick() : void(m_window->driver().sb_WriteTableToKKMClick());
            return callsSince(from);
        };
        const QStringList plain = write();
        QCOMPARE(result(), QStringLiteral("Запись данных прошла успешно."));

        const int copies = int(QDir(backups()).entryList(QDir::Files).size());
        find<QCheckBox>("cb_SafeWrite")->setChecked(true);
        const QStringList withCheck = write();
        const int backupReads = 1 + 1 + 6 + 2 + 4 + 8 + 16 + 4;
        QCOMPARE(withCheck.mid(0, backupReads), QStringList(backupReads, QStringLiteral("GetRowValue")));
        QCOMPARE(withCheck.mid(backupReads, plain.size()), plain);
        QCOMPARE(withCheck.mid(backupReads + plain.size()), QStringList(readBack, QStringLiteral("GetRowValue")));
        QCOMPARE(result(), checked);
        QCOMPARE(QDir(backups()).entryList(QDir::Files).size(), copies + 1);
    }

    void mismatchesAreNamed_data() {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("kind");
        QTest::newRow("not stored") << int(Tap::Fault::NotStored) << "не сохранено";
        QTest::newRow("changed by the register") << int(Tap::Fault::Changed) << "изменено ККМ";
    }
    void mismatchesAreNamed() {
        QFETCH(int, fault);
        QFETCH(QString, kind);
        showPage("ts_KKMdiscount");
        find<QCheckBox>("cb_SafeWrite")->setChecked(true);
        find<QLineEdit>("ed_DiscountValue")->setText(QStringLiteral("7,50"));
        Tap::fault = Tap::Fault(fault);
        m_window->driver().sb_WriteTableToKKMClick();
        QCOMPARE(result(), QStringLiteral("ОШИБКА: после записи ККМ хранит другие значения (1)."));
        QCOMPARE(m_boxes.shown.size(), 1);
        QVERIFY2(m_boxes.texts()[0].contains(QStringLiteral("Скидки: величина, %: записано «7,50»")) &&
                     m_boxes.texts()[0].contains(kind),
                 qPrintable(m_boxes.texts()[0]));
    }

    void failedBackupSendsNothing() {
        showPage("ts_KKMOptions");
        find<QCheckBox>("cb_SafeWrite")->setChecked(true);
        const QString saved = backups() + QStringLiteral(".moved");
        QVERIFY(QDir().rename(backups(), saved));
        QFile blocker(backups());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const uint64_t from = nextCall();
        m_window->driver().sb_WriteTableToKKMClick();
        QVERIFY(QFile::remove(backups()));
        QVERIFY(QDir().rename(saved, backups()));
        QVERIFY(!callsSince(from).contains(QStringLiteral("SetRowValue")));
        QVERIFY2(
            result().startsWith(QStringLiteral("ОШИБКА: Копия настроек ККМ не сохранена, в ККМ ничего не записано")),
            qPrintable(result()));
    }

    // A backup loads back in the window as a settings file.
    void restoreFromBackup() {
        const QStringList copies = QDir(backups()).entryList(QDir::Files, QDir::Name);
        QVERIFY(!copies.isEmpty());
        find<QLineEdit>("ed_DiscountValue")->setText(QStringLiteral("1,00"));
        m_dialogs.answer = QDir(backups()).filePath(copies.first());
        showPage("ts_main");
        find<QAbstractButton>("b_RestoreBackup")->click();
        QCOMPARE(m_dialogs.asked.last().at(1), backups() + QLatin1Char('/'));
        QCOMPARE(result(), QStringLiteral("Загрузка завершена!"));
        // The first copy was taken when the register held the 3,25 written without the check.
        QCOMPARE(find<QLineEdit>("ed_DiscountValue")->text(), QStringLiteral("3,25"));
    }
};

QTEST_MAIN(TestSafeWrites)
#include "test_safe_writes.moc"
