#include "device_fixture.h"
#include "grid_typing.h"
#include "operators_page.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTest>

class TestOperators : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<OperatorsPage> m_page;

    QListWidget* rights(int row) {
        return m_page->findChild<QListWidget*>(QStringLiteral("OperatorRights%1").arg(row));
    }
    QList<bool> ticks(int row) {
        QList<bool> all;
        for (int i = 0; i < 5; ++i)
            all << (rights(row)->item(i)->checkState() == Qt::Checked);
        return all;
    }
    static QByteArray row(const QByteArray& details, const QByteArray& service, int mask) {
        return details.leftJustified(14, ' ') + QByteArray::fromHex(service) + char(mask);
    }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_device->fake.results["GetRowValue"] = 18;
        m_device->fake.results["SetRowValue"] = 18;
        m_page = std::make_unique<OperatorsPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void readShowsDetailsMaskAndTicks() {
        m_device->fake.rows[{9, 2}] = row("Kassir", "000003", 0xE5);
        for (QListWidgetItem* item : rights(2)->findItems("*", Qt::MatchWildcard))
            item->setCheckState(Qt::Checked);
        m_page->readRow(2);
        QCOMPARE(m_page->grid().cell(1, 2), QStringLiteral("Kassir        "));
        QCOMPARE(m_page->grid().cell(2, 2), QStringLiteral("229"));
        QCOMPARE(ticks(2), QList<bool>({true, false, true, false, false}));
        QCOMPARE(rights(2)->item(0)->text(), QStringLiteral("s  (продажа)"));
        // The program's ticks are not the user's: the mask keeps its bits 5-7.
        QCOMPARE(m_page->grid().cell(2, 2), QStringLiteral("229"));
    }

    void userTickRebuildsTheMaskAndPicksTheOperator() {
        m_device->fake.rows[{9, 6}] = row("Stazher", "000008", 0xE1);
        m_page->readRow(6);
        m_page->grid().setCurrentCell(0, 1);
        rights(6)->item(3)->setCheckState(Qt::Checked); // as a click would
        QCOMPARE(m_page->grid().cell(2, 6), QStringLiteral("9"));
        QCOMPARE(m_page->currentRow(), 6);

        m_page->writeRow(m_page->currentRow());
        QCOMPARE(m_device->fake.callsOf("SetRowValue").size(), 1);
        QCOMPARE(m_device->fake.callsOf("SetRowValue")[0].args.mid(2), QList<int>({9, 6, 17}));
        QCOMPARE(m_device->fake.rows[qMakePair(9, 6)], row("Stazher", "000008", 9));
        for (int i = 0; i < 5; ++i)
            rights(6)->item(i)->setCheckState(Qt::Unchecked);
        QCOMPARE(m_page->grid().cell(2, 6), QStringLiteral("0"));
    }

    // Rights never read nor ticked are the user's omission: named once, not a developer's error.
    void emptyRightsRefuseTheWrite() {
        QCOMPARE(m_page->currentRow(), 1); // a fresh grid has a row for the single-row commands
        QCOMPARE(m_page->writeRefusal(1, 8), QStringLiteral("Не заданы права доступа операторов: 1, 2, 3, 4, 5, 6, 7, "
                                                            "8. Прочитайте таблицу из ККМ или отметьте права."));
        m_device->fake.rows[{9, 2}] = row("Kassir", "000003", 0);
        m_page->readRow(2);
        rights(5)->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(m_page->writeRefusal(2, 2), QString());
        QCOMPARE(m_page->writeRefusal(1, 8).section('.', 0, 0),
                 QStringLiteral("Не заданы права доступа операторов: 1, 3, 4, 6, 7, 8"));
    }

    void zeroBytesInDetailsGoBackAsRead() {
        const QByteArray ended("Ivan\0\0\0\0\0\0\0\0\0\0\x01\x02\x03\x1f", 18);
        const QByteArray inside("Ab\0Cd         \x01\x02\x03\x1f", 18);
        m_device->fake.rows[{9, 1}] = ended;
        m_device->fake.rows[{9, 2}] = inside;
        m_page->readRow(1);
        m_page->readRow(2);
        m_page->writeRow(1);
        m_page->writeRow(2);
        QCOMPARE(m_device->fake.callsOf("SetRowValue").size(), 2);
        QCOMPARE(m_device->fake.rows[qMakePair(9, 1)].toHex(), ended.toHex());
        QCOMPARE(m_device->fake.rows[qMakePair(9, 2)].toHex(), inside.toHex());
    }

    void writeKeepsTheServiceBytesAsRead() {
        m_device->fake.rows[{9, 1}] = row("Admin", "123456", 31);
        m_page->readRow(1);
        m_device->fake.rows[{9, 1}] = row("Admin", "abcdef", 31); // changed in the register meanwhile
        m_page->grid().setCell(1, 1, "ABC");
        m_page->grid().setCell(2, 1, "300");
        m_page->writeRow(1);
        m_page->writeRow(1);
        QCOMPARE(m_device->fake.rows[qMakePair(9, 1)], row("ABC", "abcdef", 300 & 0xFF));
        QCOMPARE(m_device->fake.callNames(),
                 QStringList({"GetRowValue", "GetRowValue", "SetRowValue", "GetRowValue", "SetRowValue"}));
    }

    // A call is repeated until it answers more than 17; a failure after three leaves it negative.
    void retryRule_data() {
        QTest::addColumn<QList<int32_t>>("results");
        QTest::addColumn<int>("calls");
        QTest::addColumn<bool>("shown");
        QTest::newRow("18 at once") << QList<int32_t>{18} << 1 << true;
        QTest::newRow("0 three times") << QList<int32_t>{0, 0, 0} << 3 << true;
        QTest::newRow("0, then 18") << QList<int32_t>{0, 18} << 2 << true;
        QTest::newRow("0, 0, then a failure") << QList<int32_t>{0, 0, -3} << 3 << false;
    }
    void retryRule() {
        QFETCH(QList<int32_t>, results);
        QFETCH(int, calls);
        QFETCH(bool, shown);
        m_device->fake.rows[{9, 4}] = row("Kassir 2", "000004", 7);
        m_device->fake.queued["GetRowValue"] = results;
        m_page->readRow(4);
        QCOMPARE(m_device->fake.callsOf("GetRowValue").size(), calls);
        QCOMPARE(m_page->grid().cell(2, 4) == "7", shown);
    }

    void badMaskIsReportedAndNotWritten() {
        m_page->grid().setCell(2, 3, "");
        m_page->writeRow(3);
        QVERIFY(m_device->fake.callsOf("SetRowValue").isEmpty());
        QVERIFY(m_device->boxes.texts().value(0).startsWith("Ошибка по месту: Tfm_Main.OperatorsRowWrite\n\r"));
    }

    void detailsAreCutTo14WhileTyping() {
        m_page->show();
        QCOMPARE(typeIntoCell(m_page->grid(), 1, 2, "Cashier number 2"), QStringLiteral("Cashier number"));
        QCOMPARE(m_page->grid().cell(1, 2), QStringLiteral("Cashier number"));
    }

    void scrollingKeepsEachListOverItsRow() {
        m_page->resize(500, 250);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        RegisterGrid& grid = m_page->grid();
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        for (int row = 1; row <= 8; ++row) {
            const QRect cell = grid.visualItemRect(grid.item(row - 1, 2));
            const bool inView = grid.viewport()->rect().intersects(cell);
            QCOMPARE(rights(row)->isVisible() && rights(row)->geometry().intersects(grid.viewport()->rect()), inView);
            if (inView)
                QCOMPARE(rights(row)->geometry().center().y(), cell.center().y());
        }
        QVERIFY(!rights(1)->geometry().intersects(grid.viewport()->rect()));
    }
};

QTEST_MAIN(TestOperators)
#include "test_operators.moc"
