#include "device_fixture.h"
#include "grid_typing.h"
#include "sections_page.h"
#include "taxes_page.h"

#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

class TestSectionsTaxes : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<SectionsPage> m_sections;
    std::unique_ptr<TaxesPage> m_taxes;

    QComboBox* use(int row) { return m_sections->findChild<QComboBox*>(QStringLiteral("SectionSfer%1").arg(row)); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_sections = std::make_unique<SectionsPage>(m_device->link, m_device->errors);
        m_taxes = std::make_unique<TaxesPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_sections.reset();
        m_taxes.reset();
        m_device.reset();
    }

    void sectionRead_data() {
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("use");
        const QByteArray name = QByteArray("Bakaleya   ").toHex();
        QTest::newRow("services") << name + "020601" << QStringList{"Bakaleya   ", "2", "6", "1"} << "Услуги";
        QTest::newRow("2 reads as trade") << name + "000002" << QStringList{"Bakaleya   ", "0", "0", "0"} << "Торговля";
        QTest::newRow("bytes kept as numbers")
            << name + "ff0900" << QStringList{"Bakaleya   ", "255", "9", "0"} << "Торговля";
    }
    void sectionRead() {
        QFETCH(QByteArray, hex);
        QFETCH(QStringList, cells);
        QFETCH(QString, use);
        m_device->fake.rows[{7, 16}] = QByteArray::fromHex(hex);
        m_sections->grid().setCell(4, 16, "1");
        QCOMPARE(this->use(16)->currentText(), QStringLiteral("Услуги"));
        m_sections->readRow(0);
        QVERIFY(m_device->fake.calls.isEmpty());
        m_sections->readRow(16);
        QCOMPARE(m_device->fake.callsOf("GetRowValue")[0].args.mid(2), QList<int>({7, 16, 13}));
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(m_sections->grid().cell(column, 16), cells[column - 1]);
        QCOMPARE(this->use(16)->currentText(), use);
    }

    void sectionWrite_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("padded name") << QStringList{"Xleb", "3", "5", "1"}
                                     << QByteArray("Xleb       ").toHex() + "030501";
        QTest::newRow("empty codes are 0") << QStringList{"", "", "", "0"} << QByteArray(11, ' ').toHex() + "000000";
        QTest::newRow("long name cut") << QStringList{"Napitki i soki", "1", "0", "0"}
                                       << QByteArray("Napitki i s").toHex() + "010000";
    }
    void sectionWrite() {
        QFETCH(QStringList, cells);
        QFETCH(QByteArray, hex);
        for (int column = 1; column <= 4; ++column)
            m_sections->grid().setCell(column, 3, cells[column - 1]);
        m_sections->writeRow(3);
        QCOMPARE(m_device->fake.callNames(), QStringList{"SetRowValue"});
        QCOMPARE(m_device->fake.callsOf("SetRowValue")[0].args.mid(2), QList<int>({7, 3, 13}));
        QCOMPARE(m_device->fake.rows[qMakePair(7, 3)].toHex(), hex);
    }

    void userChoiceWritesTheCellAndPicksTheSection() {
        QCOMPARE(m_sections->grid().cell(4, 9), QStringLiteral("0"));
        use(9)->setCurrentIndex(1);
        emit use(9)->activated(1); // as a user's pick
        QCOMPARE(m_sections->grid().cell(4, 9), QStringLiteral("1"));
        QCOMPARE(m_sections->currentRow(), 9);
        // An emptied cell (a settings file may bring one) stands for trade.
        m_sections->grid().setCell(4, 9, "");
        QCOMPARE(m_sections->grid().cell(4, 9), QStringLiteral("0"));
        QCOMPARE(use(9)->currentIndex(), 0);
    }

    // The wheel over a field-of-use list scrolls the grid; only a list the user has focused takes it.
    void wheelOverAListScrollsUnlessFocused() {
        m_sections->resize(500, 160);
        m_sections->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_sections.get()));
        const auto turn = [](QWidget* target) {
            QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
        };
        const int current = m_sections->currentRow();
        turn(use(2));
        QCOMPARE(m_sections->grid().cell(4, 2), QStringLiteral("0"));
        QCOMPARE(use(2)->currentIndex(), 0);
        QCOMPARE(m_sections->currentRow(), current);
        QVERIFY(m_sections->grid().verticalScrollBar()->value() > 0);

        use(2)->setFocus();
        turn(use(2));
        QCOMPARE(m_sections->grid().cell(4, 2), QStringLiteral("1"));
    }

    void taxRead_data() {
        QTest::addColumn<QByteArray>("rate");
        QTest::addColumn<QString>("text");
        QTest::newRow("18.00") << QByteArray("1800") << "18.00";
        QTest::newRow("5.50") << QByteArray("0550") << "5.50";
        QTest::newRow("0.00") << QByteArray("0000") << "0.00";
    }
    void taxRead() {
        QFETCH(QByteArray, rate);
        QFETCH(QString, text);
        m_device->fake.rows[{6, 2}] = "NDS10" + QByteArray::fromHex(rate);
        m_taxes->readRow(2);
        QCOMPARE(m_device->fake.callsOf("GetRowValue")[0].args.mid(2), QList<int>({6, 2, 6}));
        QCOMPARE(m_taxes->grid().cell(1, 2), QStringLiteral("NDS10"));
        QCOMPARE(m_taxes->grid().cell(2, 2), text);
    }

    void taxWrite_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QByteArray>("hex"); // empty: refused
        QTest::newRow("18") << "NDS"
                            << "18" << QByteArray("4e44532020") + "1800";
        QTest::newRow("5.5") << "N"
                             << "5.5" << QByteArray("4e20202020") + "0550";
        QTest::newRow(".5") << "NSP 5"
                            << ".5" << QByteArray("4e53502035") + "0050";
        QTest::newRow("empty") << ""
                               << "" << QByteArray("2020202020") + "0000";
        QTest::newRow("negative") << "A"
                                  << "-5" << QByteArray();
        QTest::newRow("not a number") << "A"
                                      << "x1" << QByteArray();
        QTest::newRow("above 99.99") << "A"
                                     << "150" << QByteArray();
    }
    void taxWrite() {
        QFETCH(QString, name);
        QFETCH(QString, rate);
        QFETCH(QByteArray, hex);
        m_taxes->grid().setCell(1, 4, name);
        m_taxes->grid().setCell(2, 4, rate);
        m_taxes->writeRow(4);
        if (hex.isEmpty()) {
            QVERIFY(m_device->fake.calls.isEmpty());
            QCOMPARE(m_device->boxes.texts(),
                     QStringList{"Ошибка по месту: Tfm_Main.TaxesRowWrite\n\rТекст ошибки: Величина «" + rate +
                                 "» не может быть записана в ККМ: допустимо число от 0 до 99.99.\n\rСообщите "
                                 "разработчикам."});
        } else {
            QCOMPARE(m_device->fake.callsOf("SetRowValue")[0].args.mid(2), QList<int>({6, 4, 6}));
            QCOMPARE(m_device->fake.rows[qMakePair(6, 4)].toHex(), hex);
        }
    }

    // Zero bytes inside a name are the register's: a row read and written back unchanged goes out as it came.
    void unchangedRowsGoBackByteForByte_data() {
        QTest::addColumn<bool>("sections");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("section name ended by zeros") << true << QByteArray("Xleb\0\0\0\0\0\0\0\x03\x05\x01", 14);
        QTest::newRow("section name with a zero inside") << true << QByteArray("Ab\0Cd      \x01\x02\x00", 14);
        QTest::newRow("tax name with a zero inside") << false << QByteArray("N\0DS\x18\x00", 7);
    }
    void unchangedRowsGoBackByteForByte() {
        QFETCH(bool, sections);
        QFETCH(QByteArray, bytes);
        const int table = sections ? 7 : 6;
        TablePage& page = sections ? static_cast<TablePage&>(*m_sections) : *m_taxes;
        m_device->fake.rows[{table, 3}] = bytes;
        page.readRow(3);
        page.writeRow(3);
        QCOMPARE(m_device->fake.callsOf("SetRowValue").size(), 1);
        QCOMPARE(m_device->fake.rows[qMakePair(table, 3)].toHex(), bytes.toHex());
    }

    // Each row: keys typed one after another into an empty cell and what the editor then holds.
    void typing_data() {
        QTest::addColumn<bool>("taxes");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("kept");
        QTest::newRow("tax code 5 refused") << false << 2 << "5"
                                            << "";
        QTest::newRow("tax code 3 then 2") << false << 2 << "32"
                                           << "3";
        QTest::newRow("digits 9") << false << 3 << "9x"
                                  << "9";
        QTest::newRow("section name of 12") << false << 1 << "Bytovaya xim"
                                            << "Bytovaya xi";
        QTest::newRow("rate 1, 8") << true << 2 << "18"
                                   << "18";
        QTest::newRow("rate third digit") << true << 2 << "185"
                                          << "18.";
        QTest::newRow("rate decimals") << true << 2 << "18.505"
                                       << "18.50";
        QTest::newRow("rate leading zero") << true << 2 << "0"
                                           << "";
        QTest::newRow("rate point first") << true << 2 << ".5"
                                          << "0.5";
        QTest::newRow("rate second point") << true << 2 << "5..2"
                                           << "5.2";
        QTest::newRow("rate with a comma") << true << 2 << "5,25"
                                           << "5.25";
        QTest::newRow("rate comma first") << true << 2 << ",5"
                                          << "0.5";
        QTest::newRow("rate letters") << true << 2 << "a1b"
                                      << "1";
        QTest::newRow("tax name of 7") << true << 1 << "NDS 18%"
                                       << "NDS 1";
    }
    void typing() {
        QFETCH(bool, taxes);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(QString, kept);
        RegisterGrid& grid = taxes ? m_taxes->grid() : m_sections->grid();
        grid.show();
        QCOMPARE(typeIntoCell(grid, column, 1, keys), kept);
        QCOMPARE(grid.cell(column, 1), kept);
    }
};

QTEST_MAIN(TestSectionsTaxes)
#include "test_sections_taxes.moc"
