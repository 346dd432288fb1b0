#include "logo_frame.h"
#include "logo_preview.h"

#include <QTest>

namespace {

const QRgb black = qRgb(0, 0, 0);
const QRgb white = qRgb(255, 255, 255);
const QRgb framedBlack = qRgb(254, 0, 0);
const QRgb framedWhite = qRgb(255, 0, 0);

// Black and white in stripes of 3 pixels, askew, so that every side of a frame crosses both.
QImage stripedPreview() {
    QImage preview(previewWidth, previewHeight, QImage::Format_RGB888);
    for (int y = 0; y < previewHeight; ++y) {
        for (int x = 0; x < previewWidth; ++x)
            preview.setPixel(x, y, (x + y) / 3 % 2 ? black : white);
    }
    return preview;
}

bool onBorder(const CopyArea& area, int x, int y) {
    const bool inside = x >= area.left && x <= area.right && y >= area.top && y <= area.bottom;
    return inside && (x == area.left || x == area.right || y == area.top || y == area.bottom);
}

} // namespace

Q_DECLARE_METATYPE(CopyArea)

class TestLogoFrame : public QObject {
    Q_OBJECT

private slots:
    void frame_data() {
        QTest::addColumn<CopyArea>("area");
        QTest::newRow("whole preview") << CopyArea{0, 0, 319, 254};
        QTest::newRow("inside") << CopyArea{8, 10, 87, 40};
        QTest::newRow("one row") << CopyArea{16, 7, 55, 7};
        QTest::newRow("two rows") << CopyArea{0, 253, 7, 254};
        QTest::newRow("one row at the bottom right") << CopyArea{312, 254, 319, 254};
    }
    void frame() {
        QFETCH(CopyArea, area);
        const QImage before = stripedPreview();
        QImage preview = before;
        drawFrame(preview, area);
        for (int y = 0; y < previewHeight; ++y) {
            for (int x = 0; x < previewWidth; ++x) {
                const QRgb was = before.pixel(x, y);
                const QRgb expected = !onBorder(area, x, y) ? was : was == black ? framedBlack : framedWhite;
                QCOMPARE(preview.pixel(x, y), expected);
            }
        }
        eraseFrame(preview, area);
        QCOMPARE(preview, before);
    }

    void pixel_data() {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<QRgb>("marked");
        QTest::addColumn<QRgb>("erased");
        QTest::newRow("black") << black << framedBlack << black;
        QTest::newRow("white") << white << framedWhite << white;
        QTest::newRow("framed black, marked again, turns white") << framedBlack << framedWhite << black;
        QTest::newRow("framed white") << framedWhite << framedWhite << white;
        QTest::newRow("near black") << qRgb(0, 0, 1) << framedWhite << qRgb(0, 0, 1);
        QTest::newRow("near framed white") << qRgb(255, 0, 1) << framedWhite << qRgb(255, 0, 1);
        QTest::newRow("near framed black") << qRgb(254, 1, 0) << framedWhite << qRgb(254, 1, 0);
    }
    void pixel() {
        QFETCH(QRgb, pixel);
        QFETCH(QRgb, marked);
        QFETCH(QRgb, erased);
        const CopyArea area{8, 10, 87, 40};
        for (const QPoint spot : {QPoint(8, 10), QPoint(87, 40), QPoint(50, 10), QPoint(8, 25)}) {
            QImage preview(previewWidth, previewHeight, QImage::Format_RGB888);
            preview.fill(Qt::white);
            preview.setPixel(spot, pixel);
            QImage framed = preview;
            drawFrame(framed, area);
            QCOMPARE(framed.pixel(spot), marked);
            eraseFrame(preview, area);
            QCOMPARE(preview.pixel(spot), erased);
        }
    }

    void eraseKeepsMarksOffTheBorder() {
        QImage preview = stripedPreview();
        for (const QPoint spot : {QPoint(9, 11), QPoint(7, 10), QPoint(88, 40), QPoint(50, 41)})
            preview.setPixel(spot, spot.x() % 2 ? framedBlack : framedWhite);
        const QImage before = preview;
        eraseFrame(preview, CopyArea{8, 10, 87, 40});
        QCOMPARE(preview, before);
    }
};

QTEST_GUILESS_MAIN(TestLogoFrame)
#include "test_logo_frame.moc"
