#include "device_fixture.h"
#include "logo_page.h"
#include "recording_file_dialogs.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

class TestLogoPage : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<DeviceFixture> m_device;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<LogoPage> m_page;

    QSlider* slider(const char* name) { return m_page->findChild<QSlider*>(QLatin1String(name)); }
    QString label(const char* name) { return m_page->findChild<QLabel*>(QLatin1String(name))->text(); }
    QString bitmap(const QString& name, const QImage& image) {
        const QString path = m_dir.filePath(name);
        image.save(path, "BMP");
        return path;
    }
    QString plainBitmap(int width, int height, const QString& name = QStringLiteral("p.bmp")) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return bitmap(name, image);
    }
    void load(const QString& path) {
        m_dialogs.answer = path;
        m_page->bt_load_logoClick();
    }
    QRgb pixel(int x, int y) const { return m_page->preview().pixel(x, y) & 0xFFFFFF; }
    void checkArea(int left, int top, int right, int bottom) {
        const CopyArea area = m_page->copyArea();
        QCOMPARE(QList<int>({area.left, area.top, area.right, area.bottom}), QList<int>({left, top, right, bottom}));
        QCOMPARE(label("lb_left_cnt").toInt(), left);
        QCOMPARE(label("lb_width_cnt").toInt(), right - left + 1);
        QCOMPARE(slider("tb_width")->value(), right - left + 1);
        QCOMPARE(slider("tb_left")->value(), left);
    }
    QList<QByteArray> sentRecords() const {
        QList<QByteArray> records;
        for (const auto& call : m_device->fake.callsOf("WriteLogo"))
            records << call.bytes.toHex(' ');
        return records;
    }

private slots:
    void init() {
        m_device = std::make_unique<DeviceFixture>();
        m_dialogs = {};
        m_page = std::make_unique<LogoPage>(m_device->link, m_device->errors, m_device->boxes, m_dialogs);
    }
    void cleanup() {
        m_page.reset();
        m_device.reset();
    }

    void slidersKeepTheirLengthAsValuesChange() {
        m_page->resize(800, 500);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
        for (const char* name : {"tb_Contrast", "tb_Res_h", "tb_res_v"}) {
            QSlider* moved = slider(name);
            moved->setValue(moved->maximum());
            QCoreApplication::processEvents();
            const int length = moved->width();
            moved->setValue(moved->minimum());
            QCoreApplication::processEvents();
            QCOMPARE(moved->width(), length);
        }
    }

    void startsAsDesigned() {
        QCOMPARE(slider("tb_Contrast")->value(), 51);
        QCOMPARE(label("lb_Contrast_pr"), QStringLiteral("50%"));
        QCOMPARE(slider("tb_Res_h")->value(), 10);
        QCOMPARE(label("lb_res_v_per"), QStringLiteral("100%"));
        QCOMPARE(slider("tb_width")->singleStep(), 8);
        QCOMPARE(slider("tb_left")->maximum(), 312);
        QCOMPARE(m_page->findChild<QLabel*>("img_Logo")->size(), QSize(320, 255));
        QVERIFY(m_page->findChild<QCheckBox*>("cb_proportion")->isChecked());
        QVERIFY(m_page->findChild<QWidget*>("bt_load_logo")->isHidden());
        checkArea(0, 0, 319, 254);
        QCOMPARE(pixel(0, 0), 0xFFFFFFu); // no frame yet
    }

    void inversionBeforeAnyPictureDrawsTheFrameOnWhite() {
        m_page->findChild<QCheckBox*>("cb_invertion")->click();
        QCOMPARE(pixel(0, 0), 0xFF0000u);
        QCOMPARE(pixel(319, 254), 0xFF0000u);
        QCOMPARE(pixel(160, 100), 0xFFFFFFu);
    }

    void loadingSetsTheSlidersAndArea_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("leftBefore");
        QTest::addColumn<int>("areaWidth");
        QTest::addColumn<int>("areaHeight");
        QTest::newRow("300 wide gives 304") << 300 << 100 << 0 << 304 << 100;
        QTest::newRow("320 wide with Left 100") << 320 << 50 << 100 << 216 << 50;
        QTest::newRow("large picture") << 1000 << 800 << 0 << 320 << 255;
    }
    void loadingSetsTheSlidersAndArea() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, leftBefore);
        QFETCH(int, areaWidth);
        QFETCH(int, areaHeight);
        slider("tb_width")->setValue(200);
        slider("tb_left")->setValue(leftBefore);
        slider("tb_Contrast")->setValue(80);
        slider("tb_Res_h")->setValue(30);
        load(plainBitmap(width, height));
        QVERIFY(m_device->boxes.shown.isEmpty());
        checkArea(0, 0, areaWidth - 1, areaHeight - 1);
        QCOMPARE(slider("tb_Contrast")->value(), 50);
        QCOMPARE(label("lb_Res_h_per"), QStringLiteral("100%"));
        QCOMPARE(label("lb_res_v_per"), QStringLiteral("100%"));
    }

    void refusedFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("jpeg extension") << "logo.jpeg"
                                        << "Неподдерживаемый тип файла";
        QTest::newRow("missing") << "absent.bmp"
                                 << "Файл не найден";
    }
    void refusedFiles() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        load(m_dir.filePath(name));
        QCOMPARE(m_device->boxes.shown.size(), 1);
        QCOMPARE(m_device->boxes.shown[0].text, message);
        QCOMPARE(m_device->boxes.shown[0].caption, QStringLiteral("Ошибка"));
    }

    void corruptFileLeavesThePageAsItWas() {
        slider("tb_width")->setValue(64);
        const QImage before = m_page->preview();
        const QString path = m_dir.filePath("broken.bmp");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM this is not a bitmap");
        file.close();
        load(path);
        QCOMPARE(m_device->boxes.shown.size(), 1);
        QVERIFY(
            m_device->boxes.shown[0].text.startsWith(QStringLiteral("Ошибка по месту: Tfm_Main.bt_load_logoClick")));
        QCOMPARE(m_page->preview(), before);
        QCOMPARE(slider("tb_width")->value(), 64);
        QCOMPARE(slider("tb_Contrast")->value(), 51);
    }

    void copyAreaClamps() {
        slider("tb_width")->setValue(64);
        slider("tb_left")->setValue(250);
        slider("tb_width")->setValue(100);
        checkArea(250, 0, 313, 254);
        slider("tb_width")->setValue(320);
        slider("tb_left")->setValue(0);
        slider("tb_width")->setValue(320);
        slider("tb_left")->setValue(40);
        checkArea(0, 0, 319, 254);
        slider("tb_top")->setValue(10);
        QCOMPARE(slider("tb_top")->value(), 0);
        slider("tb_height")->setValue(100);
        slider("tb_top")->setValue(200);
        QCOMPARE(slider("tb_top")->value(), 155);
        QCOMPARE(m_page->copyArea().bottom, 254);
        slider("tb_width")->setValue(77);
        QCOMPARE(slider("tb_width")->value(), 72);
        QCOMPARE(label("lb_width_cnt"), QStringLiteral("72"));
    }

    void proportionKeepsTheScalesTogether() {
        load(plainBitmap(100, 100));
        slider("tb_Res_h")->setValue(20);
        QCOMPARE(slider("tb_res_v")->value(), 20);
        QCOMPARE(label("lb_res_v_per"), QStringLiteral("200%"));
        auto* proportion = m_page->findChild<QCheckBox*>("cb_proportion");
        proportion->click();
        slider("tb_res_v")->setValue(5);
        QCOMPARE(slider("tb_Res_h")->value(), 20);
        proportion->click(); // ticking, like unticking, copies the vertical scale
        QCOMPARE(slider("tb_Res_h")->value(), 5);
    }

    void uploadOfTheWorkedExample() {
        QImage image(16, 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(0, 0, 0));
        image.setPixel(9, 0, qRgb(0, 0, 0));
        load(bitmap("example.bmp", image));
        checkArea(0, 0, 15, 1);
        int steps = 0;
        m_page->WrLogoRow([&] { ++steps; });
        QCOMPARE(sentRecords(), QList<QByteArray>({"02 02", "01 80 40", "02 00 00"}));
        const auto calls = m_device->fake.callsOf("WriteLogo");
        QCOMPARE(calls[0].args.mid(2), QList<int>({0, 1}));
        QCOMPARE(calls[1].args.mid(2), QList<int>({1, 2}));
        QCOMPARE(steps, 2);
        QCOMPARE(m_page->wholeWriteSteps(), 2);
    }

    void uploadStopsAtTheFirstCallThatFailsThreeTimes_data() {
        QTest::addColumn<QList<int32_t>>("results");
        // Distinct records tried: a failing call is repeated with the same bytes.
        QTest::addColumn<int>("records");
        QTest::newRow("header, no row follows") << QList<int32_t>{-3, -3, -3} << 1;
        QTest::newRow("row 2, nothing after it") << QList<int32_t>{0, 0, -3, -3, -3} << 3;
        QTest::newRow("row 1 on its third try") << QList<int32_t>{0, -3, -3, 0, 0} << 3;
    }
    void uploadStopsAtTheFirstCallThatFailsThreeTimes() {
        QFETCH(QList<int32_t>, results);
        QFETCH(int, records);
        load(plainBitmap(8, 2));
        m_device->fake.queued["WriteLogo"] = results;
        m_page->WrLogoRow([] {});
        QCOMPARE(m_device->fake.callsOf("WriteLogo").size(), results.size());
        const QList<QByteArray> sent = sentRecords();
        QCOMPARE(QSet<QByteArray>(sent.begin(), sent.end()).size(), records);
        QCOMPARE(m_device->link.lastResult, results.last());
    }

    void uploadKeepsTheAreaItAnnounced() {
        load(plainBitmap(320, 40));
        slider("tb_width")->setValue(64);
        m_device->fake.onCall = [this](const FakeDevice::Call& call) {
            if (call.args.value(2) == 1 && call.bytes.at(0) == 3)
                slider("tb_width")->setValue(160);
        };
        m_page->WrLogoRow([] {});
        const auto calls = m_device->fake.callsOf("WriteLogo");
        QCOMPARE(calls.size(), 41);
        QCOMPARE(calls[0].bytes.toHex(), QByteArray("0828"));
        for (int i = 1; i < calls.size(); ++i) {
            QCOMPARE(calls[i].bytes.size(), 9);
            QCOMPARE(calls[i].args.value(3), 8);
        }
        QCOMPARE(m_page->copyArea().width(), 160);
    }

    void uploadOfTheStartUpArea() {
        m_page->WrLogoRow([] {});
        const auto calls = m_device->fake.callsOf("WriteLogo");
        QCOMPARE(calls.size(), 256);
        QCOMPARE(calls[0].bytes.toHex(), QByteArray("28ff"));
        QCOMPARE(calls[255].bytes, QByteArray(1, char(255)) + QByteArray(40, '\0'));
    }
};

QTEST_MAIN(TestLogoPage)
#include "test_logo_page.moc"
