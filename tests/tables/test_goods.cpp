#include "device_fixture.h"
#include "goods_filters.h"
#include "goods_model.h"
#include "goods_page.h"
#include "goods_view.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

class TestGoods : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<GoodsPage> m_page;

    GoodsModel& model() { return m_page->model(); }
    QStringList row(int record) {
        QStringList cells;
        for (int column = 1; column < GoodsModel::ColumnCount; ++column)
            cells << model().cell(record, column);
        return cells;
    }
    void fill(int record, const QStringList& cells) {
        for (int column = 1; column <= cells.size(); ++column)
            model().setCell(record, column, cells[column - 1]);
    }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_device->link.kkmAddr = 2;
        m_device->link.pcAddr = 1;
        m_page = std::make_unique<GoodsPage>(m_device->link, m_device->errors);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    // The editor's text before a change, after it, and what the editor keeps: the whole text is judged.
    void cellFilters_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("name of 25") << 1 << QString(24, QChar(u'Ж')) << QString(25, QChar(u'Ж'))
                                    << QString(24, QChar(u'Ж'));
        QTest::newRow("name without separator") << 1 << ""
                                                << "Хлеб;белый"
                                                << "Хлеббелый";
        QTest::newRow("name outside the code page") << 1 << "Чай"
                                                    << "Чай 漢"
                                                    << "Чай ";
        QTest::newRow("barcode letter") << 2 << "46"
                                        << "46a"
                                        << "46";
        QTest::newRow("barcode 14th digit") << 2 << "1234567890123"
                                            << "12345678901234"
                                            << "1234567890123";
        QTest::newRow("section 16") << 3 << "1"
                                    << "16"
                                    << "16";
        QTest::newRow("section 17") << 3 << "1"
                                    << "17"
                                    << "1";
        QTest::newRow("section 7 typed inside 16") << 3 << "16"
                                                   << "176"
                                                   << "16";
        QTest::newRow("section pasted huge") << 3 << ""
                                             << "99999999999999999999"
                                             << "";
        QTest::newRow("section letters") << 3 << "1"
                                         << "1a"
                                         << "1";
        QTest::newRow("price point first") << 4 << ""
                                           << "."
                                           << "0.";
        QTest::newRow("price third decimal") << 4 << "1.23"
                                             << "1.234"
                                             << "1.23";
        QTest::newRow("price second point") << 4 << "0.5"
                                            << "0.5."
                                            << "0.5";
        QTest::newRow("price eighth integer digit") << 4 << "1234567"
                                                    << "12345678"
                                                    << "1234567";
        QTest::newRow("price point moved into eight digits") << 4 << "1234567.12"
                                                             << "12345678.12"
                                                             << "1234567.12";
        QTest::newRow("price seven and decimals") << 4 << "1234567.8"
                                                  << "1234567.89"
                                                  << "1234567.89";
        QTest::newRow("price comma typed") << 4 << "6"
                                           << "6,"
                                           << "6.";
        QTest::newRow("price comma pasted") << 4 << ""
                                            << ",75"
                                            << "0.75";
        QTest::newRow("emptied") << 4 << "5"
                                 << ""
                                 << "";
        QTest::newRow("other column") << 6 << ""
                                      << "x;y"
                                      << "x;y";
    }
    void cellFilters() {
        QFETCH(int, column);
        QFETCH(QString, previous);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(filterGoodsCell(column, typed, previous), kept);
    }

    void rangeFilter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("cleared") << ""
                                 << "1";
        QTest::newRow("blank") << "  "
                               << "1";
        QTest::newRow("zero") << "0"
                              << "1";
        QTest::newRow("letter at the end") << "12a"
                                           << "12";
        QTest::newRow("fifth character") << "99991"
                                         << "9999";
        QTest::newRow("lone letter") << "a"
                                     << "1";
        QTest::newRow("several zeros pass") << "00"
                                            << "00";
        QTest::newRow("plain") << "250"
                               << "250";
    }
    void rangeFilter() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(filterGoodsRange(typed), kept);
    }

    void nameColumnTakesTheSpareWidth() {
        GoodsView& view = m_page->view();
        m_page->resize(1400, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        QHeaderView* header = view.horizontalHeader();
        QCOMPARE(header->length(), view.viewport()->width());
        m_page->resize(300, 400);
        QCoreApplication::processEvents();
        QCOMPARE(header->sectionSize(GoodsModel::NameColumn), 167);
    }

    // Only a left click picks a cell; Home stops before the fixed number column.
    void onlyTheLeftButtonAndNeverColumnZero() {
        GoodsView& view = m_page->view();
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        view.setCurrentIndex(model().index(2, GoodsModel::PriceColumn));
        const QPoint fractional = view.visualRect(model().index(3, GoodsModel::FractionalColumn)).center();
        QTest::mouseClick(view.viewport(), Qt::MiddleButton, {}, fractional);
        QCOMPARE(view.currentIndex(), model().index(2, GoodsModel::PriceColumn));
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.currentIndex().column(), int(GoodsModel::NameColumn));
    }

    void gridIsSetUp() {
        const GoodsView& view = m_page->view();
        QCOMPARE(view.objectName(), QStringLiteral("Goods"));
        QCOMPARE(model().rowCount(), 9999);
        QCOMPARE(model().columnCount(), 8);
        const int widths[] = {40, 167, 90, 40, 60, 50, 60, 60};
        const char* headers[] = {"Товар", "Наименование", "Штрих-код", "Отдел",
                                 "Цена",  "Дробное",      "Продажи",   "Возвраты"};
        // The widths are the least; a column is as wide as its header and widest text need.
        const char* widest[] = {"9999",       "",    "0000000000000", "16",
                                "0000000.00", "НЕТ", "0000000000.00", "0000000000.00"};
        for (int column = 0; column < 8; ++column) {
            const int width = view.horizontalHeader()->sectionSize(column);
            QVERIFY(width >= widths[column]);
            QVERIFY2(width >
                         view.horizontalHeader()->fontMetrics().horizontalAdvance(QString::fromUtf8(headers[column])),
                     headers[column]);
            QVERIFY2(width > view.fontMetrics().horizontalAdvance(QString::fromUtf8(widest[column])), headers[column]);
            QCOMPARE(model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                     QString::fromUtf8(headers[column]));
        }
        QCOMPARE(model().data(model().index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1"));
        QCOMPARE(model().data(model().index(9998, 0), Qt::DisplayRole).toString(), QStringLiteral("9999"));
        QVERIFY(!(model().flags(model().index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!(model().flags(model().index(0, 6)) & Qt::ItemIsEditable));
        QVERIFY(model().flags(model().index(0, 4)) & Qt::ItemIsEditable);
        QVERIFY(!model().fractional(1) && !model().fractional(9999));
        QCOMPARE(m_page->currentRow(), 1);
    }

    void readRecord_data() {
        QTest::addColumn<QByteArray>("fractional");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("flag");
        QTest::newRow("one") << QByteArray("1") << "ДА" << true;
        QTest::newRow("zero") << QByteArray("0") << "НЕТ" << false;
        QTest::newRow("empty") << QByteArray("") << "НЕТ" << false;
        QTest::newRow("one with blank") << QByteArray("1 ") << "НЕТ" << false;
    }
    void readRecord() {
        QFETCH(QByteArray, fractional);
        QFETCH(QString, shown);
        QFETCH(bool, flag);
        m_device->fake.goods[7] = {"\xD5\xEB\xE5\xE1 ", "4601234567890", "3", "25.50", fractional, "12.000", " 1.5"};
        model().setFractional(7, !flag);
        m_page->GoodsRowRead(7);
        QCOMPARE(row(7), QStringList({"Хлеб ", "4601234567890", "3", "25.50", shown, "12.000", " 1.5"}));
        QCOMPARE(model().fractional(7), flag);
        QCOMPARE(m_device->fake.callsOf("GetPLU")[0].args, QList<int>({2, 1, 7}));
    }

    void failingReadLeavesTheRowAsItWas() {
        fill(3, {"old", "1", "2", "3.00", "ДА", "1", "2"});
        model().setFractional(3, true);
        m_device->fake.goods[3] = {"new", "", "", "", "0", "", ""};
        m_device->fake.queued["GetPLU"] = {-3, -3, -3};
        m_page->GoodsRowRead(3);
        QCOMPARE(m_device->fake.callsOf("GetPLU").size(), 3);
        QCOMPARE(m_device->link.lastResult, -3);
        QCOMPARE(row(3), QStringList({"old", "1", "2", "3.00", "ДА", "1", "2"}));
        QVERIFY(model().fractional(3));
    }

    void writeRecord_data() {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("priceAfter");
        QTest::newRow("empty row") << QStringList{"", "", "", "", "", "", ""} << false
                                   << QByteArray("|||.00|0|0.00|0.00") << ".00";
        QTest::newRow("whole price") << QStringList{"Соль", "46", "2", "12", "НЕТ", "5.00", "1.00"} << true
                                     << QByteArray("\xD1\xEE\xEB\xFC|46|2|12.00|1|0.00|0.00") << "12.00";
        QTest::newRow("price with point") << QStringList{"A", "", "1", "12.5", "ДА", "", ""} << false
                                          << QByteArray("A||1|12.5|0|0.00|0.00") << "12.5";
    }
    void writeRecord() {
        QFETCH(QStringList, cells);
        QFETCH(bool, flag);
        QFETCH(QByteArray, sent);
        QFETCH(QString, priceAfter);
        fill(12, cells);
        model().setFractional(12, flag);
        m_page->GoodsRowWrite(12);
        const auto calls = m_device->fake.callsOf("SetPLU");
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].args, QList<int>({2, 1, 12}));
        QCOMPARE(calls[0].bytes, sent);
        QCOMPARE(model().cell(12, GoodsModel::PriceColumn), priceAfter);
    }

    void writeTriesFiveTimes() {
        m_device->fake.results["SetPLU"] = -3;
        m_page->GoodsRowWrite(1);
        QCOMPARE(m_device->fake.callsOf("SetPLU").size(), 5);
        QCOMPARE(m_device->link.lastResult, -3);
        m_device->fake.calls.clear();
        m_device->fake.results.clear();
        m_device->fake.queued["SetPLU"] = {-3, -3, -3, -3};
        m_page->GoodsRowWrite(1);
        QCOMPARE(m_device->fake.callsOf("SetPLU").size(), 5);
        QCOMPARE(m_device->link.lastResult, 0);
    }

    void fractionalToggle() {
        GoodsView& view = m_page->view();
        view.resize(700, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        const QModelIndex start = model().index(1, GoodsModel::PriceColumn);
        view.setCurrentIndex(start);
        const QPoint fractionalCell = view.visualRect(model().index(1, GoodsModel::FractionalColumn)).center();

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, fractionalCell);
        QCOMPARE(model().cell(2, GoodsModel::FractionalColumn), QStringLiteral("ДА"));
        QVERIFY(model().fractional(2));
        QCOMPARE(view.currentIndex(), start);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, fractionalCell);
        QCOMPARE(model().cell(2, GoodsModel::FractionalColumn), QStringLiteral("НЕТ"));
        QVERIFY(!model().fractional(2));

        // The keyboard tries the cell too, and the selection stays where it was.
        view.setFocus();
        QTest::keyClick(view.viewport(), Qt::Key_Escape);
        view.setCurrentIndex(start);
        QTest::keyClick(&view, Qt::Key_Right);
        QCOMPARE(model().cell(2, GoodsModel::FractionalColumn), QStringLiteral("ДА"));
        QCOMPARE(view.currentIndex(), start);

        // Sales never take the selection and change nothing.
        const QPoint sales = view.visualRect(model().index(1, GoodsModel::SalesColumn)).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, sales);
        QCOMPARE(view.currentIndex(), start);
        QVERIFY(model().cell(2, GoodsModel::SalesColumn).isEmpty());
    }

    void editorFiltersAsYouType() {
        GoodsView& view = m_page->view();
        view.resize(700, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        const QModelIndex section = model().index(4, GoodsModel::SectionColumn);
        view.setFocus();
        view.setCurrentIndex(section); // the editor opens on the current cell
        QLineEdit* editor = nullptr;
        for (QLineEdit* line : view.findChildren<QLineEdit*>()) {
            if (line->isVisible())
                editor = line;
        }
        QVERIFY(editor);
        QTest::keyClicks(editor, "1x7");
        QCOMPARE(editor->text(), QStringLiteral("1"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(model().cell(5, GoodsModel::SectionColumn), QStringLiteral("1"));
    }

    // A technician types a comma: the price is 6.50, not 650.
    void priceTypedWithAComma() {
        GoodsView& view = m_page->view();
        view.resize(700, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        view.setFocus();
        view.setCurrentIndex(model().index(6, GoodsModel::PriceColumn));
        QLineEdit* editor = nullptr;
        for (QLineEdit* line : view.findChildren<QLineEdit*>()) {
            if (line->isVisible())
                editor = line;
        }
        QVERIFY(editor);
        editor->clear();
        QTest::keyClicks(editor, "6,50");
        QCOMPARE(editor->text(), QStringLiteral("6.50"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(model().cell(7, GoodsModel::PriceColumn), QStringLiteral("6.50"));
    }

    void aReadRefreshesAnOpenEditor() {
        GoodsView& view = m_page->view();
        view.resize(700, 400);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        view.setFocus();
        view.setCurrentIndex(model().index(2, GoodsModel::NameColumn));
        QLineEdit* editor = nullptr;
        for (QLineEdit* line : view.findChildren<QLineEdit*>()) {
            if (line->isVisible())
                editor = line;
        }
        QVERIFY(editor);
        m_device->fake.goods[3] = {"\xD1\xEE\xEB\xFC", "", "1", "2.00", "0", "0.00", "0.00"};
        m_page->GoodsRowRead(3);
        // Otherwise the editor would write its stale text over the record when it closes.
        QCOMPARE(editor->text(), QStringLiteral("Соль"));
        view.setCurrentIndex(model().index(5, GoodsModel::NameColumn));
        QTRY_COMPARE(model().cell(3, GoodsModel::NameColumn), QStringLiteral("Соль"));
    }
};

QTEST_MAIN(TestGoods)
#include "test_goods.moc"
