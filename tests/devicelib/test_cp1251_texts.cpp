#include "cp1251.h"
#include "error_texts.h"
#include "result_codes.h"
#include "state_file.h"

#include <cerrno>
#include <QtTest>

using namespace orvel;

class TestCp1251Texts : public QObject {
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void errorTexts();
    void saveFailureTexts_data();
    void saveFailureTexts();
};

void TestCp1251Texts::conversion_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("cp1251");
    QTest::newRow("ascii") << QByteArray("Port 1: 9600;") << QByteArray("Port 1: 9600;");
    QTest::newRow("alphabet ends") << QByteArray("АЯая") << QByteArray("\xC0\xDF\xE0\xFF");
    QTest::newRow("yo and number sign") << QByteArray("Ёё№") << QByteArray("\xA8\xB8\xB9");
    QTest::newRow("letter outside the page") << QByteArray("é€") << QByteArray("??");
    QTest::newRow("four-byte character") << QByteArray("a😀b") << QByteArray("a?b");
    QTest::newRow("cut sequence at end") << QByteArray("Я\xD0") << QByteArray("\xDF?");
    QTest::newRow("lone continuation") << QByteArray("\x80z") << QByteArray("?z");
    QTest::newRow("lead without continuation") << QByteArray("\xD0z") << QByteArray("?z");
}

void TestCp1251Texts::conversion() {
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, cp1251);
    QCOMPARE(QByteArray::fromStdString(toCp1251(utf8.toStdString())), cp1251);
}

void TestCp1251Texts::errorTexts() {
    QSet<QByteArray> texts{QByteArray::fromStdString(errorText(0))};
    for (int32_t code = StateNotSaved; code <= PortNotOpen; ++code) {
        const auto text = QByteArray::fromStdString(errorText(code));
        // Windows-1251 letters are 0xC0-0xFF, Ё, ё; UTF-8 would put 0x80-0xBF after every lead byte.
        const bool cp1251 = std::all_of(text.begin(), text.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return b < 0x80 || b >= 0xC0 || b == 0xA8 || b == 0xB8;
        });
        QVERIFY2(cp1251 && !text.contains('?') && !text.endsWith(QByteArray::number(code)), qPrintable(text.toHex()));
        texts.insert(text);
    }
    QCOMPARE(texts.size(), 1 - StateNotSaved); // each code its own text, none the "no error" one
    QCOMPARE(errorText(NoAnswer), toCp1251("ККМ не отвечает"));
    QCOMPARE(errorText(17), errorText(0));
    QVERIFY(QByteArray::fromStdString(errorText(INT32_MIN)).endsWith(" -2147483648"));
}

void TestCp1251Texts::saveFailureTexts_data() {
    QTest::addColumn<int>("failure");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("full disk") << ENOSPC << QByteArray("нет места на диске");
    QTest::newRow("quota") << EDQUOT << QByteArray("нет места на диске");
    QTest::newRow("access") << EACCES << QByteArray("нет прав на запись в папку состояния");
    QTest::newRow("permission") << EPERM << QByteArray("нет прав на запись в папку состояния");
    QTest::newRow("read-only") << EROFS << QByteArray("диск доступен только для чтения, нет прав на запись");
    QTest::newRow("file in the way") << ENOTDIR << QByteArray("на пути к папке состояния находится файл, а не папка");
    QTest::newRow("no home") << int(NoStateFolder) << QByteArray("не найдена домашняя папка пользователя");
    QTest::newRow("foreign folder") << int(FolderOfAnotherUser)
                                    << QByteArray("папка состояния принадлежит другому пользователю");
    QTest::newRow("other") << ENOMEM << "системная ошибка " + QByteArray::number(ENOMEM);
}

void TestCp1251Texts::saveFailureTexts() {
    QFETCH(int, failure);
    QFETCH(QByteArray, reason);
    QCOMPARE(saveFailureText(failure),
             toCp1251("Не удалось сохранить состояние эмулятора ККМ: ") + toCp1251(reason.toStdString()));
}

QTEST_APPLESS_MAIN(TestCp1251Texts)
#include "test_cp1251_texts.moc"
