#include "cp1251.h"
#include "device_fixture.h"
#include "test_panel_page.h"

#include <limits>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestTestPanel : public QObject {
    Q_OBJECT

    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<TestPanelPage> m_page;
    QStringList m_writes; // the outputs in the order they were written

    FakeDevice& fake() { return m_device->fake; }
    template <typename T> T* at(const char* name) { return m_page->findChild<T*>(name); }
    // The result line and the memo, as "line|memo".
    QString shown() {
        return at<QLineEdit>("ed_Testin")->text() + '|' + at<QPlainTextEdit>("MemoTestOut")->toPlainText();
    }
    void run(const char* radio, const QString& number = "0") {
        at<QRadioButton>(radio)->click();
        at<QLineEdit>("ed_Testout")->setText(number);
        at<QPushButton>("b_startTest")->click();
    }
    QString reported(const QString& error) { return errorReportText("Tfm_Main.b_startTestClick", error); }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_device->link.kkmAddr = 2;
        m_device->link.pcAddr = 1;
        m_device->link.connected = true;
        m_device->link.lastResult = 7;
        m_page = std::make_unique<TestPanelPage>(m_device->link, m_device->errors, m_device->boxes);
        m_writes.clear();
        connect(at<QLineEdit>("ed_Testin"), &QLineEdit::textChanged, this, [this] { m_writes << "line"; });
        connect(at<QPlainTextEdit>("MemoTestOut"), &QPlainTextEdit::textChanged, this, [this] { m_writes << "memo"; });
    }
    // Whatever a test ran, failed or not, left the link's last result and connection alone.
    void cleanup() {
        const auto [last, connected] = std::pair(m_device->link.lastResult, m_device->link.connected);
        m_page.reset();
        m_device.reset();
        QCOMPARE(last, 7);
        QVERIFY(connected);
    }

    void queries_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QList<int>>("args");
        QTest::addColumn<int>("r");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("writes");
        const QString dump = "02 05 00 00 00 01 14 ";
        QTest::newRow("count") << "rb_Reccount"
                               << "GetJRecordsCount" << QList<int>{2, 1} << 0 << "10|02 05 00 00 00 "
                               << "line memo";
        QTest::newRow("record") << "rb_GetRec"
                                << "GetJRecord" << QList<int>{2, 1, 17} << 2 << dump + '|' + dump << "memo line";
        QTest::newRow("next") << "rb_GetRecNext"
                              << "GetJRecordNext" << QList<int>{2, 1} << 2 << dump + '|' + dump << "memo line";
        QTest::newRow("occupied") << "rb_FindNEmpty"
                                  << "NEmptyFind" << QList<int>{2, 1} << 1 << "02 05 00 00 00 01 |02 05 00 00 00 01 "
                                  << "memo line";
        QTest::newRow("stock") << "rb_GoodsRest"
                               << "GetGoodsRest" << QList<int>{2, 1, 17} << 2 << dump + '|' + dump << "memo line";
    }
    void queries() {
        QFETCH(QString, radio);
        QFETCH(QString, function);
        QFETCH(int, r);
        fake().results[function] = r;
        fake().replies[function] = QByteArray::fromHex("02050000000114ff");
        fake().queryValue = 10;
        run(qPrintable(radio), " 17");
        QCOMPARE(fake().callNames(), QStringList{function});
        QTEST(fake().calls[0].args, "args");
        QTEST(shown(), "expected");
        QTEST(m_writes.join(' '), "writes");
        QVERIFY(m_device->boxes.shown.isEmpty());
    }

    void successOnTheThirdCall() {
        fake().queued["GetJRecordNext"] = {-5, -23, 0};
        fake().replies["GetJRecordNext"] = QByteArray::fromHex("03010000ff");
        run("rb_GetRecNext");
        QCOMPARE(fake().callNames(), QStringList(3, "GetJRecordNext"));
        QCOMPARE(shown(), "03 01 00 00 FF |03 01 00 00 FF ");
        QVERIFY(m_device->boxes.shown.isEmpty());
    }

    // The outputs keep what the earlier query showed; the box tells the last call's error.
    void threeFailures() {
        fake().replies["GetJRecord"] = QByteArray::fromHex("0203000000");
        fake().queued["GetJRecord"] = {0, -5, -5, -22};
        fake().errorTexts[-22] = toCp1251(QStringLiteral("В журнале нет записи с таким номером"));
        run("rb_GetRec", "3");
        run("rb_GetRec", "99");
        QCOMPARE(fake().callNames(), (QStringList(4, "GetJRecord") << "GetErrString"));
        QCOMPARE(fake().calls.last().args, QList<int>{-22});
        QCOMPARE(shown(), "02 03 00 00 00 |02 03 00 00 00 ");
        const auto& box = m_device->boxes.shown.value(0);
        QCOMPARE(m_device->boxes.shown.size(), 1);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.caption, "Ошибка");
        QCOMPARE(box.text, "ОШИБКА: В журнале нет записи с таким номером");
    }

    // A retry sends what the edit holds by then; an unreadable number stops before the call.
    void numberIsReadBeforeEachCall() {
        fake().queued["GetGoodsRest"] = {-5, -5};
        QStringList retyped{"-1", "12a"};
        fake().onCall = [&](const FakeDevice::Call&) { at<QLineEdit>("ed_Testout")->setText(retyped.takeFirst()); };
        run("rb_GoodsRest", "5");
        QCOMPARE(fake().callNames(), QStringList(2, "GetGoodsRest"));
        QCOMPARE(fake().calls[1].args.last(), -1);
        QCOMPARE(m_device->boxes.texts(), QStringList{reported("'12a' is not a valid integer value")});
    }

    void notANumberMakesNoCall_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("12a") << "12a";
        QTest::newRow("empty") << "";
        QTest::newRow("beyond 32 bits") << "4294967296";
    }
    void notANumberMakesNoCall() {
        QFETCH(QString, text);
        run("rb_GetRec", text);
        QVERIFY(fake().calls.isEmpty());
        QCOMPARE(shown(), "результат|");
        QCOMPARE(m_device->boxes.texts(),
                 QStringList{reported(QString("'%1' is not a valid integer value").arg(text))});
    }

    // A library announcing more data than any reply holds is refused, not read past its array.
    void oversizedReplyIsRefused_data() {
        QTest::addColumn<int>("r");
        QTest::newRow("the cap is read") << 4096;
        QTest::newRow("one above the cap") << 4097;
        QTest::newRow("largest result") << std::numeric_limits<int32_t>::max();
    }
    void oversizedReplyIsRefused() {
        QFETCH(int, r);
        fake().results["GetJRecordsCount"] = r;
        fake().replies["GetJRecordsCount"] = QByteArray(r <= 4096 ? r + 5 : 5, '\x11');
        run("rb_Reccount");
        QCOMPARE(shown().size(), r <= 4096 ? 2 + (r + 5) * 3 : 10);
        const QString refusal("Ответ ККМ не показан: библиотека ККМ указала длину данных %1, а допустимо не более 4096 "
                              "байт. Возможно, библиотека ККМ неисправна или не подходит к этой программе.");
        QCOMPARE(m_device->boxes.texts(), r <= 4096 ? QStringList() : QStringList{refusal.arg(r)});
    }

    void successWithoutReply() {
        run("rb_FindNEmpty");
        QCOMPARE(shown(), "результат|");
        QCOMPARE(m_device->boxes.texts(),
                 QStringList{"Ответ ККМ не показан: библиотека ККМ сообщила об успехе, но не передала ответ."});
    }
};

QTEST_MAIN(TestTestPanel)
#include "test_test_panel.moc"
