#include "advert_page.h"
#include "advert_row.h"
#include "cp1251.h"
#include "device_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {
const char* const edits[] = {"ed_CheckBeginFirst", "ed_CheckBeginSecond", "ed_CheckBeginThird",
                             "ed_CheckEndFirst",   "ed_CheckEndSecond",   "ed_CheckEndThird"};
const char* const lists[] = {"cb_CheckBeginFirst", "cb_CheckBeginSecond", "cb_CheckBeginThird",
                             "cb_CheckEndFirst",   "cb_CheckEndSecond",   "cb_CheckEndThird"};
} // namespace

class TestAdvert : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<AdvertPage> m_page;

    QLineEdit* edit(int row) { return m_page->findChild<QLineEdit*>(edits[row - 1]); }
    QComboBox* stretch(int row) { return m_page->findChild<QComboBox*>(lists[row - 1]); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_page = std::make_unique<AdvertPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    // Each line's centring button, through the widgets; what the write then sends.
    void centring_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("centred");
        QTest::newRow("5 characters, no stretch") << 1 << "Chleb" << 0 << QString(9, ' ') + "Chleb";
        QTest::newRow("6 characters, width") << 2 << "СКИДКИ" << 1 << "   СКИДКИ";
        QTest::newRow("15 characters, width and height") << 3 << "ABCDEFGHIJKLMNO" << 3 << "ABCDEFGHIJKL";
        QTest::newRow("empty, no stretch") << 4 << "" << 0 << QString(12, ' ');
        QTest::newRow("height is 24 wide") << 5 << "1234" << 2 << QString(10, ' ') + "1234";
        QTest::newRow("no item is 24 wide") << 6 << "123" << -1 << QString(10, ' ') + "123";
        QTest::newRow("already centred") << 1 << "         Chleb" << 0 << QString(9, ' ') + "Chleb";
        QTest::newRow("blanks and controls trimmed") << 2 << " \t AB\x01 " << 1 << "     AB";
        QTest::newRow("24 characters stay") << 3 << "123456789012345678901234" << 0 << "123456789012345678901234";
    }
    void centring() {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(int, item);
        QFETCH(QString, centred);
        edit(row)->setText(text);
        stretch(row)->setCurrentIndex(item);
        m_page->findChild<QToolButton*>(QStringLiteral("bCenter%1").arg(row))->click();
        QCOMPARE(edit(row)->text(), centred);
        m_page->writeRow(row);
        const auto write = m_device->fake.callsOf("SetRowValue").value(0);
        QCOMPARE(write.args.mid(2), QList<int>({4, row, 24}));
        QCOMPARE(write.bytes.left(24), toCp1251(centred).leftJustified(24, ' '));
        QCOMPARE(uint8_t(write.bytes[24]), uint8_t(item));
    }

    void read_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stretch");
        QTest::newRow("trailing blanks kept")
            << QByteArray("  \xD1\xCF\xC0\xD1\xC8\xC1\xCE!").leftJustified(24, ' ') + '\1'
            << "  СПАСИБО!" + QString(14, ' ') << "По ширине";
        QTest::newRow("zero byte ends the text") << QByteArray("AB\0CD", 5).leftJustified(24, ' ') + '\3' << "AB"
                                                 << "По ширине + высоте";
        QTest::newRow("stretch 7 shows none") << QByteArray(24, 'x') + '\7' << QString(24, 'x') << "Нет";
        QTest::newRow("stretch 255 shows none") << QByteArray(24, ' ') + '\xFF' << QString(24, ' ') << "Нет";
    }
    void read() {
        QFETCH(QByteArray, row);
        QFETCH(QString, text);
        QFETCH(QString, stretch);
        m_device->fake.rows[{4, 5}] = row;
        m_page->readRow(5);
        QCOMPARE(m_device->fake.callsOf("GetRowValue")[0].args.mid(2), QList<int>({4, 5, 24}));
        QCOMPARE(edit(5)->text(), text);
        QCOMPARE(this->stretch(5)->currentText(), stretch);
    }

    void writeWithoutStretchSends255() {
        edit(6)->setText("  x");
        m_page->writeRow(6);
        QCOMPARE(m_device->fake.callNames(), QStringList{"SetRowValue"});
        QCOMPARE(m_device->fake.rows[qMakePair(4, 6)], QByteArray("  x").leftJustified(24, ' ') + '\xFF');
    }

    void editsTakeOnlyWhatTheRegisterPrints() {
        QLineEdit* line = edit(1);
        QCOMPARE(line->maxLength(), 24);
        QVERIFY(QFontInfo(line->font()).fixedPitch());
        for (QChar typed : QStringLiteral("Цена№1 ✓€")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(typed));
            QApplication::sendEvent(line, &press);
        }
        QCOMPARE(line->text(), QStringLiteral("Цена№1 €"));
        QCOMPARE(stretch(1)->currentIndex(), -1);
        QCOMPARE(stretch(1)->count(), 4);
    }
};

QTEST_MAIN(TestAdvert)
#include "test_advert.moc"
