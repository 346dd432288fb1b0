#include "error_reporter.h"
#include "goods_csv_exchange.h"
#include "goods_model.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TestGoodsCsvExchange : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<GoodsModel> m_goods;
    std::unique_ptr<QStackedWidget> m_pages;
    QWidget* m_goodsPage = nullptr;
    QWidget* m_logoPage = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_message = nullptr;
    std::unique_ptr<RecordingMessageBoxes> m_boxes;
    std::unique_ptr<ErrorReporter> m_errors;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<GoodsCsvExchange> m_exchange;

    QString path(const char* name = "goods.csv") const { return m_dir.filePath(QLatin1String(name)); }
    QByteArray readFile(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void writeFile(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void fill(int record, const QStringList& cells) {
        for (int column = 1; column <= cells.size(); ++column)
            m_goods->setCell(record, column, cells[column - 1]);
    }
    QStringList row(int record) const {
        QStringList cells;
        for (int column = 1; column < GoodsModel::ColumnCount; ++column)
            cells << m_goods->cell(record, column);
        return cells;
    }
    void importBytes(const QByteArray& bytes) {
        writeFile(path("in.csv"), bytes);
        m_dialogs.answer = path("in.csv");
        m_exchange->sb_LoadFromCSVClick();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void init() {
        m_goods = std::make_unique<GoodsModel>();
        m_pages = std::make_unique<QStackedWidget>();
        m_goodsPage = new QWidget;
        m_logoPage = new QWidget;
        m_pages->addWidget(new QWidget);
        m_pages->addWidget(m_logoPage);
        m_pages->addWidget(m_goodsPage);
        m_pages->setCurrentWidget(m_goodsPage);
        m_first = new QLineEdit("1", m_pages.get());
        m_last = new QLineEdit("9999", m_pages.get());
        m_progress = new QProgressBar(m_pages.get());
        m_message = new QLabel(m_pages.get());
        m_boxes = std::make_unique<RecordingMessageBoxes>();
        m_errors = std::make_unique<ErrorReporter>(*m_boxes);
        m_dialogs = {};
        const CsvControls controls{m_pages.get(), m_goodsPage, m_logoPage, m_first, m_last, m_progress, m_message};
        m_exchange = std::make_unique<GoodsCsvExchange>(*m_goods, controls, *m_errors, *m_boxes, m_dialogs);
    }
    void cleanup() {
        m_exchange.reset();
        m_errors.reset();
        m_boxes.reset();
        m_pages.reset();
        m_goods.reset();
    }

    void exportsTheRangeWithEmptyRows() {
        fill(3, {"Хлеб", "4601", "1", "25.50", "ДА", "0.00", "0.00"});
        fill(5, {"Соль", "", "2", "12.00", "НЕТ", "", ""});
        m_first->setText("3");
        m_last->setText("5");
        m_dialogs.answer = path();
        m_exchange->sb_SaveToCSVClick();
        QCOMPARE(readFile(path()), QByteArray("3;\xD5\xEB\xE5\xE1;4601;1;25.50;\xC4\xC0;0.00;0.00\r\n"
                                              "4;;;;;;;\r\n"
                                              "5;\xD1\xEE\xEB\xFC;;2;12.00;\xCD\xC5\xD2;;\r\n"));
        QCOMPARE(m_message->text(), QStringLiteral("Экспорт данных завершен!"));
        QCOMPARE(m_progress->value(), 0);
        QCOMPARE(m_dialogs.asked[0], QStringList({"save", QDir::homePath(), "CSV Files (*.csv)", "csv", "ask"}));
    }

    void exportWithTheEndBeforeTheStartWritesAnEmptyFile() {
        m_first->setText("10");
        m_last->setText("5");
        m_dialogs.answer = path();
        m_exchange->sb_SaveToCSVClick();
        QCOMPARE(readFile(path()), QByteArray());
        QCOMPARE(m_message->text(), QStringLiteral("Экспорт данных завершен!"));
    }

    void exportRefusesWhatCannotBeReadBack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("separator") << "Хлеб;белый"
                                   << "Поле «Наименование» товара № 2 содержит символ «;», которым в файле CSV "
                                      "разделяются поля. Исправьте значение и повторите экспорт.";
        QTest::newRow("line break") << "Хлеб\nбелый"
                                    << "Поле «Наименование» товара № 2 содержит перевод строки. Исправьте значение и "
                                       "повторите экспорт.";
    }
    void exportRefusesWhatCannotBeReadBack() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        writeFile(path(), "old content");
        fill(2, {name});
        m_last->setText("3");
        m_dialogs.answer = path();
        m_exchange->sb_SaveToCSVClick();
        QCOMPARE(m_boxes->texts(), QStringList{message});
        QCOMPARE(readFile(path()), QByteArray("old content"));
        QVERIFY(m_message->text().isEmpty());
    }

    // A full disk is named as such, not as Qt's "Unknown error" of a failed final flush.
    void exportToAFullDiskSaysSo() {
        const QString small = path("small");
        QDir().mkpath(small);
        if (geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=8k", "tmpfs", small}) != 0)
            QSKIP("a small disk needs a tmpfs mount, which needs root");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small}); });
        for (int record = 1; record <= 400; ++record)
            fill(record, {"Хлеб", "4601234567890", "1", "25.50", "ДА", "0.00", "0.00"});
        m_last->setText("400");
        m_dialogs.answer = small + "/goods.csv";
        m_exchange->sb_SaveToCSVClick();
        QCOMPARE(m_boxes->shown.size(), 1);
        QVERIFY2(m_boxes->texts()[0].contains(QStringLiteral("на диске нет места")), qPrintable(m_boxes->texts()[0]));
        QVERIFY(!QFile::exists(small + "/goods.csv"));
    }

    void exportRefusesABadRange() {
        m_first->setText("0");
        m_dialogs.answer = path("bad-range.csv");
        m_exchange->sb_SaveToCSVClick();
        QCOMPARE(m_boxes->shown.size(), 1);
        QVERIFY(m_boxes->texts()[0].startsWith(QStringLiteral("Интервал товаров задан неверно")));
        QVERIFY(!QFile::exists(path("bad-range.csv")));
    }

    void cancelledOrOtherPageDoesNothing() {
        m_exchange->sb_SaveToCSVClick();
        m_exchange->sb_LoadFromCSVClick();
        QCOMPARE(m_dialogs.asked.size(), 2);
        m_pages->setCurrentIndex(0);
        m_exchange->sb_SaveToCSVClick();
        m_exchange->sb_LoadFromCSVClick();
        QCOMPARE(m_dialogs.asked.size(), 2);
        QVERIFY(m_message->text().isEmpty());
        QVERIFY(m_boxes->shown.isEmpty());
    }

    void importOnTheLogoPageLoadsAPicture() {
        int loads = 0;
        m_exchange->setLogoLoader([&] { ++loads; });
        m_pages->setCurrentWidget(m_logoPage);
        m_exchange->sb_LoadFromCSVClick();
        QCOMPARE(loads, 1);
        QVERIFY(m_dialogs.asked.isEmpty());
    }

    // The reason is ours, in Russian: Qt's is English.
    void importFromAFolderSaysSo() {
        QVERIFY(QDir().mkpath(path("folder.csv")));
        m_dialogs.answer = path("folder.csv");
        m_exchange->sb_LoadFromCSVClick();
        QCOMPARE(m_boxes->shown.size(), 1);
        QVERIFY2(m_boxes->texts()[0].contains(
                     QStringLiteral("Не удалось открыть файл «%1»: это папка").arg(path("folder.csv"))),
                 qPrintable(m_boxes->texts()[0]));
    }

    void importStoresRowsAndFlags() {
        fill(7, {"keep", "1", "2", "3", "НЕТ", "4", "5"});
        // The price's comma is its point.
        importBytes("2;\xD5\xEB\xE5\xE1 ;4601; 1;25,50;\xC4\xC0;0.00; 1,5 \r\n"
                    "7;\xD1\xEE\xEB\xFC\r\n"
                    "9;;;;;;;\r\n");
        QCOMPARE(row(2), QStringList({"Хлеб ", "4601", "1", "25.50", "ДА", "0.00", "1,5"}));
        QVERIFY(m_goods->fractional(2));
        QCOMPARE(row(7), QStringList({"Соль", "1", "2", "3", "НЕТ", "4", "5"}));
        QCOMPARE(row(9), QStringList({"", "", "", "", "", "", ""}));
        QCOMPARE(m_message->text(), QStringLiteral("Импорт данных завершен!"));
        QVERIFY(m_boxes->shown.isEmpty());
        QCOMPARE(m_progress->value(), 0);
    }

    void importStopsAtABadRecord_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("message");
        QTest::newRow("section 17") << QByteArray("12;A;1;17;1.00;\xC4\xC0;0;0")
                                    << "Номер отдела не может иметь значение больше 16!"
                                    << "Ошибка в записи № 12";
        QTest::newRow("lower-case yes") << QByteArray("12;A;1;1;1.00;\xE4\xE0;0;0")
                                        << "Поле \"Дробное\" должно принимать значение - \"ДА\" или \"НЕТ\""
                                        << "Ошибка в записи № 12";
        QTest::newRow("returns not a number")
            << QByteArray("12;A;1;1;1.00;\xC4\xC0;0;x") << "Поле \"Возвраты\" имеет неправильный тип!"
            << "Ошибка в записи № 12";
        QTest::newRow("price with two commas") << QByteArray("12;A;1;1;1,0,0") << "Цена имеет неправильный тип!"
                                               << "Ошибка в записи № 12";
        QTest::newRow("record 0") << QByteArray("0;A") << ""
                                  << "Ошибка в записи № 0";
        QTest::newRow("record 10000") << QByteArray("10000;A") << ""
                                      << "Ошибка в записи № 10000";
    }
    void importStopsAtABadRecord() {
        QFETCH(QByteArray, line);
        QFETCH(QString, box);
        QFETCH(QString, message);
        importBytes("1;first\r\n" + line + "\r\n3;never\r\n");
        QCOMPARE(m_boxes->texts(), box.isEmpty() ? QStringList{} : QStringList{box});
        if (!box.isEmpty())
            QCOMPARE(m_boxes->shown[0].icon, QMessageBox::NoIcon);
        QCOMPARE(m_message->text(), message);
        QCOMPARE(m_goods->cell(1, 1), QStringLiteral("first"));
        QVERIFY(m_goods->cell(3, 1).isEmpty());
        QVERIFY(m_goods->cell(12, 1) == QStringLiteral("A") || m_goods->cell(12, 1).isEmpty());
    }

    void importOfAFileWithoutRecordNumbers() {
        importBytes("");
        QCOMPARE(m_boxes->texts(),
                 QStringList{"Ошибка по месту: Tfm_Main.sb_LoadFromCSVClick\n\rТекст ошибки: '' is not a "
                             "valid integer value\n\rСообщите разработчикам."});
    }

    void importOfAMissingFile() {
        m_dialogs.answer = path("missing.csv");
        m_exchange->sb_LoadFromCSVClick();
        QCOMPARE(m_boxes->shown.size(), 1);
        QVERIFY(m_boxes->texts()[0].contains(path("missing.csv")));
    }

    void importReadsUtf8() {
        importBytes("\xEF\xBB\xBF"
                    "4;Молоко;;;;;;\r\n" +
                    QByteArray("5;Чай ✓;;;;;;\n"));
        QCOMPARE(m_goods->cell(4, 1), QStringLiteral("Молоко"));
        QCOMPARE(m_dialogs.asked.value(0).value(3), QStringLiteral("csv"));
        // A character Windows-1251 cannot hold would reach the register as "?": the record is refused.
        QCOMPARE(m_goods->cell(5, 1), QString());
        QCOMPARE(m_message->text(), QStringLiteral("Ошибка в записи № 5"));
        QCOMPARE(m_boxes->texts(),
                 QStringList{"Наименование содержит символ «✓», которого нет в кодировке Windows-1251!"});
    }

    void roundTripOfAnExportedFile() {
        fill(1, {"Хлеб", "4601234567890", "1", "25.50", "ДА", "0.00", "0.00"});
        m_goods->setFractional(1, true);
        fill(2, {"Соль", "", "2", "12.00", "НЕТ", "0.00", "0.00"});
        fill(3, {"Чай", "", "", "", "", "", ""});
        fill(9999, {"Последний", "1", "16", "0.01", "НЕТ", "1.5", "2"});
        m_dialogs.answer = path();
        m_exchange->sb_SaveToCSVClick();
        QList<QStringList> expected;
        for (int record = 1; record <= 9999; ++record)
            expected << row(record);

        m_goods = std::make_unique<GoodsModel>();
        init();
        m_dialogs.answer = path();
        m_exchange->sb_LoadFromCSVClick();
        QVERIFY2(m_boxes->shown.isEmpty(), qPrintable(m_boxes->texts().join('\n')));
        QCOMPARE(m_message->text(), QStringLiteral("Импорт данных завершен!"));
        for (int record = 1; record <= 9999; ++record)
            QCOMPARE(row(record), expected[record - 1]);
        QVERIFY(m_goods->fractional(1));
        QVERIFY(!m_goods->fractional(2));
    }
};

QTEST_MAIN(TestGoodsCsvExchange)
#include "test_goods_csv_exchange.moc"
