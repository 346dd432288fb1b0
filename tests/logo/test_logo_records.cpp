#include "logo_frame.h"
#include "logo_preview.h"
#include "logo_records.h"

#include <QTest>

namespace {

QImage whitePreview() {
    QImage preview(previewWidth, previewHeight, QImage::Format_RGB888);
    preview.fill(Qt::white);
    return preview;
}

} // namespace

Q_DECLARE_METATYPE(CopyArea)

class TestLogoRecords : public QObject {
    Q_OBJECT

private slots:
    void workedExample() {
        QImage preview = whitePreview();
        preview.setPixel(0, 0, qRgb(0, 0, 0));
        preview.setPixel(9, 0, qRgb(0, 0, 0));
        const CopyArea area{0, 0, 15, 1};
        QCOMPARE(logoHeader(area), QByteArray::fromHex("0202"));
        QCOMPARE(logoRow(preview, area, 0), QByteArray::fromHex("018040"));
        QCOMPARE(logoRow(preview, area, 1), QByteArray::fromHex("020000"));
    }

    void header_data() {
        QTest::addColumn<CopyArea>("area");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("whole preview") << CopyArea{0, 0, 319, 254} << QByteArray::fromHex("28ff");
        QTest::newRow("smallest") << CopyArea{312, 254, 319, 254} << QByteArray::fromHex("0101");
        QTest::newRow("placed") << CopyArea{8, 10, 87, 139} << QByteArray::fromHex("0a82");
    }
    void header() {
        QFETCH(CopyArea, area);
        QFETCH(QByteArray, header);
        QCOMPARE(logoHeader(area), header);
    }

    void wholeWhitePreview() {
        const QImage preview = whitePreview();
        const CopyArea area;
        for (int y = 0; y < previewHeight; ++y)
            QCOMPARE(logoRow(preview, area, y), char(y + 1) + QByteArray(40, '\0'));
    }

    void placedArea() {
        QImage preview = whitePreview();
        for (const QPoint dot : {QPoint(7, 10), QPoint(8, 9), QPoint(8, 10), QPoint(17, 10), QPoint(23, 11),
                                 QPoint(24, 11), QPoint(319, 254)})
            preview.setPixel(dot, qRgb(0, 0, 0));
        const CopyArea area{8, 10, 23, 11};
        QCOMPARE(logoRow(preview, area, 10), QByteArray::fromHex("018040"));
        QCOMPARE(logoRow(preview, area, 11), QByteArray::fromHex("020001"));
        const CopyArea corner{312, 254, 319, 254};
        QCOMPARE(logoRow(preview, corner, 254), QByteArray::fromHex("0101"));
    }

    void dot_data() {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<bool>("black");
        QTest::newRow("black") << qRgb(0, 0, 0) << true;
        QTest::newRow("white") << qRgb(255, 255, 255) << false;
        QTest::newRow("framed black") << qRgb(254, 0, 0) << true;
        QTest::newRow("framed white") << qRgb(255, 0, 0) << false;
        QTest::newRow("red below 255 is black") << qRgb(254, 255, 255) << true;
        QTest::newRow("red 255 is white") << qRgb(255, 0, 255) << false;
    }
    void dot() {
        QFETCH(QRgb, pixel);
        QFETCH(bool, black);
        QImage preview = whitePreview();
        preview.setPixel(4, 3, pixel);
        QCOMPARE(logoRow(preview, CopyArea{0, 3, 7, 3}, 3), QByteArray::fromHex(black ? "0108" : "0100"));
    }

    void frameDoesNotShow_data() {
        QTest::addColumn<CopyArea>("area");
        QTest::newRow("whole preview") << CopyArea{0, 0, 319, 254};
        QTest::newRow("placed") << CopyArea{8, 10, 87, 40};
        QTest::newRow("one row") << CopyArea{16, 7, 55, 7};
    }
    void frameDoesNotShow() {
        QFETCH(CopyArea, area);
        QImage preview(previewWidth, previewHeight, QImage::Format_RGB888);
        for (int y = 0; y < previewHeight; ++y) {
            for (int x = 0; x < previewWidth; ++x)
                preview.setPixel(x, y, (x * 7 + y * 3) % 5 < 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
        QList<QByteArray> unframed;
        for (int y = area.top; y <= area.bottom; ++y)
            unframed << logoRow(preview, area, y);
        drawFrame(preview, area);
        for (int y = area.top; y <= area.bottom; ++y)
            QCOMPARE(logoRow(preview, area, y), unframed[y - area.top]);
        QVERIFY(unframed.first().count('\0') < unframed.first().size() - 1); // the border row has black dots
    }
};

QTEST_GUILESS_MAIN(TestLogoRecords)
#include "test_logo_records.moc"
