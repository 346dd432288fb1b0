#include "advert_page.h"
#include "cp1251.h"
#include "device_fixture.h"
#include "devices_page.h"
#include "discount_page.h"
#include "operators_page.h"
#include "options_page.h"
#include "print_options_page.h"
#include "profile_file.h"
#include "recording_file_dialogs.h"
#include "sections_page.h"
#include "settings_exchange.h"
#include "taxes_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <sys/stat.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray cp1251(const char* utf8) {
    return toCp1251(QString::fromUtf8(utf8));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<QWidget> m_pages;
    QProgressBar* m_progress = nullptr;
    QLabel* m_message = nullptr;
    std::unique_ptr<SettingsExchange> m_exchange;
    QTemporaryDir m_dir;

    template <typename T> T* find(const QString& name) { return m_pages->findChild<T*>(name); }
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    QComboBox* list(const char* name) { return find<QComboBox>(name); }
    QCheckBox* box(const char* name) { return find<QCheckBox>(name); }
    RegisterGrid* grid(const char* name) { return find<RegisterGrid>(name); }

    // The example values of the settings file the project keeps beside its tests.
    void fillWithTheExample() {
        const char* options[] = {"cb_CodeSell",   "cb_FreePrice",    "cb_DecimalControl", "cb_MoneyBox",
                                 "cb_Incasation", "cb_ModePassword", "cb_ZeroPassword"};
        const bool ticks[] = {true, false, true, false, true, false, false};
        for (int i = 0; i < 7; ++i)
            box(options[i])->setChecked(ticks[i]);
        list("cb_LightDuration")->setCurrentIndex(1);
        edit("ed_DateInterval")->setText("31");
        find<QDateEdit>("dtp_NextTO")->setDate(QDate(2008, 7, 7));
        const char* print[] = {"cb_PoReklama", "cb_PoOtdel",      "cb_PoGoods",    "cb_PoGoodsCode", "cb_PoNalog",
                               "cb_PoFont",    "cb_PoSeparators", "cb_PoWideItog", "cb_PoLogo"};
        const bool printTicks[] = {true, true, false, true, false, false, true, false, true};
        for (int i = 0; i < 9; ++i)
            box(print[i])->setChecked(printTicks[i]);
        edit("ed_PoContrast")->setText("4");
        const char* lines[] = {"CheckBeginFirst", "CheckBeginSecond", "CheckBeginThird",
                               "CheckEndFirst",   "CheckEndSecond",   "CheckEndThird"};
        const QString texts[] = {"      ДОБРО ПОЖАЛОВАТЬ!", "ООО \"Ромашка\"", "", "СПАСИБО ЗА ПОКУПКУ", "", ""};
        const int stretches[] = {0, 1, -1, 0, -1, -1};
        for (int i = 0; i < 6; ++i) {
            find<QLineEdit>(QStringLiteral("ed_") + lines[i])->setText(texts[i]);
            find<QComboBox>(QStringLiteral("cb_") + lines[i])->setCurrentIndex(stretches[i]);
        }
        edit("ed_DiscountValue")->setText("5,5");
        list("cb_DiscountPermit")->setCurrentIndex(0);
        edit("ed_MarkUpsValue")->setText("0");
        list("cb_MarkUpsPermit")->setCurrentIndex(-1);
        const char* devices[] = {
            "cb_BarcodeSpeed", "cb_ElecticScalesInterface", "cb_ElectronicScaleProtocol", "cb_ElectronicScaleSpeed",
            "cb_PCSpeed",      "cb_IndicatorSpeed"};
        const int items[] = {2, 0, -1, 3, 4, 1};
        for (int i = 0; i < 6; ++i)
            list(devices[i])->setCurrentIndex(items[i]);
        const QString operators[] = {"Администратор", "Кассир 1", "Кассир 2"};
        const char* masks[] = {"31", "5", "5"};
        for (int n = 1; n <= 8; ++n) {
            grid("Operators")->setCell(1, n, n <= 3 ? operators[n - 1] : QString());
            grid("Operators")->setCell(2, n, n <= 3 ? masks[n - 1] : "0");
        }
        for (int n = 1; n <= 16; ++n) {
            const QStringList cells = n <= 5
                                          ? QStringList{QStringLiteral("Отдел %1").arg(n), "0", "1", n == 5 ? "1" : "0"}
                                          : QStringList{"", "0", "0", "0"};
            for (int column = 1; column <= 4; ++column)
                grid("SectionsSettings")->setCell(column, n, cells[column - 1]);
        }
        const QStringList taxes[] = {{"НДС 18%", "18.00"}, {"НДС 10%", "10.00"}, {"", "0.00"}, {"", "0.00"}};
        for (int n = 1; n <= 4; ++n) {
            grid("Taxes")->setCell(1, n, taxes[n - 1][0]);
            grid("Taxes")->setCell(2, n, taxes[n - 1][1]);
        }
    }

    // Every value the file covers, as text, to compare two states of the pages.
    QStringList snapshot() {
        ProfileFile file;
        m_exchange->save(file);
        return fromCp1251(file.bytes()).split(QStringLiteral("\r\n"));
    }

    QString save(const QString& name) {
        m_dialogs.answer = m_dir.filePath(name);
        m_exchange->b_SaveSettingsClick();
        return m_dialogs.answer;
    }
    void load(const QString& path) {
        m_dialogs.answer = path;
        m_exchange->b_LoadSettingsClick();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_pages = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_pages.get());
        RegisterLink& link = m_device->link;
        ErrorReporter& errors = m_device->errors;
        for (QWidget* page : std::initializer_list<QWidget*>{
                 new OptionsPage(link, errors), new PrintOptionsPage(link, errors), new AdvertPage(link, errors),
                 new DiscountPage(link, errors), new DevicesPage(link, errors), new OperatorsPage(link, errors),
                 new SectionsPage(link, errors), new TaxesPage(link, errors)})
            layout->addWidget(page);
        m_progress = new QProgressBar;
        m_message = new QLabel;
        layout->addWidget(m_progress);
        layout->addWidget(m_message);
        m_exchange = std::make_unique<SettingsExchange>(SettingsControls{m_pages.get(), m_progress, m_message},
                                                        m_device->errors, m_device->boxes, m_dialogs);
    }
    void cleanup() {
        m_exchange.reset();
        m_pages.reset();
        m_device.reset();
    }

    void saveGivesTheExampleFileByteForByte() {
        fillWithTheExample();
        const QString path = save("new.sav");
        QCOMPARE(fileBytes(path), fileBytes(PROFILE_EXAMPLE));
        QCOMPARE(m_message->text(), QStringLiteral("Сохранение завершено."));
        QCOMPARE(m_device->boxes.texts(), QStringList{"Сохранение завершено!"});
        QCOMPARE(m_device->boxes.shown[0].icon, QMessageBox::NoIcon);
        const QStringList asked = m_dialogs.asked.value(0);
        QCOMPARE(asked.mid(2), QStringList({"SAV Files (*.sav)", "sav", "replace"}));
        QCOMPARE(QFileInfo(asked[1]).fileName(),
                 QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".sav");
        // Saving again changes nothing: the warning's second line is not added once more.
        save("new.sav");
        QCOMPARE(fileBytes(path), fileBytes(PROFILE_EXAMPLE));
    }

    void saveThenLoadRestoresEveryControl() {
        fillWithTheExample();
        const QStringList before = snapshot();
        const QString path = save("round.sav");
        // Change everything, then load.
        for (QCheckBox* b : m_pages->findChildren<QCheckBox*>())
            b->toggle();
        for (QComboBox* c : m_pages->findChildren<QComboBox*>())
            c->setCurrentIndex(c->count() - 1);
        for (QLineEdit* e : m_pages->findChildren<QLineEdit*>())
            e->setText("9");
        for (RegisterGrid* g : m_pages->findChildren<RegisterGrid*>())
            for (int row = 1; row <= g->rowCount(); ++row)
                g->setCell(1, row, "x");
        find<QDateEdit>("dtp_NextTO")->setDate(QDate(2030, 1, 2));
        QVERIFY(snapshot() != before);
        load(path);
        QCOMPARE(m_message->text(), QStringLiteral("Загрузка завершена!"));
        QCOMPARE(m_device->boxes.texts().last(), QStringLiteral("Загрузка завершена"));
        // Only the blanks in front of the centred line are lost.
        QCOMPARE(edit("ed_CheckBeginFirst")->text(), QStringLiteral("ДОБРО ПОЖАЛОВАТЬ!"));
        edit("ed_CheckBeginFirst")->setText("      ДОБРО ПОЖАЛОВАТЬ!");
        QCOMPARE(snapshot(), before);
        // The rights ticks follow the loaded masks; the fields of use their cells.
        QCOMPARE(find<QListWidget>("OperatorRights2")->item(2)->checkState(), Qt::Checked);
        QCOMPARE(find<QListWidget>("OperatorRights2")->item(1)->checkState(), Qt::Unchecked);
        QCOMPARE(find<QComboBox>("SectionSfer5")->currentIndex(), 1);
        QCOMPARE(list("cb_ElectronicScaleProtocol")->currentIndex(), -1);
    }

    void missingSectionsLoadTheirDefaults() {
        fillWithTheExample();
        const QString path = save("defaults.sav");
        QByteArray bytes = fileBytes(path);
        const qsizetype from = bytes.indexOf("[KKMOptions]"), to = bytes.indexOf("[KKMReklama]");
        writeFile(path, bytes.remove(from, to - from));
        load(path);
        for (QCheckBox* b : m_pages->findChildren<QCheckBox*>())
            QVERIFY2(b->isChecked(), qPrintable(b->objectName()));
        QCOMPARE(list("cb_LightDuration")->currentText(), QStringLiteral("5 сек."));
        QCOMPARE(edit("ed_DateInterval")->text(), QStringLiteral("31"));
        QCOMPARE(find<QDateEdit>("dtp_NextTO")->date(), QDate::currentDate());
        QCOMPARE(edit("ed_PoContrast")->text(), QStringLiteral("4"));
    }

    // Each row: a key's value in an otherwise good file, and what the pages then show.
    void loadedValues_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("flag True") << QByteArray("Code_Sell") << QByteArray("tRuE") << "cb_CodeSell"
                                   << "1";
        QTest::newRow("flag 5") << QByteArray("Code_Sell") << QByteArray("5") << "cb_CodeSell"
                                << "1";
        QTest::newRow("flag false") << QByteArray("Code_Sell") << QByteArray("FALSE") << "cb_CodeSell"
                                    << "0";
        QTest::newRow("item outside the list") << QByteArray("Light_Duration") << QByteArray("8") << "cb_LightDuration"
                                               << "-1";
        QTest::newRow("quoted text") << QByteArray("Date_Interval") << QByteArray("\"12\"") << "ed_DateInterval"
                                     << "12";
        QTest::newRow("Sfer 1") << QByteArray("Section5_Sfer") << QByteArray("1") << "SectionSfer5"
                                << "1";
        QTest::newRow("Sfer 01") << QByteArray("Section5_Sfer") << QByteArray("01") << "SectionSfer5"
                                 << "0";
        QTest::newRow("date without leading zeros")
            << QByteArray("Date_NextTO") << QByteArray("8.9.2010") << "dtp_NextTO"
            << "2010-09-08";
        QTest::newRow("date with a two-digit year")
            << QByteArray("Date_NextTO") << QByteArray("08.09.10") << "dtp_NextTO"
            << "2010-09-08";
        QTest::newRow("first date of the range")
            << QByteArray("Date_NextTO") << QByteArray("01.01.2000") << "dtp_NextTO"
            << "2000-01-01";
        QTest::newRow("last date of the range") << QByteArray("Date_NextTO") << QByteArray("31.12.2099") << "dtp_NextTO"
                                                << "2099-12-31";
        // The edits' typing limits do not cut what a file holds.
        QTest::newRow("interval of three digits")
            << QByteArray("Date_Interval") << QByteArray("100") << "ed_DateInterval"
            << "100";
        QTest::newRow("contrast of two digits") << QByteArray("Contrast") << QByteArray("12") << "ed_PoContrast"
                                                << "12";
        QTest::newRow("discount of six characters")
            << QByteArray("Discount") << QByteArray("0099,5") << "ed_DiscountValue"
            << "0099,5";
        QTest::newRow("advertising line of 29 characters")
            << QByteArray("BFirst") << cp1251("СПАСИБО ЗА ПОКУПКУ, ПРИХОДИТЕ") << "ed_CheckBeginFirst"
            << "СПАСИБО ЗА ПОКУПКУ, ПРИХОДИТЕ";
    }
    void loadedValues() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        fillWithTheExample();
        const QString path = save("values.sav");
        ProfileFile file(fileBytes(path));
        for (const char* section : {"KKMOptions", "KKMPrintOpt", "KKMReklama", "KKMDiscounts", "KKMSections"})
            file.write(section, key, value);
        writeFile(path, file.bytes());
        load(path);
        QWidget* widget = find<QWidget>(control);
        if (auto* check = qobject_cast<QCheckBox*>(widget))
            QCOMPARE(QString::number(check->isChecked()), shown);
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            QCOMPARE(QString::number(combo->currentIndex()), shown);
        else if (auto* date = qobject_cast<QDateEdit*>(widget))
            QCOMPARE(date->date().toString(Qt::ISODate), shown);
        else
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), shown);
    }

    void dateSavedUnderAnotherFormatStillLoads() {
        fillWithTheExample();
        const QString path = save("date.sav");
        find<QDateEdit>("dtp_NextTO")->setDate(QDate(2030, 1, 2));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        load(path);
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(find<QDateEdit>("dtp_NextTO")->date(), QDate(2008, 7, 7));
    }

    // A load that fails at any key changes nothing on the pages.
    void failedLoadChangesNothing_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("last rights mask")
            << QByteArray("KKMOperators") << QByteArray("Operator8_Type") << QByteArray("x");
        QTest::newRow("empty flag") << QByteArray("KKMPrintOpt") << QByteArray("Logo") << QByteArray("");
        QTest::newRow("not a date") << QByteArray("KKMOptions") << QByteArray("Date_NextTO")
                                    << QByteArray("31.02.2024");
        QTest::newRow("date before the edit's range")
            << QByteArray("KKMOptions") << QByteArray("Date_NextTO") << QByteArray("31.12.1999");
        QTest::newRow("date after the edit's range")
            << QByteArray("KKMOptions") << QByteArray("Date_NextTO") << QByteArray("01.01.2100");
    }
    void failedLoadChangesNothing() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        fillWithTheExample();
        const QString path = save("bad.sav");
        ProfileFile file(fileBytes(path));
        file.write("KKMOptions", "Date_Interval", "7");
        file.write(section, key, value);
        writeFile(path, file.bytes());
        const QStringList before = snapshot();
        load(path);
        QCOMPARE(m_message->text(), QStringLiteral("Ошибка загрузки."));
        QCOMPARE(m_progress->value(), 0);
        QCOMPARE(snapshot(), before);
        const QString error = m_device->boxes.texts().last();
        QVERIFY2(error.startsWith("Ошибка по месту: Tfm_Main.b_LoadSettingsClick\n\r"), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("раздел %1, ключ %2").arg(section, key)), qPrintable(error));
    }

    void saveIntoAForeignFileKeepsItsKeys() {
        const QString path = m_dir.filePath("foreign.sav");
        writeFile(path, "; their notes\n[Other]\nkeep=me\n[kkmoptions]\ncode_sell=0\nmine=1\n");
        box("cb_CodeSell")->setChecked(true);
        save("foreign.sav");
        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.startsWith("; their notes\r\n[Other]\r\nkeep=me\r\n[kkmoptions]\r\ncode_sell=-1\r\nmine=1\r\n"));
        QVERIFY(bytes.contains("[WARRNING]"));
    }

    void failedSaveLeavesTheOldFile() {
        const QString path = m_dir.filePath("old.sav");
        writeFile(path, "[Old]\nk=v\n");
        delete grid("Taxes"); // the save fails at its last section
        save("old.sav");
        QCOMPARE(fileBytes(path), QByteArray("[Old]\nk=v\n"));
        QCOMPARE(m_message->text(), QStringLiteral("Ошибка сохранения."));
        QVERIFY(m_device->boxes.texts().value(0).startsWith("Ошибка по месту: Tfm_Main.b_SaveSettingsClick\n\r"));
    }

    // What is no settings file is refused before it is read, by either button.
    void refusedFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("reason");
        for (const bool saving : {false, true}) {
            const char* button = saving ? "save, " : "load, ";
            QTest::newRow(QByteArray(button) + "folder") << "folder" << saving << "это папка, а не файл настроек";
            QTest::newRow(QByteArray(button) + "named pipe")
                << "pipe" << saving << "не обычный файл (канал, сокет или устройство)";
            QTest::newRow(QByteArray(button) + "over 1 MiB")
                << "big" << saving << "занимает 1048577 байт: это не файл настроек";
        }
    }
    void refusedFiles() {
        QFETCH(QString, kind);
        QFETCH(bool, saving);
        QFETCH(QString, reason);
        const QString name = kind + (saving ? "-saved.sav" : "-loaded.sav");
        const QString path = m_dir.filePath(name);
        QByteArray big = fileBytes(PROFILE_EXAMPLE);
        big.prepend("[Other]\r\n" + QByteArray(1024 * 1024 + 1 - big.size() - 12, 'x') + "=\r\n");
        QCOMPARE(big.size(), 1024 * 1024 + 1);
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind == "pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            writeFile(path, big);
        const QStringList before = snapshot();
        if (saving)
            save(name);
        else
            load(path);
        QCOMPARE(m_message->text(), saving ? QStringLiteral("Ошибка сохранения.") : QStringLiteral("Ошибка загрузки."));
        QCOMPARE(snapshot(), before);
        const QString error = m_device->boxes.texts().value(0);
        QVERIFY2(error.contains(reason), qPrintable(error));
        if (kind == "big")
            QCOMPARE(fileBytes(path), big);
    }

    void missingFileIsSaidSo() {
        load(m_dir.filePath("absent.sav"));
        QCOMPARE(m_device->boxes.texts(), QStringList{"Файла не существует"});
        QCOMPARE(m_device->boxes.shown[0].caption, QStringLiteral("Ошибка"));
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
