#include "goods_csv.h"

#include <QLocale>
#include <QTest>

class TestGoodsCsv : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void fieldCheck_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString ru = QStringLiteral("ru_RU");
        const QString accepted;
        const QString barcode = QStringLiteral("Штрих код имеет неправильный тип!");
        const QString section = QStringLiteral("Номер отдела имеет неправильный тип!");
        const QString over16 = QStringLiteral("Номер отдела не может иметь значение больше 16!");
        const QString price = QStringLiteral("Цена имеет неправильный тип!");
        const QString fractional = QStringLiteral("Поле \"Дробное\" должно принимать значение - \"ДА\" или \"НЕТ\"");
        const QString sales = QStringLiteral("Поле \"Продажи\" имеет неправильный тип!");
        const QString returns = QStringLiteral("Поле \"Возвраты\" имеет неправильный тип!");
        const QString barcode13 = QStringLiteral("Штрих код должен состоять не более чем из 13 цифр!");
        const QString sectionWhole = QStringLiteral("Номер отдела должен быть целым числом от 0 до 16!");
        const QString price72 = QStringLiteral("Цена должна иметь не более 7 цифр до точки и 2 после неё!");
        QTest::newRow("name: anything Windows-1251 holds") << ru << 1 << "12 abc, №!" << accepted;
        QTest::newRow("name: 25 characters") << ru << 1 << QString(25, u'ж') << "Наименование длиннее 24 символов!";
        QTest::newRow("name: a character outside Windows-1251")
            << ru << 1 << "Чай ✓"
            << "Наименование содержит символ «✓», которого нет в кодировке Windows-1251!";
        QTest::newRow("barcode: digits") << ru << 2 << "4600000000000" << accepted;
        QTest::newRow("barcode: letter") << ru << 2 << "46a" << barcode;
        QTest::newRow("barcode: exponent") << ru << 2 << "1e3" << barcode13;
        QTest::newRow("barcode: negative") << ru << 2 << "-5" << barcode13;
        QTest::newRow("barcode: decimal") << ru << 2 << "1,5" << barcode13;
        QTest::newRow("barcode: 14 digits") << ru << 2 << "46000000000001" << barcode13;
        QTest::newRow("section: 16") << ru << 3 << "16" << accepted;
        QTest::newRow("section: comma") << ru << 3 << "2,5" << sectionWhole;
        QTest::newRow("section: 17") << ru << 3 << "17" << over16;
        QTest::newRow("section: 16,5") << ru << 3 << "16,5" << over16;
        QTest::newRow("section: point under comma locale") << ru << 3 << "1.5" << section;
        QTest::newRow("section: comma under point locale") << "en_US" << 3 << "1,5" << section;
        QTest::newRow("section: negative") << ru << 3 << "-3" << sectionWhole;
        QTest::newRow("price: point") << ru << 4 << "12.50" << accepted;
        QTest::newRow("price: typed point") << ru << 4 << "12." << accepted;
        QTest::newRow("price: comma under comma locale") << ru << 4 << "12,50" << price;
        QTest::newRow("price: group separator") << ru << 4 << "1,000.00" << price;
        QTest::newRow("price: infinity") << ru << 4 << "inf" << price;
        QTest::newRow("price: exponent") << ru << 4 << "1.5E2" << price72;
        QTest::newRow("price: eight digits") << ru << 4 << "12345678" << price72;
        QTest::newRow("price: two signs") << ru << 4 << "+-5" << price;
        QTest::newRow("fractional: yes") << ru << 5 << "ДА" << accepted;
        QTest::newRow("fractional: no") << ru << 5 << "НЕТ" << accepted;
        QTest::newRow("fractional: lower case") << ru << 5 << "да" << fractional;
        QTest::newRow("fractional: blank before ;") << ru << 5 << "ДА " << fractional;
        QTest::newRow("sales: comma") << ru << 6 << "10,25" << accepted;
        QTest::newRow("sales: from the register") << ru << 6 << "0.00" << accepted;
        QTest::newRow("sales: group separator") << ru << 6 << "1\u00A0000,00" << sales;
        QTest::newRow("sales: letters") << ru << 6 << "abc" << sales;
        QTest::newRow("returns: lone minus") << ru << 7 << "-" << returns;
        QTest::newRow("returns: not a number") << ru << 7 << "nan" << returns;
        QTest::newRow("twelfth field") << ru << 12 << "abc" << accepted;
    }
    void fieldCheck() {
        QFETCH(QString, locale);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(checkGoodsField(field, text), message);
    }

    void split_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("blanks before ; stay, after ; go")
            << " 5 ; Хлеб  ;  12 ;1" << QStringList{" 5 ", "Хлеб  ", "12 ", "1"};
        QTest::newRow("blank fields") << "4; ; ;" << QStringList{"4", "", "", ""};
        QTest::newRow("last field trimmed") << "5;a; b \t" << QStringList{"5", "a", "b"};
        QTest::newRow("two fields") << "7;Молоко" << QStringList{"7", "Молоко"};
        QTest::newRow("beyond the eighth")
            << "1;a;;;;;;;x;y" << QStringList{"1", "a", "", "", "", "", "", "", "x", "y"};
        QTest::newRow("no ;") << "12" << QStringList{""};
        QTest::newRow("empty line") << "" << QStringList{""};
    }
    void split() {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        QCOMPARE(splitGoodsLine(line), fields);
    }

    void recordNumber_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("goods");
        QTest::newRow("first") << 1 << true;
        QTest::newRow("last") << 9999 << true;
        QTest::newRow("header row") << 0 << false;
        QTest::newRow("beyond the grid") << 10000 << false;
        QTest::newRow("negative") << -1 << false;
    }
    void recordNumber() {
        QFETCH(int, number);
        QFETCH(bool, goods);
        QCOMPARE(isGoodsNumber(number), goods);
    }

    void line_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("full") << QStringList{"12", "Хлеб", "4600000000000", "3", "12.50", "ДА", "0.00", "0.00"}
                              << QByteArray("12;\xD5\xEB\xE5\xE1;4600000000000;3;12.50;\xC4\xC0;0.00;0.00\r\n");
        QTest::newRow("empty row") << QStringList{"4", "", "", "", "", "", "", ""} << QByteArray("4;;;;;;;\r\n");
    }
    void line() {
        QFETCH(QStringList, cells);
        QFETCH(QByteArray, bytes);
        QCOMPARE(goodsLine(cells), bytes);
    }

    void unwritableCell_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("character");
        QTest::newRow("code page signs") << QStringList{"1", "Ёё №«»€", "", "", "", "", "", ""} << -1 << "";
        QTest::newRow("; in the name") << QStringList{"1", "Хлеб; батон", "", ""} << 1 << ";";
        QTest::newRow("; in the last column") << QStringList{"1", "a", "", "", "", "", "", "0;0"} << 7 << ";";
        QTest::newRow("line feed") << QStringList{"1", "a\nb"} << 1 << "\n";
        QTest::newRow("outside the code page") << QStringList{"1", "a", "12漢"} << 2 << "漢";
        QTest::newRow("surrogate pair") << QStringList{"1", "a😀b"} << 1 << "😀";
        QTest::newRow("zero-width no-break space")
            << QStringList{"1", QStringLiteral("Чай\uFEFF")} << 1 << QStringLiteral("\uFEFF");
        QTest::newRow("first of two") << QStringList{"1", "漢", "", "1;2"} << 1 << "漢";
    }
    void unwritableCell() {
        QFETCH(QStringList, cells);
        QFETCH(int, column);
        QFETCH(QString, character);
        const std::optional<UnwritableCell> found = findUnwritableCell(cells);
        QCOMPARE(found ? found->column : -1, column);
        QCOMPARE(found ? found->character : QString(), character);
    }

    void readLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QByteArray utf8 = QStringLiteral("1;Хлеб\r\n").toUtf8();
        QTest::newRow("Windows-1251, final line end")
            << QByteArray("1;\xD5\xEB\xE5\xE1\r\n2;x\r\n") << QStringList{"1;Хлеб", "2;x"};
        QTest::newRow("no final line end") << QByteArray("1;a\r\n2;b") << QStringList{"1;a", "2;b"};
        QTest::newRow("LF and CR LF mixed") << QByteArray("1;a\n2;b\r\n3;c\n") << QStringList{"1;a", "2;b", "3;c"};
        QTest::newRow("empty line inside") << QByteArray("1;a\r\n\r\n2;b\r\n") << QStringList{"1;a", "", "2;b"};
        QTest::newRow("empty file") << QByteArray() << QStringList{""};
        QTest::newRow("only a line end") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("UTF-8 with byte order mark") << "\xEF\xBB\xBF" + utf8 << QStringList{"1;Хлеб"};
        QTest::newRow("UTF-8 without byte order mark") << utf8 << QStringList{"1;Хлеб"};
        QTest::newRow("Windows-1251 that is not UTF-8")
            << QByteArray("1;\xCC\xEE\xEB\xEE\xEA\xEE") << QStringList{"1;Молоко"};
    }
    void readLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(readGoodsLines(bytes), lines);
    }

    // Every kind of row the grid can hold comes back from its own export unchanged and accepted.
    void exportedRowsReimport_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("untouched") << QStringList{"1", "", "", "", "", "", "", ""};
        QTest::newRow("typed, never written") << QStringList{"2", "Хлеб", "", "", "", "", "", ""};
        QTest::newRow("written, no barcode or section") << QStringList{"3", "Хлеб", "", "", ".00", "", "", ""};
        QTest::newRow("read from the register")
            << QStringList{"4", "Хлеб                    ", "4600000000000", "3", "12.50", "ДА", "0.00", "1.50"};
    }
    void exportedRowsReimport() {
        QFETCH(QStringList, cells);
        const QStringList lines = readGoodsLines(goodsLine(cells) + goodsLine(cells));
        QCOMPARE(lines.size(), 2);
        const QStringList fields = splitGoodsLine(lines.first());
        QCOMPARE(fields, cells);
        for (int field = 1; field < fields.size(); ++field)
            QCOMPARE(checkGoodsField(field, fields[field]), QString());
    }
};

QTEST_GUILESS_MAIN(TestGoodsCsv)
#include "test_goods_csv.moc"
