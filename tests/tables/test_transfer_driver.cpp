#include "device_fixture.h"
#include "transfer_driver.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>
#include <stdexcept>

namespace {

// A page whose rows answer with scripted results and remember what was asked.
class ScriptedTable : public TablePage {
public:
    ScriptedTable(RegisterLink& link, int rows)
        : m_link(link)
        , m_rows(rows) {}

    int rowCount() const override { return m_rows; }
    bool usesGoodsRange() const override { return goods; }
    void readRow(int row) override { run(QStringLiteral("read %1").arg(row), row); }
    void writeRow(int row) override { run(QStringLiteral("write %1").arg(row), row); }
    int currentRow() const override { return grid ? grid->currentRow() + 1 : 0; }
    int wholeWriteSteps() const override { return wholeSteps; }
    void writeWhole(const std::function<void()>& step) override {
        for (int line = 1; line <= wholeSteps; ++line) {
            step();
            m_link.lastResult = failing.value(line, 0);
            if (m_link.lastResult < 0)
                return;
        }
    }
    QString writeRefusal(int, int) const override { return refusal; }
    void clearRows(int first, int last) override { cleared = {first, last}; }

    QHash<int, int32_t> failing;
    int throwingRow = 0;
    // A row the page refuses and reports itself, leaving a good device result behind.
    int refusedRow = 0;
    ErrorReporter* errors = nullptr;
    bool goods = false;
    QTableWidget* grid = nullptr;
    QStringList done;
    int wholeSteps = 0;
    QString refusal;
    std::pair<int, int> cleared{0, 0};
    // Called during a row, as the message processing of a long transfer would let a click in.
    std::function<void(int)> during;

private:
    void run(const QString& what, int row) {
        if (row == throwingRow)
            throw std::runtime_error("boom");
        if (row == refusedRow) {
            errors->guard(QStringLiteral("Tfm_Main.PageRow"), [] { throw std::runtime_error("refused"); });
            return;
        }
        done << what;
        m_link.lastResult = failing.value(row, 0);
        if (during)
            during(row);
    }

    RegisterLink& m_link;
    int m_rows;
};

} // namespace

class TestTransferDriver : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<QWidget> m_window;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_main = nullptr;
    QWidget* m_tablePage = nullptr;
    QWidget* m_other = nullptr;
    QList<QWidget*> m_locked;
    QPushButton* m_stop = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_message = nullptr;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    TransferDriver* m_driver = nullptr;

    void showTablePage() { m_pages->setCurrentWidget(m_tablePage); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_device->fake.errorTexts[-3] = "\xCD\xE5\xF2 \xF1\xE2\xFF\xE7\xE8";     // "Нет связи"
        m_device->fake.errorTexts[-5] = "\xCE\xF2\xE2\xE5\xF2\xE0 \xED\xE5\xF2"; // "Ответа нет"
        m_device->link.connected = true;
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_pages = new QStackedWidget;
        m_main = new QWidget;
        m_tablePage = new QWidget;
        m_other = new QWidget;
        m_pages->addWidget(m_main);
        m_pages->addWidget(m_tablePage);
        m_pages->addWidget(m_other);
        layout->addWidget(m_pages);
        m_locked.clear();
        for (int i = 0; i < 4; ++i) {
            m_locked << new QPushButton(QString::number(i));
            layout->addWidget(m_locked.last());
        }
        m_stop = new QPushButton("stop");
        m_stop->setEnabled(false);
        m_progress = new QProgressBar;
        m_message = new QLabel;
        m_first = new QLineEdit("1");
        m_last = new QLineEdit("9999");
        for (QWidget* w :
             {static_cast<QWidget*>(m_stop), static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_message),
              static_cast<QWidget*>(m_first), static_cast<QWidget*>(m_last)})
            layout->addWidget(w);
        const TransferControls controls{m_pages, m_main, m_locked, m_stop, m_progress, m_message, m_first, m_last};
        m_driver = new TransferDriver(controls, m_device->link, m_device->errors, m_device->boxes, m_window.get());
        m_progress->setRange(0, 100);
    }
    void cleanup() {
        m_window.reset();
        m_device.reset();
    }

    void readStopsAtTheFailingRow() {
        ScriptedTable table(m_device->link, 10);
        table.failing[4] = -3;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        int maximum = -1;
        table.during = [&](int) { maximum = m_progress->maximum(); };
        m_driver->sb_ReadTableFromKKMClick();
        QCOMPARE(table.done, QStringList({"read 1", "read 2", "read 3", "read 4"}));
        QCOMPARE(maximum, 10);
        QCOMPARE(m_message->text(), QStringLiteral("ОШИБКА: Нет связи"));
        QCOMPARE(m_device->boxes.texts(), QStringList{"ОШИБКА: Нет связи"});
        QCOMPARE(m_device->boxes.shown[0].caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_progress->value(), 0);
        QVERIFY(m_device->link.connected);
        QCOMPARE(m_pages->currentWidget(), m_tablePage);
    }

    void writeGoesOnAndJudgesTheLastRow_data() {
        QTest::addColumn<int>("failingRow");
        QTest::addColumn<QString>("message");
        QTest::newRow("row 3 of 8 fails") << 3 << "ОШИБКА: Нет связи";
        QTest::newRow("last row fails") << 8 << "ОШИБКА: Нет связи";
        QTest::newRow("none fails") << 0 << "Запись данных прошла успешно.";
    }
    // A write goes on after a failing row and reports its first failure, not the last row's result.
    void writeGoesOnAndJudgesTheLastRow() {
        QFETCH(int, failingRow);
        QFETCH(QString, message);
        ScriptedTable table(m_device->link, 8);
        table.failing[failingRow] = -3;
        if (failingRow == 3)
            table.failing[5] = -4;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_driver->sb_WriteTableToKKMClick();
        QCOMPARE(table.done.size(), 8);
        QCOMPARE(table.done.last(), QStringLiteral("write 8"));
        QCOMPARE(m_message->text(), message);
    }

    void controlsAreLockedOnlyDuringATransfer() {
        ScriptedTable table(m_device->link, 2);
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        QList<bool> enabledDuring;
        QString messageDuring;
        table.during = [&](int) {
            for (QWidget* w : m_locked)
                enabledDuring << w->isEnabled();
            messageDuring = m_message->text();
        };
        m_driver->sb_ReadTableFromKKMClick();
        QVERIFY(!enabledDuring.contains(true));
        QCOMPARE(messageDuring, QStringLiteral("Идет чтение данных из ККМ, пожалуйста подождите..."));
        for (QWidget* w : m_locked)
            QVERIFY(w->isEnabled());
        QCOMPARE(m_message->text(), QStringLiteral("Чтение данных прошло успешно."));
        QVERIFY(m_device->boxes.shown.isEmpty());
    }

    // A lost register ends the transfer at once, saying how far it got; the rows that failed
    // before it do not count as done.
    void lostConnectionReturnsToTheMainPage_data() {
        QTest::addColumn<bool>("reading");
        QTest::addColumn<int>("failingBefore");
        QTest::addColumn<QString>("text");
        const QString check = QStringLiteral(" Проверьте кабель и питание ККМ.");
        QTest::newRow("read") << true << 0 << "ОШИБКА: Ответа нет (прочитано 3 из 8)." + check;
        QTest::newRow("write") << false << 0 << "ОШИБКА: Ответа нет (записано 3 из 8)." + check;
        QTest::newRow("write after a failed row") << false << 2 << "ОШИБКА: Ответа нет (записано 2 из 8)." + check;
    }
    void lostConnectionReturnsToTheMainPage() {
        QFETCH(bool, reading);
        QFETCH(int, failingBefore);
        QFETCH(QString, text);
        ScriptedTable table(m_device->link, 8);
        table.failing[4] = -5;
        if (failingBefore)
            table.failing[failingBefore] = -3;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        const auto outcome = reading ? m_driver->sb_ReadTableFromKKMClick() : m_driver->sb_WriteTableToKKMClick();
        QCOMPARE(outcome, TransferDriver::Outcome::Lost);
        QCOMPARE(table.done.size(), 4);
        QCOMPARE(m_pages->currentWidget(), m_main);
        QVERIFY(!m_device->link.connected);
        QCOMPARE(m_device->boxes.texts(), QStringList{text});
        QCOMPARE(m_message->text(), text);
    }

    void exceptionReleasesTheControlsAndIsReported() {
        ScriptedTable table(m_device->link, 10);
        table.throwingRow = 3;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_message->clear();
        m_driver->sb_WriteTableToKKMClick();
        QCOMPARE(table.done, QStringList({"write 1", "write 2"}));
        for (QWidget* w : m_locked)
            QVERIFY(w->isEnabled());
        QCOMPARE(m_progress->value(), 0);
        QCOMPARE(m_device->boxes.texts(),
                 QStringList{"Ошибка по месту: Tfm_Main.sb_WriteTableToKKMClick\n\rТекст ошибки: boom\n\r"
                             "Сообщите разработчикам."});
        // The report step was skipped.
        QCOMPARE(m_message->text(), QStringLiteral("Идет запись данных в ККМ, пожалуйста подождите..."));
    }

    void rowRefusedByItsPageIsNoSuccess_data() {
        QTest::addColumn<bool>("reading");
        QTest::addColumn<bool>("wholeTable");
        QTest::addColumn<QString>("message");
        const QString notWritten = QStringLiteral("ОШИБКА: не все данные записаны в ККМ.");
        const QString notRead = QStringLiteral("ОШИБКА: не все данные прочитаны из ККМ.");
        QTest::newRow("table write") << false << true << notWritten;
        QTest::newRow("table read") << true << true << notRead;
        QTest::newRow("row write") << false << false << notWritten;
        QTest::newRow("row read") << true << false << notRead;
    }
    void rowRefusedByItsPageIsNoSuccess() {
        QFETCH(bool, reading);
        QFETCH(bool, wholeTable);
        QFETCH(QString, message);
        ScriptedTable table(m_device->link, 4);
        QTableWidget grid(4, 1);
        grid.setCurrentCell(1, 0);
        table.grid = &grid;
        table.refusedRow = 2;
        table.errors = &m_device->errors;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        if (wholeTable)
            reading ? m_driver->sb_ReadTableFromKKMClick() : m_driver->sb_WriteTableToKKMClick();
        else
            reading ? m_driver->LoadStringClick() : m_driver->SaveStringClick();
        QCOMPARE(m_device->link.lastResult, 0);
        QCOMPARE(m_message->text(), message);
        // The page's own box says what failed; the driver adds none.
        QCOMPARE(m_device->boxes.shown.size(), 1);
        QVERIFY(m_device->boxes.texts()[0].contains("Tfm_Main.PageRow"));
        // The next transfer without a refusal ends as a success again.
        table.refusedRow = 0;
        m_driver->sb_WriteTableToKKMClick();
        QCOMPARE(m_message->text(), QStringLiteral("Запись данных прошла успешно."));
    }

    // A page without a table (the test panel) transfers nothing, and says so whatever came before.
    void pageWithoutTableSaysNothingWasTransferred_data() {
        QTest::addColumn<int>("lastResult");
        QTest::newRow("after success") << 0;
        QTest::newRow("after failure") << -3;
    }
    void pageWithoutTableSaysNothingWasTransferred() {
        QFETCH(int, lastResult);
        m_pages->setCurrentWidget(m_other);
        m_device->link.lastResult = lastResult;
        const int calls = int(m_device->fake.calls.size());
        QCOMPARE(m_driver->sb_WriteTableToKKMClick(), TransferDriver::Outcome::Failed);
        QCOMPARE(m_message->text(), QStringLiteral("На этой странице нет таблицы ККМ: ничего не передано."));
        QCOMPARE(int(m_device->fake.calls.size()), calls);
    }

    void goodsRange_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("done");
        QTest::addColumn<bool>("refused");
        QTest::newRow("three") << "5"
                               << "7" << QStringList{"read 5", "read 6", "read 7"} << false;
        QTest::newRow("one") << "9999"
                             << "9999" << QStringList{"read 9999"} << false;
        QTest::newRow("empty 10 to 9") << "10"
                                       << "9" << QStringList{} << false;
        QTest::newRow("backwards 10 to 5") << "10"
                                           << "5" << QStringList{} << true;
        QTest::newRow("zero") << "0"
                              << "3" << QStringList{} << true;
        QTest::newRow("past the end") << "1"
                                      << "10000" << QStringList{} << true;
        QTest::newRow("not a number") << "1"
                                      << "x" << QStringList{} << true;
        QTest::newRow("empty text") << ""
                                    << "5" << QStringList{} << true;
    }
    void goodsRange() {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QStringList, done);
        QFETCH(bool, refused);
        ScriptedTable table(m_device->link, 0);
        table.goods = true;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_first->setText(first);
        m_last->setText(last);
        m_message->setText("before");
        m_driver->sb_ReadTableFromKKMClick();
        QCOMPARE(table.done, done);
        QCOMPARE(m_device->boxes.shown.size(), refused ? 1 : 0);
        QCOMPARE(m_message->text(),
                 refused ? QStringLiteral("before") : QStringLiteral("Чтение данных прошло успешно."));
        for (QWidget* w : m_locked)
            QVERIFY(w->isEnabled());
        // An empty range must not leave the bar in its busy animation.
        QCOMPARE(m_progress->maximum(), 100);
    }

    // While a transfer runs, a single-row command (from the row popup) is ignored: it would
    // change the result that the running loop tests.
    void noRowCommandInsideATransfer() {
        ScriptedTable table(m_device->link, 4);
        QTableWidget grid(4, 1);
        grid.setCurrentCell(0, 0);
        table.grid = &grid;
        table.failing[4] = -3;
        table.during = [&](int row) {
            QVERIFY(m_driver->busy());
            if (row == 2)
                m_driver->SaveStringClick();
        };
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_driver->sb_ReadTableFromKKMClick();
        QCOMPARE(table.done, QStringList({"read 1", "read 2", "read 3", "read 4"}));
        QVERIFY(!m_driver->busy());
    }

    void stopPressedBeforeAGoodsTransfer() {
        ScriptedTable table(m_device->link, 0);
        table.goods = true;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_driver->sb_StopReadingClick();
        QCOMPARE(m_driver->sb_WriteTableToKKMClick(), TransferDriver::Outcome::Stopped);
        QVERIFY(table.done.isEmpty());
        QCOMPARE(m_message->text(), QStringLiteral("Прервано: записано 0 из 9999."));
        QVERIFY(!m_device->link.stopRequested);
        QVERIFY(!m_stop->isEnabled());
    }

    // A real click waits in the event queue while a record is on the wire: it must be seen before
    // the next record starts, not after it.
    // A stopped transfer says how far it got, and a read empties the records it did not reach.
    void stopDuringAGoodsTransferEndsItBetweenRecords_data() {
        QTest::addColumn<bool>("queued");
        QTest::addColumn<bool>("reading");
        QTest::addColumn<QString>("text");
        QTest::newRow("handled at once") << false << true << "Прервано: прочитано 3 из 100.";
        QTest::newRow("waiting in the event queue") << true << true << "Прервано: прочитано 3 из 100.";
        QTest::newRow("write") << false << false << "Прервано: записано 3 из 100.";
    }
    void stopDuringAGoodsTransferEndsItBetweenRecords() {
        QFETCH(bool, queued);
        QFETCH(bool, reading);
        QFETCH(QString, text);
        ScriptedTable table(m_device->link, 0);
        table.goods = true;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_first->setText("1");
        m_last->setText("100");
        bool stopEnabled = false;
        table.during = [&](int row) {
            stopEnabled = m_stop->isEnabled();
            if (row != 3)
                return;
            if (queued)
                QMetaObject::invokeMethod(
                    m_stop, [this] { m_driver->sb_StopReadingClick(); }, Qt::QueuedConnection);
            else
                m_driver->sb_StopReadingClick();
        };
        const auto outcome = reading ? m_driver->sb_ReadTableFromKKMClick() : m_driver->sb_WriteTableToKKMClick();
        QCOMPARE(outcome, TransferDriver::Outcome::Stopped);
        QVERIFY(stopEnabled);
        QCOMPARE(table.done.size(), 3);
        QVERIFY(!m_device->link.stopRequested);
        QCOMPARE(m_message->text(), text);
        QCOMPARE(table.cleared, reading ? std::pair(4, 100) : std::pair(0, 0));
        QVERIFY(m_device->boxes.shown.isEmpty());
    }

    // A row refused on the window's side is judged by itself, not by the error an earlier transfer
    // left as the last result.
    void refusedRowDoesNotTakeAnEarlierError() {
        ScriptedTable table(m_device->link, 2);
        table.refusedRow = 1;
        table.errors = &m_device->errors;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_device->link.lastResult = -3;
        QCOMPARE(m_driver->sb_WriteTableToKKMClick(), TransferDriver::Outcome::Failed);
        QCOMPARE(table.done, QStringList{"write 2"});
        QCOMPARE(m_message->text(), QStringLiteral("ОШИБКА: не все данные записаны в ККМ."));
        QCOMPARE(m_device->boxes.shown.size(), 1);
    }

    // A page's refusal stops a write before any row: one box, nothing sent.
    void pageRefusesAWrite() {
        ScriptedTable table(m_device->link, 8);
        QTableWidget grid(8, 3);
        grid.setCurrentCell(2, 1);
        table.grid = &grid;
        table.refusal = QStringLiteral("Не заданы права доступа операторов: 1, 2.");
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        QCOMPARE(m_driver->sb_WriteTableToKKMClick(), TransferDriver::Outcome::Failed);
        m_driver->SaveStringClick();
        QVERIFY(table.done.isEmpty());
        QCOMPARE(m_device->boxes.texts(), QStringList(2, table.refusal));
        QCOMPARE(m_message->text(), "ОШИБКА: " + table.refusal);
    }

    void lostConnectionDuringALogoSaysItIsIncomplete() {
        ScriptedTable table(m_device->link, 0);
        table.wholeSteps = 40;
        table.failing[20] = -5;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        QCOMPARE(m_driver->sb_WriteTableToKKMClick(), TransferDriver::Outcome::Lost);
        QCOMPARE(m_message->text(), QStringLiteral("ОШИБКА: Ответа нет (записано 19 из 40). Логотип в ККМ записан не "
                                                   "полностью: запишите его снова. Проверьте кабель и питание ККМ."));
    }

    void fixedTablesIgnoreTheStopFlagButClearIt() {
        ScriptedTable table(m_device->link, 3);
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_driver->sb_StopReadingClick();
        m_driver->sb_ReadTableFromKKMClick();
        QCOMPARE(table.done.size(), 3);
        QVERIFY(!m_device->link.stopRequested);
    }

    void singleRowOnAGridPage() {
        ScriptedTable table(m_device->link, 16);
        QTableWidget grid(16, 3);
        table.grid = &grid;
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        grid.setCurrentCell(4, 1);
        m_progress->setMaximum(50);
        m_progress->setValue(7);
        m_driver->LoadStringClick();
        m_driver->SaveStringClick();
        QCOMPARE(table.done, QStringList({"read 5", "write 5"}));
        QCOMPARE(m_progress->value(), 7);
        QCOMPARE(m_message->text(), QStringLiteral("Запись данных прошла успешно."));
    }

    void singleRowOnAPageWithoutRows() {
        ScriptedTable table(m_device->link, 10);
        m_driver->addPage(m_tablePage, &table);
        showTablePage();
        m_device->link.lastResult = 0;
        m_driver->SaveStringClick();
        QVERIFY(table.done.isEmpty());
        QCOMPARE(m_message->text(), QStringLiteral("Строка таблицы не выбрана: в ККМ ничего не передано."));
    }

    void rowPopupOnlyOverRows() {
        ScriptedTable table(m_device->link, 16);
        auto* grid = new QTableWidget(16, 3, m_tablePage);
        grid->resize(400, 600);
        table.grid = grid;
        m_driver->addPage(m_tablePage, &table);
        m_driver->attachRowPopup(grid);
        showTablePage();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        grid->setCurrentCell(0, 2);

        const QPoint row5 = grid->visualRect(grid->model()->index(4, 0)).center();
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, row5);
        QCOMPARE(grid->currentRow(), 4);
        QCOMPARE(grid->currentColumn(), 2);
        QVERIFY(m_driver->rowPopup()->isVisible());
        m_driver->rowPopup()->hide();

        grid->setRowCount(2);
        QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, QPoint(5, grid->viewport()->height() - 5));
        QVERIFY(!m_driver->rowPopup()->isVisible());
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row5);
        QVERIFY(!m_driver->rowPopup()->isVisible());

        const auto actions = m_driver->rowPopup()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("Прочитать строку"));
        QCOMPARE(actions[1]->text(), QStringLiteral("Записать строку"));
        grid->setCurrentCell(1, 0);
        actions[1]->trigger();
        QCOMPARE(table.done, QStringList{"write 2"});
    }
};

QTEST_MAIN(TestTransferDriver)
#include "test_transfer_driver.moc"
