#include "grey_picture.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <QDataStream>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>

namespace {

// The test picture: colour number (x / 3 + y) % colours, so that runs of 3 pixels cross row padding.
constexpr int pictureWidth = 13;
constexpr int pictureHeight = 7;

int colourAt(int x, int y, int colours) {
    return (x / 3 + y) % colours;
}

struct Colour {
    QRgb rgb;
    int grey; // (R + G + B) / 3, rounded down
};
const Colour colours[] = {
    {qRgb(200, 10, 31), 80},    {qRgb(255, 255, 254), 254}, {qRgb(0, 0, 0), 0},
    {qRgb(255, 255, 255), 255}, {qRgb(1, 1, 2), 1},         {qRgb(12, 34, 56), 34},
};

QByteArray expectedGrey(int colourCount) {
    QByteArray grey;
    for (int y = 0; y < pictureHeight; ++y) {
        for (int x = 0; x < pictureWidth; ++x)
            grey += char(colours[colourAt(x, y, colourCount)].grey);
    }
    return grey;
}

// BITMAPFILEHEADER, BITMAPINFOHEADER, the palette, then `pixels`, rows from the bottom up.
QByteArray bitmapFile(int bits, int compression, int colourCount, const QByteArray& pixels, qint32 width = pictureWidth,
                      qint32 height = pictureHeight) {
    const int paletteSize = bits <= 8 ? colourCount : 0;
    const quint32 offset = 14 + 40 + 4 * paletteSize;
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(offset + pixels.size()) << quint32(0) << offset;
    out << quint32(40) << width << height << quint16(1) << quint16(bits) << quint32(compression)
        << quint32(pixels.size()) << qint32(2835) << qint32(2835) << quint32(paletteSize) << quint32(0);
    for (int i = 0; i < paletteSize; ++i)
        out << quint8(qBlue(colours[i].rgb)) << quint8(qGreen(colours[i].rgb)) << quint8(qRed(colours[i].rgb))
            << quint8(0);
    out.writeRawData(pixels.constData(), int(pixels.size()));
    return file;
}

QByteArray uncompressedPixels(int bits, int colourCount) {
    QByteArray pixels;
    for (int y = pictureHeight - 1; y >= 0; --y) {
        QByteArray row;
        int pending = 0; // bits collected for the next byte, from bit 7 down
        int used = 0;
        for (int x = 0; x < pictureWidth; ++x) {
            const int index = colourAt(x, y, colourCount);
            if (bits >= 24) {
                // Only palette pictures may name an index past the colours (a damaged file).
                const QRgb rgb = colours[index].rgb;
                row += char(qBlue(rgb));
                row += char(qGreen(rgb));
                row += char(qRed(rgb));
                if (bits == 32)
                    row += char(0);
                continue;
            }
            pending |= index << (8 - bits - used);
            used += bits;
            if (used == 8) {
                row += char(pending);
                pending = used = 0;
            }
        }
        if (used > 0)
            row += char(pending);
        while (row.size() % 4)
            row += char(0);
        pixels += row;
    }
    return pixels;
}

// Each run of one colour as a count and the colour (twice in a byte for 4 bits), then end of line;
// end of bitmap after the last row. Absolute rows carry every pixel's colour, padded to an even length.
QByteArray rlePixels(int bits, int colourCount, bool absolute = false) {
    QByteArray pixels;
    for (int y = pictureHeight - 1; y >= 0; --y) {
        if (absolute) {
            QByteArray row;
            for (int x = 0; x < pictureWidth; ++x) {
                const int index = colourAt(x, y, colourCount);
                if (bits == 8)
                    row += char(index);
                else if (x % 2 == 0)
                    row += char(index << 4);
                else
                    row.back() = char(row.back() | index);
            }
            if (row.size() % 2)
                row += char(0);
            pixels += char(0);
            pixels += char(pictureWidth);
            pixels += row + QByteArray("\0\0", 2);
            continue;
        }
        for (int x = 0; x < pictureWidth;) {
            const int index = colourAt(x, y, colourCount);
            int run = 1;
            while (x + run < pictureWidth && colourAt(x + run, y, colourCount) == index)
                ++run;
            pixels += char(run);
            pixels += char(bits == 4 ? index << 4 | index : index);
            x += run;
        }
        pixels += QByteArray("\0\0", 2);
    }
    return pixels + QByteArray("\0\1", 2);
}

// libjpeg's compressor at quality 95 without chroma subsampling, so that flat blocks come back
// nearly exact; `samples` holds `components` bytes per pixel.
QByteArray jpegFile(int width, int height, J_COLOR_SPACE space, int components, const std::vector<uint8_t>& samples,
                    bool arithmetic = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    info.arith_code = arithmetic ? TRUE : FALSE;
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + size_t(info.next_scanline) * size_t(width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    const QByteArray file(reinterpret_cast<const char*>(buffer), qsizetype(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

// Flat 16 x 16 blocks side by side from the left, each given by its samples.
constexpr int blockSize = 16;
QByteArray blocksJpeg(J_COLOR_SPACE space, const QList<QList<int>>& blocks) {
    const int components = int(blocks.first().size());
    const int width = blockSize * int(blocks.size());
    std::vector<uint8_t> samples;
    for (int y = 0; y < blockSize; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int sample : blocks[x / blockSize])
                samples.push_back(uint8_t(sample));
        }
    }
    return jpegFile(width, blockSize, space, components, samples);
}

QByteArray rgbJpeg() {
    return blocksJpeg(JCS_RGB, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {200, 100, 30}});
}

// A small grey JPEG whose frame header (SOF0, or SOF9 when arithmetic-coded) claims another size:
// the header promises the picture, the data is far too short for it.
QByteArray jpegClaiming(quint16 width, quint16 height, bool arithmetic = false) {
    QByteArray file = jpegFile(16, 16, JCS_GRAYSCALE, 1, std::vector<uint8_t>(256, 128), arithmetic);
    const qsizetype frame = file.indexOf(arithmetic ? "\xff\xc9" : "\xff\xc0");
    if (frame < 0)
        qFatal("no frame header");
    // Marker, length, precision, then height and width, big-endian.
    qToBigEndian(height, file.data() + frame + 5);
    qToBigEndian(width, file.data() + frame + 7);
    return file;
}

// The 13 x 7 RLE bitmap with `pixels` as its data, whose stated size matches.
QByteArray rleFile(int bits, const QByteArray& pixels) {
    return bitmapFile(bits, bits == 8 ? 1 : 2, 6, pixels);
}

QString writeFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class TestLogoFiles : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void bitmap_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("grey");
        QTest::newRow("1 bit") << "a.bmp" << bitmapFile(1, 0, 2, uncompressedPixels(1, 2)) << expectedGrey(2);
        QTest::newRow("4 bits") << "a.bmp" << bitmapFile(4, 0, 6, uncompressedPixels(4, 6)) << expectedGrey(6);
        QTest::newRow("8 bits") << "a.bmp" << bitmapFile(8, 0, 6, uncompressedPixels(8, 6)) << expectedGrey(6);
        QTest::newRow("24 bits") << "a.bmp" << bitmapFile(24, 0, 6, uncompressedPixels(24, 6)) << expectedGrey(6);
        QTest::newRow("32 bits") << "a.bmp" << bitmapFile(32, 0, 6, uncompressedPixels(32, 6)) << expectedGrey(6);
        QTest::newRow("8 bits RLE") << "a.bmp" << bitmapFile(8, 1, 6, rlePixels(8, 6)) << expectedGrey(6);
        QTest::newRow("4 bits RLE") << "a.bmp" << bitmapFile(4, 2, 6, rlePixels(4, 6)) << expectedGrey(6);
        QTest::newRow("8 bits RLE, absolute")
            << "a.bmp" << bitmapFile(8, 1, 6, rlePixels(8, 6, true)) << expectedGrey(6);
        QTest::newRow("4 bits RLE, absolute")
            << "a.bmp" << bitmapFile(4, 2, 6, rlePixels(4, 6, true)) << expectedGrey(6);
        QTest::newRow("named .jpg") << "a.jpg" << bitmapFile(24, 0, 6, uncompressedPixels(24, 6)) << expectedGrey(6);
    }
    void bitmap() {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, grey);
        const GreyPicture picture = loadBitmapPicture(writeFile(m_folder, name, file));
        QCOMPARE(picture.width, pictureWidth);
        QCOMPARE(picture.height, pictureHeight);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(picture.grey.data()), qsizetype(picture.grey.size())), grey);
    }

    void jpeg_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("greys");
        // Grey as the mean of R, G and B, not the luminance a grey decode would give (76, 150, 29).
        const QList<int> rgbGreys{85, 85, 85, 110};
        QTest::newRow("RGB") << "a.jpg" << rgbJpeg() << rgbGreys;
        QTest::newRow("grey") << "a.jpg" << blocksJpeg(JCS_GRAYSCALE, {{0}, {51}, {128}, {255}})
                              << QList<int>{0, 51, 128, 255};
        // Inks stored inverted: (255, 255, 255, 255) is no ink at all.
        QTest::newRow("CMYK") << "a.jpg"
                              << blocksJpeg(
                                     JCS_CMYK,
                                     {{255, 255, 255, 255}, {0, 255, 255, 255}, {255, 0, 255, 128}, {255, 255, 255, 0}})
                              << QList<int>{255, 170, 85, 0};
        QTest::newRow("named .bmp") << "a.bmp" << rgbJpeg() << rgbGreys;
        QByteArray stray = rgbJpeg();
        stray.insert(stray.indexOf("\xff\xdb"), "\x12\x34\x56");
        QTest::newRow("stray bytes between markers") << "a.jpg" << stray << rgbGreys;
    }
    void jpeg() {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, greys);
        const GreyPicture picture = loadJpegPicture(writeFile(m_folder, name, file));
        QCOMPARE(picture.width, blockSize * greys.size());
        QCOMPARE(picture.height, blockSize);
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const int grey = picture.grey[size_t(y * picture.width + x)];
                if (std::abs(grey - greys[x / blockSize]) > 3)
                    QFAIL(qPrintable(QStringLiteral("grey %1 at (%2, %3)").arg(grey).arg(x).arg(y)));
            }
        }
    }

    void unreadable_data() {
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<QByteArray>("file");
        const QByteArray bitmap = bitmapFile(24, 0, 6, uncompressedPixels(24, 6));
        const QByteArray rle = bitmapFile(8, 1, 6, rlePixels(8, 6));
        const QByteArray jpeg = rgbJpeg();
        const qsizetype scan = jpeg.indexOf("\xff\xda"); // the picture data follows
        QByteArray damagedJpeg = jpeg;
        damagedJpeg.replace(scan + 40, 2, "\xff\xd9");
        QTest::newRow("empty bitmap") << false << QByteArray();
        QTest::newRow("bitmap without its pixels") << false << bitmap.left(54);
        QTest::newRow("bitmap cut short") << false << bitmap.left(bitmap.size() - 1);
        QTest::newRow("RLE bitmap cut short") << false << rle.left(rle.size() - 2);
        QTest::newRow("bitmap header cut short") << false << bitmap.left(30);
        QTest::newRow("not a bitmap") << false << QByteArray("hello, world");
        QTest::newRow("JPEG as a bitmap") << false << jpeg;
        QTest::newRow("bitmap of 7 bits") << false << QByteArray(bitmap).replace(28, 1, "\x07");
        QTest::newRow("empty JPEG") << true << QByteArray();
        QTest::newRow("bitmap as a JPEG") << true << bitmap;
        QTest::newRow("JPEG header cut short") << true << jpeg.left(100);
        QTest::newRow("JPEG cut short") << true << jpeg.left((scan + jpeg.size()) / 2);
        QTest::newRow("JPEG without its end") << true << jpeg.left(jpeg.size() - 2);
        QTest::newRow("JPEG with damaged data") << true << damagedJpeg;
    }
    void unreadable() {
        QFETCH(bool, jpeg);
        QFETCH(QByteArray, file);
        const QString path = writeFile(m_folder, QStringLiteral("bad picture.bmp"), file);
        try {
            jpeg ? loadJpegPicture(path) : loadBitmapPicture(path);
            QFAIL("the picture was read");
        } catch (const std::runtime_error& error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.startsWith(QStringLiteral("Не удалось прочитать рисунок «%1»: ").arg(path)), error.what());
            // The reason is Russian too: libjpeg's and Qt's English stay out of it.
            QVERIFY2(message.sliced(message.indexOf(QStringLiteral("»: "))).contains(QRegularExpression("[а-я]{3}")),
                     error.what());
        }
    }

    // The reason given, not only a refusal: a picture too large to take is told apart from a damaged one.
    void refusedWithReason_data() {
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        const QString tooLarge = QStringLiteral("рисунок слишком велик: %1 × %2 точек, можно не больше 64 млн точек");
        const QString cutShort = QStringLiteral("файл обрывается раньше, чем кончается рисунок");
        const QByteArray none;
        QTest::newRow("JPEG of 65500 x 65500") << true << jpegClaiming(65500, 65500) << tooLarge.arg(65500).arg(65500);
        QTest::newRow("arithmetic JPEG of 65500 x 65500")
            << true << jpegClaiming(65500, 65500, true) << tooLarge.arg(65500).arg(65500);
        QTest::newRow("JPEG one row above the limit")
            << true << jpegClaiming(8000, 8001) << tooLarge.arg(8000).arg(8001);
        QTest::newRow("JPEG at the limit") << true << jpegClaiming(8000, 8000).chopped(2) << cutShort;
        QTest::newRow("bitmap of 2^31 - 1 x 2^31 - 1")
            << false << bitmapFile(24, 0, 6, none, INT_MAX, INT_MAX) << tooLarge.arg(INT_MAX).arg(INT_MAX);
        QTest::newRow("bitmap of 2^31 - 1 x 2^31, top-down")
            << false << bitmapFile(24, 0, 6, none, INT_MAX, INT_MIN) << tooLarge.arg(INT_MAX).arg(2147483648LL);
        QTest::newRow("bitmap one row above the limit")
            << false << bitmapFile(1, 0, 2, none, 8000, 8001) << tooLarge.arg(8000).arg(8001);
        QTest::newRow("bitmap at the limit") << false << bitmapFile(1, 0, 2, none, 8000, 8000) << cutShort;
        QTest::newRow("RLE8 of 100 x 100 with one run")
            << false << bitmapFile(8, 1, 6, QByteArray("\x02\x01", 2), 100, 100) << cutShort;
        const QByteArray rle8 = rlePixels(8, 6);
        const QByteArray rle4 = rlePixels(4, 6);
        QTest::newRow("RLE8 without its end") << false << rleFile(8, rle8.chopped(2)) << cutShort;
        QTest::newRow("RLE4 without its end") << false << rleFile(4, rle4.chopped(2)) << cutShort;
        QTest::newRow("RLE8 ending in a run") << false << rleFile(8, rle8.chopped(4)) << cutShort;
        QTest::newRow("RLE8 ending in an escape") << false << rleFile(8, rle8.chopped(1)) << cutShort;
        QTest::newRow("RLE8 ending in a move")
            << false << rleFile(8, rle8.chopped(2) + QByteArray("\0\2\1", 3)) << cutShort;
        // An absolute run of 5 pixels takes 5 bytes and a pad in RLE8, 3 bytes and a pad in RLE4.
        QTest::newRow("RLE8 ending in a literal run")
            << false << rleFile(8, rle8.chopped(2) + QByteArray("\0\5\1\2\3\4\5", 7)) << cutShort;
        QTest::newRow("RLE4 ending in a literal run")
            << false << rleFile(4, rle4.chopped(2) + QByteArray("\0\5\x12\x34\x50", 5)) << cutShort;

        const QString shorterThanHeader = QStringLiteral("файл короче, чем сказано в его заголовке");
        const QByteArray bitmap = bitmapFile(8, 0, 6, uncompressedPixels(8, 6));
        QByteArray claimsMore = bitmap;
        qToLittleEndian(quint32(0x7fff0000), claimsMore.data() + 2);
        QTest::newRow("file size beyond the file") << false << claimsMore << shorterThanHeader;
        QByteArray claimsMorePixels = bitmap;
        qToLittleEndian(quint32(0x7fff0000), claimsMorePixels.data() + 34);
        QTest::newRow("pixel data size beyond the file") << false << claimsMorePixels << shorterThanHeader;
        QByteArray claimsMoreRle = rleFile(8, rle8);
        qToLittleEndian(quint32(rle8.size() + 2), claimsMoreRle.data() + 34);
        QTest::newRow("compressed data size beyond the file") << false << claimsMoreRle << shorterThanHeader;

        // The picture is 13 x 7; each file ends its data properly, so only the fault refuses it.
        const QString pastEdge = QStringLiteral("сжатые строки рисунка выходят за его край");
        const QByteArray end("\0\1", 2);
        QTest::newRow("RLE8 run past the right edge") << false << rleFile(8, "\x0e\x01" + end) << pastEdge;
        QTest::newRow("RLE8 runs past the right edge") << false << rleFile(8, "\x0a\x01\x04\x02" + end) << pastEdge;
        QTest::newRow("RLE4 run past the right edge") << false << rleFile(4, "\x0e\x12" + end) << pastEdge;
        QTest::newRow("RLE8 literal run past the right edge")
            << false << rleFile(8, QByteArray("\x0a\x01\0\4\1\2\3\4", 8) + end) << pastEdge;
        QTest::newRow("RLE4 literal run past the right edge")
            << false << rleFile(4, QByteArray("\x0c\x11\0\3\x12\x30", 6) + end) << pastEdge;
        QTest::newRow("RLE8 row above the top") << false << rleFile(8, rle8.chopped(2) + "\x01\x01" + end) << pastEdge;
        QTest::newRow("RLE4 row above the top") << false << rleFile(4, rle4.chopped(2) + "\x01\x11" + end) << pastEdge;
        QTest::newRow("RLE8 line ends above the top")
            << false << rleFile(8, rle8.chopped(2) + QByteArray("\0\0", 2) + end) << pastEdge;
        QTest::newRow("RLE8 move past the right edge")
            << false << rleFile(8, QByteArray("\0\2\x0e\0", 4) + end) << pastEdge;
        QTest::newRow("RLE8 move past the top") << false << rleFile(8, QByteArray("\0\2\0\x08", 4) + end) << pastEdge;
        QTest::newRow("RLE4 move past the top, then a run")
            << false << rleFile(4, QByteArray("\0\2\3\x07\x02\x11", 6) + end) << pastEdge;

        const QString topDown = QStringLiteral("сжатый рисунок записан сверху вниз, чего формат BMP не допускает");
        QTest::newRow("RLE8 stored top-down")
            << false << bitmapFile(8, 1, 6, rle8, pictureWidth, -pictureHeight) << topDown;
        QTest::newRow("RLE4 stored top-down")
            << false << bitmapFile(4, 2, 6, rle4, pictureWidth, -pictureHeight) << topDown;

        // Seven colours drawn, six in the palette.
        const QString pastPalette = QStringLiteral("точки рисунка ссылаются на цвета, которых нет в его палитре");
        QTest::newRow("8 bits, colour past the palette")
            << false << bitmapFile(8, 0, 6, uncompressedPixels(8, 7)) << pastPalette;
        QTest::newRow("4 bits, colour past the palette")
            << false << bitmapFile(4, 0, 6, uncompressedPixels(4, 7)) << pastPalette;
        QTest::newRow("1 bit, colour past a palette of one")
            << false << bitmapFile(1, 0, 1, uncompressedPixels(1, 2)) << pastPalette;
        QTest::newRow("RLE8, colour past the palette") << false << rleFile(8, rlePixels(8, 7)) << pastPalette;
        QTest::newRow("RLE4, colour past the palette") << false << rleFile(4, rlePixels(4, 7)) << pastPalette;
        QTest::newRow("RLE8 literal run, colour past the palette")
            << false << rleFile(8, rlePixels(8, 7, true)) << pastPalette;
        QTest::newRow("RLE4 literal run, colour past the palette")
            << false << rleFile(4, rlePixels(4, 7, true)) << pastPalette;
        QTest::newRow("RLE4 run, second colour past the palette")
            << false << rleFile(4, "\x02\x16" + end) << pastPalette;
    }
    void refusedWithReason() {
        QFETCH(bool, jpeg);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const QString path = writeFile(m_folder, QStringLiteral("bad picture.bmp"), file);
        try {
            jpeg ? loadJpegPicture(path) : loadBitmapPicture(path);
            QFAIL("the picture was read");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Не удалось прочитать рисунок «%1»: %2.").arg(path, reason));
        }
    }

    void missingFile() {
        const QString path = m_folder.filePath(QStringLiteral("missing.jpg"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, loadJpegPicture(path));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, loadBitmapPicture(path));
    }
};

QTEST_GUILESS_MAIN(TestLogoFiles)
#include "test_logo_files.moc"
