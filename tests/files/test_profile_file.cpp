#include "cp1251.h"
#include "profile_file.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

namespace {

// Each write is {section, key, value} in Windows-1251.
using Writes = QList<QByteArrayList>;

// Bytes with NULs among them, all of the literal.
template <qsizetype N> QByteArray withNul(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

QByteArray cp(const char* utf8) {
    return toCp1251(QString::fromUtf8(utf8));
}

const QByteArray kSentence1 = cp("Данный файл создан в автоматическом режиме! ПРАВКА ЗАПРЕЩЕНА!");
const QByteArray kSentence2 = cp("При внесении изменений в файл вручную, ответственность за не корректную работу "
                                 "программы ложится на пользователя!");

// One page of the save as "key=value" texts, converted to Windows-1251.
void addPage(Writes& writes, const char* section, std::initializer_list<const char*> entries) {
    for (const char* entry : entries) {
        const QByteArray bytes = cp(entry);
        const qsizetype equals = bytes.indexOf('=');
        writes.append(QByteArrayList{section, bytes.first(equals), bytes.sliced(equals + 1)});
    }
}

// The program's save, in its order: the warning first, then every page of settings.
Writes saveSequence() {
    Writes writes{{"WARRNING", cp("ВНИМАНИЕ "), kSentence1 + "\n\r" + kSentence2}};
    addPage(writes, "KKMOptions",
            {"Code_Sell=-1", "Free_Price=0", "Decimal_Control=-1", "Money_Box=0", "Incasation=-1", "Mode_Password=0",
             "Zero_Password=0", "Light_Duration=1", "Date_Interval=31", "Date_NextTO=07.07.2008"});
    addPage(writes, "KKMPrintOpt",
            {"Reklama=-1", "Otdel=-1", "Goods=0", "Goods_Code=-1", "Nalog=0", "Font=0", "Separators=-1", "Wide_Itog=0",
             "Logo=-1", "Contrast=4"});
    addPage(writes, "KKMReklama",
            {"BFirst=      ДОБРО ПОЖАЛОВАТЬ!", "BFirstType=0", "BSecond=ООО \"Ромашка\"", "BSecondType=1",
             "BThird=", "BThirdType=-1", "EFirst=СПАСИБО ЗА ПОКУПКУ", "EFirstType=0", "ESecond=", "ESecondType=-1",
             "EThird=", "EThirdType=-1"});
    addPage(writes, "KKMDiscounts", {"Discount=5,5", "DiscountPermit=0", "MarkUps=0", "MarkUpsPermit=-1"});
    addPage(writes, "KKMDevice",
            {"Barcode_Speed=2", "ElectricScale_Interface=0", "ElectricScale_Protocol=-1", "ElectricScale_Speed=3",
             "PC_Speed=4", "Indicator_Speed=1"});
    const QByteArrayList operators{cp("Администратор"), cp("Кассир 1"), cp("Кассир 2")};
    for (int n = 1; n <= 8; ++n) {
        const QByteArray key = "Operator" + QByteArray::number(n);
        writes.append(QByteArrayList{"KKMOperators", key, n <= 3 ? operators[n - 1] : QByteArray()});
        writes.append(QByteArrayList{"KKMOperators", key + "_Type", n == 1 ? "31" : n <= 3 ? "5" : "0"});
    }
    for (int n = 1; n <= 16; ++n) {
        const QByteArray key = "Section" + QByteArray::number(n);
        writes.append(QByteArrayList{"KKMSections", key, n <= 5 ? cp("Отдел ") + QByteArray::number(n) : QByteArray()});
        writes.append(QByteArrayList{"KKMSections", key + "_NalogCode", "0"});
        writes.append(QByteArrayList{"KKMSections", key + "_Razr", n <= 5 ? "1" : "0"});
        writes.append(QByteArrayList{"KKMSections", key + "_Sfer", n == 5 ? "1" : "0"});
    }
    addPage(writes, "KKMTaxes",
            {"Tax1=НДС 18%", "Tax1_Value=18.00", "Tax2=НДС 10%", "Tax2_Value=10.00", "Tax3=", "Tax3_Value=0.00",
             "Tax4=", "Tax4_Value=0.00"});
    return writes;
}

QList<bool> apply(ProfileFile& file, const Writes& writes) {
    QList<bool> changed;
    for (const QByteArrayList& w : writes)
        changed.append(file.write(w[0], w[1], w[2]));
    return changed;
}

QByteArray example() {
    QFile file(QStringLiteral(PROFILE_EXAMPLE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The warning as the platform leaves it when nothing rewrites the file after it, with `copies` extra tails.
QByteArray rawWarning(int copies) {
    return kSentence1 + "\n\r" + kSentence2 + "\r\n" + (kSentence2 + "\r\n").repeated(copies);
}

QByteArray exampleWithWarning(const QByteArray& warning) {
    return QByteArray(example()).replace(kSentence1 + "\r\n" + kSentence2 + "\r\n", warning);
}

void addWrite(const char* name, const QByteArray& before, const Writes& writes, const QList<bool>& changed,
              const QByteArray& after) {
    QTest::newRow(name) << before << writes << changed << after;
}

void addRead(const char* name, const QByteArray& bytes, const QByteArray& section, const QByteArray& key,
             const QByteArray& value) {
    QTest::newRow(name) << bytes << section << key << value;
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QList<bool>>("changed");
        QTest::addColumn<QByteArray>("after");
        const QByteArray abc = "[Alpha]\r\nOne=1\r\nTwo=2\r\n[Beta]\r\nOne=b1\r\n";
        addWrite("first write creates the file", "", Writes{{"Alpha", "One", "1"}}, QList{true},
                 "[Alpha]\r\nOne=1\r\n");
        addWrite("new key ends its section", abc, Writes{{"Alpha", "Three", "3"}}, QList{true},
                 "[Alpha]\r\nOne=1\r\nTwo=2\r\nThree=3\r\n[Beta]\r\nOne=b1\r\n");
        addWrite("new section ends the file", abc, Writes{{"Gamma", "One", "g1"}}, QList{true},
                 abc + "[Gamma]\r\nOne=g1\r\n");
        addWrite("replaced where it stands, file's spelling kept", "[Sec]\r\nFirst=1\r\nSecond=2\r\nThird=3\r\n",
                 Writes{{"sec", "SECOND", "two"}, {"SEC", "SeCoNd", "zwei"}}, QList{true, true},
                 "[Sec]\r\nFirst=1\r\nSecond=zwei\r\nThird=3\r\n");
        addWrite("same value leaves an LF file untouched", "[S]\nk=v\nx=1",
                 Writes{{"S", "k", "v"}, {"s", " K ", " \tv"}}, QList{false, false}, "[S]\nk=v\nx=1");
        addWrite("value differing in case only is written", "[S]\nk=v\n", Writes{{"S", "k", "V"}}, QList{true},
                 "[S]\r\nk=V\r\n");
        addWrite("a change normalizes the whole file", "[S]\nk=v\n; comment\n\n[T]\nx=1\n", Writes{{"S", "k2", "v2"}},
                 QList{true}, "[S]\r\nk=v\r\n; comment\r\nk2=v2\r\n[T]\r\nx=1\r\n");
        addWrite("every line end and blank",
                 "\r\n\r\n  [ S ]  \r\r\n\tk = v\t\n\r\x0B\x0C\x1A\nnoequals\r\n\r\n[T]\rt=\xA0",
                 Writes{{"S", "n", "1"}}, QList{true}, "[S]\r\nk=v\r\nnoequals\r\nn=1\r\n[T]\r\nt=\xA0\r\n");
        addWrite("last line without its end", "[S]\r\nk=v\r\nlast=end", Writes{{"S", "added", "a"}}, QList{true},
                 "[S]\r\nk=v\r\nlast=end\r\nadded=a\r\n");
        addWrite("lines before the first header stay there", "top=1\n[S]\nk=v\n", Writes{{"S", "k", "w"}}, QList{true},
                 "top=1\r\n[S]\r\nk=w\r\n");
        addWrite("LF CR in a value is written raw", "[S]\r\nBefore=0\r\n",
                 Writes{{"S", "Warn", "first line\n\rsecond line"}}, QList{true},
                 "[S]\r\nBefore=0\r\nWarn=first line\n\rsecond line\r\n");
        addWrite("the next change splits it for good", "[S]\r\nBefore=0\r\n",
                 Writes{{"S", "Warn", "first line\n\rsecond line"}, {"S", "After", "a"}}, QList{true, true},
                 "[S]\r\nBefore=0\r\nWarn=first line\r\nsecond line\r\nAfter=a\r\n");
        addWrite("writing it again adds a tail each time", "[S]\r\nWarn=first line\r\nsecond line\r\nAfter=a\r\n",
                 Writes{{"S", "Warn", "first line\n\rsecond line"},
                        {"S", "After", "a"},
                        {"S", "Warn", "first line\n\rsecond line"},
                        {"S", "After", "a"}},
                 QList{true, false, true, false},
                 "[S]\r\nWarn=first line\n\rsecond line\r\nsecond line\r\nsecond line\r\nAfter=a\r\n");
        addWrite("control bytes and a lone CR written raw", "",
                 Writes{{"S", "Ctl", "a\x01\x02\x1F\tb\x7F"}, {"S", "c", "a\rb"}}, QList{true, true},
                 "[S]\r\nCtl=a\x01\x02\x1F\tb\x7F\r\nc=a\rb\r\n");
        addWrite("leading blanks go at once, trailing at the next change", "",
                 Writes{{"S", "V1", " \t lead"}, {"S", "V1", "lead"}, {"S", "t", "x \t"}, {"S", "w2", " \"quoted\" "}},
                 QList{true, false, true, true}, "[S]\r\nV1=lead\r\nt=x\r\nw2=\"quoted\" \r\n");
        addWrite("new names keep trailing blanks until re-parsed", "", Writes{{"  Spaced  ", "  K7 ", "seven"}},
                 QList{true}, "[Spaced  ]\r\nK7 =seven\r\n");
        addWrite("names are looked up trimmed", "[Spaced  ]\r\nK7 =seven\r\n", Writes{{"\tspaced ", " k7\x1A", "7"}},
                 QList{true}, "[Spaced]\r\nK7=7\r\n");
        addWrite("Cyrillic names match in their own case only", cp("[Раздел]\r\nКлюч=1\r\n"),
                 Writes{{cp("Раздел"), cp("ключ"), "2"}, {cp("раздел"), cp("Ключ"), "3"}}, QList{true, true},
                 cp("[Раздел]\r\nКлюч=1\r\nключ=2\r\n[раздел]\r\nКлюч=3\r\n"));
        addWrite("first of duplicate keys is written", "[A]\r\nk=first\r\nk=second\r\n", Writes{{"A", "K", "written"}},
                 QList{true}, "[A]\r\nk=written\r\nk=second\r\n");
        addWrite("new keys go to the first of duplicate sections", "[A]\r\nk=1\r\n[B]\r\n[a]\r\nm=2\r\n",
                 Writes{{"A", "m", "m2"}}, QList{true}, "[A]\r\nk=1\r\nm=m2\r\n[B]\r\n[a]\r\nm=2\r\n");
        addWrite("comment lines are entries", "[S]\r\n;c1=semi\r\n#c2=hash\r\n",
                 Writes{{"S", ";c1", "x"}, {"S", "#C2", "y"}}, QList{true, true}, "[S]\r\n;c1=x\r\n#c2=y\r\n");
        addWrite("a line without = is found by its text", "[S]\r\nnoequals\r\nk=1\r\n", Writes{{"S", "NoEquals", "v"}},
                 QList{true}, "[S]\r\nnoequals=v\r\nk=1\r\n");
        addWrite("key with an empty name", "[S]\r\n=novalue\r\n", Writes{{"S", "", "x"}}, QList{true}, "[S]\r\n=x\r\n");
        addWrite("empty value", "", Writes{{"S", "e", ""}, {"S", "e", "   "}, {"S", "e", "x"}},
                 QList{true, false, true}, "[S]\r\ne=x\r\n");
        addWrite("every upper byte of the code page kept", "",
                 Writes{{cp("Раздел"), cp("Ключ"), cp("Значение")}, {"\x98", "\xA0k", "\xA0v\x98\xA0"}},
                 QList{true, true},
                 "[\xD0\xE0\xE7\xE4\xE5\xEB]\r\n\xCA\xEB\xFE\xF7=\xC7\xED\xE0\xF7\xE5\xED\xE8\xE5\r\n"
                 "[\x98]\r\n\xA0k=\xA0v\x98\xA0\r\n");
        addWrite("= in a new key name", "[S]\r\na=1\r\n", Writes{{"S", "a=b", "v"}}, QList{true},
                 "[S]\r\na=1\r\na=b=v\r\n");
        addWrite("] in a section name, text after the header", "[x]y]\r\n[T] trailing\r\n",
                 Writes{{"x]y", "k", "1"}, {"T", "k", "2"}}, QList{true, true}, "[x]y]\r\nk=1\r\n[T]\r\nk=2\r\n");
        addWrite("[ without ] is no header", "[Open\r\nk=1\r\n", Writes{{"Open", "k", "2"}}, QList{true},
                 "[Open\r\nk=1\r\n[Open]\r\nk=2\r\n");
        addWrite("NUL ends a value, the rest of its line goes", withNul("[S]\r\nk=ab\0cd\r\nz=1\r\n"),
                 Writes{{"S", "z", "2"}}, QList{true}, "[S]\r\nk=ab\r\nz=2\r\n");
        addWrite("NUL ends a name, its value stays", withNul("[S]\r\nk\0x=v\r\n"), Writes{{"S", "n", "1"}}, QList{true},
                 "[S]\r\nk=v\r\nn=1\r\n");
        addWrite("NUL ends a section name", withNul("[S\0x]\r\nk=v\r\n"), Writes{{"S", "k", "w"}}, QList{true},
                 "[S]\r\nk=w\r\n");
        addWrite("a blank before a NUL is written, then dropped", withNul("[S]\r\nk=a \0b\r\n"),
                 Writes{{"S", "n", "1"}, {"S", "n", "2"}}, QList{true, true}, "[S]\r\nk=a\r\nn=2\r\n");
        addWrite("a line that is a NUL is left blank, then dropped", withNul("[S]\r\n\0\r\nk=v\r\n"),
                 Writes{{"S", "k", "w"}}, QList{true}, "[S]\r\n\r\nk=w\r\n");
        addWrite("a value written ends at its NUL", "", Writes{{"S", "k", withNul("a\0b")}}, QList{true},
                 "[S]\r\nk=a\r\n");
        addWrite("[] loses its header, its entries join the section before", "[S]\r\nk=1\r\n[]\r\nk=2\r\nm=3\r\n",
                 Writes{{"S", "x", "1"}, {"S", "m", "4"}}, QList{true, true}, "[S]\r\nk=1\r\nx=1\r\nk=2\r\nm=4\r\n");
        addWrite("[] first", "[]\r\nk=1\r\n[S]\r\n", Writes{{"S", "a", "1"}}, QList{true}, "k=1\r\n[S]\r\na=1\r\n");
        addWrite("of =a and =b the first stays", "[S]\r\n=a\r\n=b\r\nk=1\r\n", Writes{{"S", "k", "2"}}, QList{true},
                 "[S]\r\n=a\r\nk=2\r\n");
        addWrite("=a and =b apart both stay", "[S]\r\n=a\r\nx=1\r\n=b\r\n", Writes{{"S", "k", "2"}}, QList{true},
                 "[S]\r\n=a\r\nx=1\r\n=b\r\nk=2\r\n");
        addWrite("=b after [] stays until the file is read again", "[S]\r\n=a\r\n[]\r\n=b\r\n", Writes{{"T", "k", "1"}},
                 QList{true}, "[S]\r\n=a\r\n=b\r\n[T]\r\nk=1\r\n");
        addWrite("=b after [] goes at the next change", "[S]\r\n=a\r\n[]\r\n=b\r\n",
                 Writes{{"T", "k", "1"}, {"T", "k", "2"}}, QList{true, true}, "[S]\r\n=a\r\n[T]\r\nk=2\r\n");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(Writes, writes);
        QFETCH(QList<bool>, changed);
        QFETCH(QByteArray, after);
        ProfileFile file(before);
        QCOMPARE(apply(file, writes), changed);
        QCOMPARE(file.bytes(), after);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        const QByteArray blanks = "[S]\r\n  a  =  x  \r\nb=\t y\t\r\nnbsp=\xA0x\xA0\r\n\x0B\x0C\x1A"
                                  "c\x1A=\x1Av\x0C\r\n";
        const QByteArray quotes = "[Q]\r\n1=\"x\"\r\n2='x'\r\n3=\" x \"\r\n4=\"\"x\"\"\r\n5=\"x\r\n6=x\"\r\n"
                                  "7=\"x'\r\n8=a\"b\"c\r\n9=  \"x\"  \r\n10=\"\r\n11=\"\"\r\n";
        const QByteArray odd = "[S]\r\n;c1=semi\r\n#c2=hash\r\nk=v ; not a comment\r\nnoequals\r\n=novalue\r\ne=\r\n"
                               "f=   \r\na=b=v\r\n[x]y]\r\nk=xy\r\n[T] trailing\r\nk=t\r\n[Open\r\nk=open\r\n";
        const QByteArray upper = cp("[Раздел]\r\nКлюч=Значение\r\n") + "[\x98]\r\n\xA0=\x98\r\n";
        const QByteArray duplicates = "[A]\r\nk=first\r\nk=second\r\n[a]\r\nm=later\r\n";
        addRead("missing section", blanks, "Z", "a", "def");
        addRead("missing key", blanks, "S", "z", "def");
        addRead("last line without its end", "[S]\r\nk=v\r\nlast=end", "S", "last", "end");
        addRead("CR and LF CR end lines", "[S]\rk=v\n\rl=w\r", "S", "l", "w");
        addRead("value cut at LF CR", "[S]\r\nWarn=first line\n\rsecond line\r\n", "S", "Warn", "first line");
        addRead("its tail is no key", "[S]\r\nWarn=first line\n\rsecond line\r\n", "S", "second line", "def");
        addRead("control bytes kept", "[S]\r\nCtl=a\x01\x02\x1F\tb\x7F\r\n", "S", "Ctl", "a\x01\x02\x1F\tb\x7F");
        addRead("lone CR cuts", "[S]\r\nc=a\rb\r\n", "S", "c", "a");
        addRead("blanks around =", blanks, "S", "a", "x");
        addRead("TABs around", blanks, "S", "b", "y");
        addRead("A0 is no blank", blanks, "S", "nbsp", "\xA0x\xA0");
        addRead("0B 0C 1A are blanks", blanks, "S", "c", "v");
        addRead("names trimmed on lookup", "[S]\r\nK7 =seven\r\n", " S\t", "K7 ", "seven");
        addRead("\"x\"", quotes, "Q", "1", "x");
        addRead("'x'", quotes, "Q", "2", "x");
        addRead("\" x \"", quotes, "Q", "3", " x ");
        addRead("\"\"x\"\"", quotes, "Q", "4", "\"x\"");
        addRead("\"x", quotes, "Q", "5", "\"x");
        addRead("x\"", quotes, "Q", "6", "x\"");
        addRead("\"x'", quotes, "Q", "7", "\"x'");
        addRead("a\"b\"c", quotes, "Q", "8", "a\"b\"c");
        addRead("blanks outside quotes", quotes, "Q", "9", "x");
        addRead("one quote", quotes, "Q", "10", "\"");
        addRead("two quotes", quotes, "Q", "11", "");
        addRead("ASCII case ignored", "[MixedCase]\r\nKeyName=1\r\n", "mixedCASE", "KEYNAME", "1");
        addRead("Cyrillic section case", cp("[ПриМер]\r\nk=1\r\n"), cp("пример"), "k", "def");
        addRead("Cyrillic key case", cp("[S]\r\nКлюч=1\r\n"), "S", cp("ключ"), "def");
        addRead("first duplicate key", duplicates, "A", "k", "first");
        addRead("later duplicate section unseen", duplicates, "A", "m", "def");
        addRead(";", odd, "S", ";c1", "semi");
        addRead("#", odd, "S", "#c2", "hash");
        addRead("; inside a value", odd, "S", "k", "v ; not a comment");
        addRead("line without =", odd, "S", "noequals", "def");
        addRead("=value", odd, "S", "", "novalue");
        addRead("empty value", odd, "S", "e", "");
        addRead("blank value", odd, "S", "f", "");
        addRead("first = splits", odd, "S", "a", "b=v");
        addRead("last ] closes", odd, "x]y", "k", "xy");
        addRead("text after ]", odd, "T", "k", "t");
        addRead("[ without ]", odd, "Open", "k", "def");
        addRead("upper bytes", upper, cp("Раздел"), cp("Ключ"), cp("Значение"));
        addRead("98 and A0", upper, "\x98", "\xA0", "\x98");
        const QByteArray nuls = withNul("[S\0x]\r\nv=ab\0cd\r\nn\0x=v\r\nb=a \0b\r\n");
        addRead("NUL ends a value", nuls, "S", "v", "ab");
        addRead("NUL ends a name", nuls, "S", "n", "v");
        addRead("blank before a NUL kept", nuls, "S", "b", "a ");
        addRead("NUL ends a section name", nuls, "S", "v", "ab");
        const QByteArray nameless = "[S]\r\nk=1\r\n[]\r\nk=2\r\nm=3\r\n=a\r\n=b\r\n";
        addRead("[] is a section of its own", nameless, "S", "m", "def");
        addRead("the section before [] is read", nameless, "S", "k", "1");
        addRead("section \"\" is the lines before the first header", nameless, "", "k", "def");
        addRead("UTF-8 without BOM stays bytes", "[S]\r\nk=\xD0\x9F\xD1\x80\xD0\xB8\r\n", "S", "k",
                "\xD0\x9F\xD1\x80\xD0\xB8");
    }
    void read() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QCOMPARE(ProfileFile(bytes).value(section, key, "def"), value);
    }

    void fallback_data() {
        QTest::addColumn<QByteArray>("fallback");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("trailing spaces") << QByteArray("x  ") << QByteArray("x");
        QTest::newRow("quotes") << QByteArray("\"x\"") << QByteArray("x");
        QTest::newRow("leading blanks kept") << QByteArray(" \tx") << QByteArray(" \tx");
        QTest::newRow("trailing TAB kept") << QByteArray("x\t") << QByteArray("x\t");
        QTest::newRow("none") << QByteArray() << QByteArray("");
    }
    void fallback() {
        QFETCH(QByteArray, fallback);
        QFETCH(QByteArray, value);
        QCOMPARE(ProfileFile("[S]\r\nk=1\r\n").value("S", "missing", fallback), value);
        QCOMPARE(ProfileFile().value("S", "k", fallback), value);
    }

    void absentFile() {
        ProfileFile file;
        file.removeValuelessEntries("S");
        QVERIFY(!file.exists());
        QCOMPARE(file.value("S", "k", "def"), QByteArray("def"));
        QVERIFY(file.write("S", "k", ""));
        QVERIFY(file.exists());
        QCOMPARE(file.bytes(), QByteArray("[S]\r\nk=\r\n"));
        QCOMPARE(file.value("S", "k", "def"), QByteArray(""));
    }

    void byteOrderMark_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QString text = QStringLiteral("[S]\r\nk=При\r\n");
        const QString written = text + QStringLiteral("k2=Мир\r\n");
        const auto utf16 = [](const QString& s) {
            QStringEncoder encoder(QStringConverter::Utf16LE);
            return QByteArray("\xFF\xFE") + QByteArray(encoder(s));
        };
        QTest::newRow("UTF-8") << "\xEF\xBB\xBF" + text.toUtf8() << "\xEF\xBB\xBF" + written.toUtf8();
        QTest::newRow("UTF-16LE") << utf16(text) << utf16(written);
        const auto utf16be = [](const QString& s) {
            QStringEncoder encoder(QStringConverter::Utf16BE);
            return QByteArray("\xFE\xFF") + QByteArray(encoder(s));
        };
        QTest::newRow("UTF-16BE") << utf16be(text) << utf16be(written);
    }
    void byteOrderMark() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        ProfileFile file(before);
        QCOMPARE(file.value("s", "K"), cp("При"));
        QVERIFY(!file.write("S", "k", cp("При")));
        QCOMPARE(file.bytes(), before);
        QVERIFY(file.write("S", "k2", cp("Мир")));
        QCOMPARE(file.bytes(), after);
        QCOMPARE(file.value("S", "k2"), cp("Мир"));
    }

    void removeValuelessEntries_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("tails of the first section go")
            << QByteArray("x\n[A]\nk=1\ntail\ntail\n[B]\nz\n[a]\ny\n") << QByteArray(" a ")
            << QByteArray("x\r\n[A]\r\nk=1\r\n[B]\r\nz\r\n[a]\r\ny\r\n");
        QTest::newRow("nothing to drop: bytes untouched")
            << QByteArray("[A]\nk=1\n\n[B]\nz\n") << QByteArray("A") << QByteArray("[A]\nk=1\n\n[B]\nz\n");
        QTest::newRow("missing section") << QByteArray("[B]\nz\n") << QByteArray("A") << QByteArray("[B]\nz\n");
        QTest::newRow("tail left by LF CR")
            << QByteArray("[A]\r\nw=one\n\rtwo\r\n") << QByteArray("A") << QByteArray("[A]\r\nw=one\r\n");
    }
    void removeValuelessEntries() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, after);
        ProfileFile file(before);
        file.removeValuelessEntries(section);
        QCOMPARE(file.bytes(), after);
    }

    void saveIntoNewFile() {
        const QByteArray expected = example();
        QCOMPARE(expected.size(), 2492);
        ProfileFile file;
        const QList<bool> changed = apply(file, saveSequence());
        QVERIFY(!changed.contains(false));
        QCOMPARE(file.bytes(), expected);
        QCOMPARE(file.value("WARRNING", cp("ВНИМАНИЕ")), kSentence1);
        QCOMPARE(file.value("KKMReklama", "BFirst"), cp("ДОБРО ПОЖАЛОВАТЬ!"));
        QCOMPARE(file.value("KKMReklama", "BSecond"), cp("ООО \"Ромашка\""));
        QCOMPARE(file.value("KKMReklama", "BThird", "def"), QByteArray(""));
    }

    // Each save re-writes the warning, and the platform leaves one more copy of its second line.
    void saveAgainGrowsTheWarning() {
        ProfileFile file(example());
        apply(file, saveSequence());
        QCOMPARE(file.bytes(), exampleWithWarning(rawWarning(1)));
        apply(file, saveSequence());
        QCOMPARE(file.bytes(), exampleWithWarning(rawWarning(2)));
    }

    // Dropping the old tail first keeps the file the example's size on every save; the line break
    // of the just-written warning stays raw until some other value changes.
    void saveAgainWithoutTails() {
        ProfileFile file(example());
        for (int save = 1; save <= 3; ++save) {
            file.removeValuelessEntries("WARRNING");
            QCOMPARE(apply(file, saveSequence()).count(true), 1);
            QCOMPARE(file.bytes(), exampleWithWarning(rawWarning(0)));
        }
        QVERIFY(file.write("KKMTaxes", "Tax4_Value", "1.00"));
        QVERIFY(file.write("KKMTaxes", "Tax4_Value", "0.00"));
        QCOMPARE(file.bytes(), example());
    }

    void saveIntoForeignFile() {
        const QByteArray before = "; another program's settings\n[Other]\nx = 1\n\n[kkmoptions]\ncode_sell=0\n"
                                  "# note\nfree_price=0\n[KKMTaxes]\ntax1=\"old\"\n[Tail]\nlast=end";
        ProfileFile file(before);
        const Writes writes{{"KKMOptions", "Code_Sell", "-1"},
                            {"KKMOptions", "Free_Price", "0"},
                            {"KKMOptions", "Money_Box", "0"},
                            {"KKMTaxes", "Tax1", "\"old\""},
                            {"KKMDevice", "PC_Speed", "4"}};
        QCOMPARE(apply(file, writes), (QList<bool>{true, false, true, false, true}));
        QCOMPARE(file.bytes(), QByteArray("; another program's settings\r\n[Other]\r\nx=1\r\n[kkmoptions]\r\n"
                                          "code_sell=-1\r\n# note\r\nfree_price=0\r\nMoney_Box=0\r\n[KKMTaxes]\r\n"
                                          "tax1=\"old\"\r\n[Tail]\r\nlast=end\r\n[KKMDevice]\r\nPC_Speed=4\r\n"));

        ProfileFile saved(before);
        apply(saved, saveSequence());
        const QByteArray bytes = saved.bytes();
        QVERIFY(bytes.startsWith("; another program's settings\r\n[Other]\r\nx=1\r\n[kkmoptions]\r\ncode_sell=-1\r\n"
                                 "# note\r\nfree_price=0\r\n"));
        QVERIFY(bytes.contains("[KKMTaxes]\r\ntax1=" + cp("НДС 18%") + "\r\nTax1_Value=18.00\r\n"));
        QVERIFY(bytes.contains("[Tail]\r\nlast=end\r\n[WARRNING]\r\n"));
        QVERIFY(!bytes.contains("KKMOptions") && !bytes.contains("Code_Sell"));
        QCOMPARE(saved.value("Other", "X"), QByteArray("1"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profile_file.moc"
