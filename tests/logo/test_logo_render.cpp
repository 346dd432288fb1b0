#include "logo_preview.h"

#include <QTest>

namespace {

GreyPicture flatPicture(int width, int height, uint8_t grey) {
    return {width, height, std::vector<uint8_t>(size_t(width) * size_t(height), grey)};
}

// Rows of '#' (grey 0) and '.' (grey 255).
GreyPicture drawnPicture(const QStringList& rows) {
    GreyPicture picture{int(rows.first().size()), int(rows.size()), {}};
    for (const QString& row : rows) {
        for (QChar dot : row)
            picture.grey.push_back(dot == u'#' ? 0 : 255);
    }
    return picture;
}

// The top-left width x height pixels as '#' (black), '.' (white) and '?' (anything else).
QStringList drawing(const QImage& preview, int width, int height) {
    QStringList rows;
    for (int y = 0; y < height; ++y) {
        QString row;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = preview.pixel(x, y);
            row += pixel == qRgb(0, 0, 0) ? u'#' : pixel == qRgb(255, 255, 255) ? u'.' : u'?';
        }
        rows << row;
    }
    return rows;
}

// Where the black pixels lie, and how many there are.
struct BlackPixels {
    QRect bounds;
    int count = 0;
};

BlackPixels blackPixels(const QImage& preview) {
    BlackPixels black;
    for (int y = 0; y < preview.height(); ++y) {
        for (int x = 0; x < preview.width(); ++x) {
            if (preview.pixel(x, y) == qRgb(0, 0, 0)) {
                black.bounds |= QRect(x, y, 1, 1);
                ++black.count;
            }
        }
    }
    return black;
}

} // namespace

class TestLogoRender : public QObject {
    Q_OBJECT

private slots:
    void scaledSize_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("expected");
        // 0.1 as a double is a little above 0.1, which extended precision keeps: 5 x 0.1 is not a half.
        QTest::newRow("5 at 10 %") << 5 << 10 << 1;
        QTest::newRow("25 at 10 %") << 25 << 10 << 3;
        QTest::newRow("45 at 10 %") << 45 << 10 << 5;
        QTest::newRow("5 at 30 %") << 5 << 30 << 1;
        QTest::newRow("1000 at 30 %") << 1000 << 30 << 300;
        QTest::newRow("800 at 30 %") << 800 << 30 << 240;
        QTest::newRow("exact half down to even") << 1 << 50 << 0;
        QTest::newRow("exact half up to even") << 3 << 50 << 2;
        QTest::newRow("2.5 to even") << 5 << 50 << 2;
        QTest::newRow("4.5 to even") << 3 << 150 << 4;
        QTest::newRow("5 at 500 %") << 5 << 500 << 25;
        QTest::newRow("4000 at 500 %") << 4000 << 500 << 20000;
        QTest::newRow("empty") << 0 << 100 << 0;
    }
    void scaledSize() {
        QFETCH(int, size);
        QFETCH(int, percent);
        QFETCH(int, expected);
        QCOMPARE(::scaledSize(size, percent), expected);
    }

    void threshold_data() {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<int>("grey");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<bool>("white");
        QTest::newRow("contrast 0, black") << 0 << 0 << false << true;
        QTest::newRow("contrast 20, grey 51") << 20 << 51 << false << true;
        QTest::newRow("contrast 20, grey 50") << 20 << 50 << false << false;
        QTest::newRow("contrast 50, grey 128") << 50 << 128 << false << true;
        QTest::newRow("contrast 50, grey 127") << 50 << 127 << false << false;
        QTest::newRow("contrast 100, grey 255") << 100 << 255 << false << true;
        QTest::newRow("contrast 100, grey 254") << 100 << 254 << false << false;
        QTest::newRow("inverted, contrast 20, grey 51") << 20 << 51 << true << false;
        QTest::newRow("inverted, contrast 20, grey 50") << 20 << 50 << true << true;
        QTest::newRow("inverted, contrast 0, black") << 0 << 0 << true << false;
    }
    void threshold() {
        QFETCH(int, contrast);
        QFETCH(int, grey);
        QFETCH(bool, inverted);
        QFETCH(bool, white);
        QImage preview;
        renderLogo(flatPicture(2, 2, uint8_t(grey)), {contrast, 100, 100, inverted}, preview);
        const QString dots = white ? ".." : "##";
        QCOMPARE(drawing(preview, 3, 3), QStringList({dots + ".", dots + ".", "..."}));
    }

    void size_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("scaleH");
        QTest::addColumn<int>("scaleV");
        QTest::addColumn<bool>("inverted");
        QTest::addColumn<QRect>("shown");
        QTest::newRow("1000 x 800 at 30 % fits whole")
            << QSize(1000, 800) << 30 << 30 << false << QRect(0, 0, 300, 240);
        QTest::newRow("1000 x 800 at 100 % is cut") << QSize(1000, 800) << 100 << 100 << false << QRect(0, 0, 320, 255);
        QTest::newRow("4000 x 3000 at 10 % is cut") << QSize(4000, 3000) << 10 << 10 << false << QRect(0, 0, 320, 255);
        QTest::newRow("4000 x 3000 at 500 %") << QSize(4000, 3000) << 500 << 500 << false << QRect(0, 0, 320, 255);
        QTest::newRow("scales apart") << QSize(100, 20) << 200 << 50 << false << QRect(0, 0, 200, 10);
        QTest::newRow("5 x 5 at 10 %") << QSize(5, 5) << 10 << 10 << false << QRect(0, 0, 1, 1);
        QTest::newRow("one pixel at 10 %") << QSize(1, 1) << 10 << 10 << false << QRect();
        // Inverted, the white picture turns black; the preview around it stays white.
        QTest::newRow("inverted 300 x 200") << QSize(300, 200) << 100 << 100 << true << QRect(0, 0, 300, 200);
        QTest::newRow("inverted 1000 x 800 at 30 %") << QSize(1000, 800) << 30 << 30 << true << QRect(0, 0, 300, 240);
    }
    void size() {
        QFETCH(QSize, picture);
        QFETCH(int, scaleH);
        QFETCH(int, scaleV);
        QFETCH(bool, inverted);
        QFETCH(QRect, shown);
        QImage preview;
        const uint8_t grey = inverted ? 255 : 0;
        renderLogo(flatPicture(picture.width(), picture.height(), grey), {50, scaleH, scaleV, inverted}, preview);
        QCOMPARE(preview.size(), QSize(previewWidth, previewHeight));
        QCOMPARE(preview.format(), QImage::Format_RGB888);
        const BlackPixels black = blackPixels(preview);
        QCOMPARE(black.bounds, shown);
        QCOMPARE(black.count, shown.width() * shown.height());
    }

    void stretch_data() {
        QTest::addColumn<QStringList>("picture");
        QTest::addColumn<int>("scaleH");
        QTest::addColumn<int>("scaleV");
        QTest::addColumn<QStringList>("expected"); // one white column and row beyond the picture
        QTest::newRow("200 % repeats pixels") << QStringList{"#.#", ".#."} << 200 << 200
                                              << QStringList{"##..##.", "##..##.", "..##...", "..##...", "......."};
        QTest::newRow("50 % drops pixels")
            << QStringList{"#..#", "....", "##..", "...."} << 50 << 50 << QStringList{"#..", "#..", "..."};
        QTest::newRow("150 % repeats some")
            << QStringList{"#.", ".#"} << 150 << 100 << QStringList{"##..", "..#.", "...."};
    }
    void stretch() {
        QFETCH(QStringList, picture);
        QFETCH(int, scaleH);
        QFETCH(int, scaleV);
        QFETCH(QStringList, expected);
        QImage preview;
        renderLogo(drawnPicture(picture), {50, scaleH, scaleV, false}, preview);
        QCOMPARE(drawing(preview, int(expected.first().size()), int(expected.size())), expected);
    }

    void showsTopLeftPart() {
        GreyPicture picture = flatPicture(1000, 800, 255);
        for (const QPoint dot : {QPoint(0, 0), QPoint(319, 254), QPoint(320, 0), QPoint(0, 255), QPoint(999, 799)})
            picture.grey[size_t(dot.y()) * 1000 + size_t(dot.x())] = 0;
        QImage preview;
        renderLogo(picture, {}, preview);
        QCOMPARE(preview.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(preview.pixel(319, 254), qRgb(0, 0, 0));
        QCOMPARE(blackPixels(preview).count, 2);
    }

    void emptyPictureClearsPreview() {
        QImage preview;
        renderLogo(flatPicture(400, 300, 0), {}, preview);
        renderLogo(GreyPicture(), {50, 100, 100, true}, preview);
        QImage white(previewWidth, previewHeight, QImage::Format_RGB888);
        white.fill(Qt::white);
        QCOMPARE(preview, white);
    }
};

QTEST_GUILESS_MAIN(TestLogoRender)
#include "test_logo_render.moc"
