#include "grey_picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <QtNumeric>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason) {
    throw std::runtime_error(QStringLiteral("Не удалось прочитать рисунок «%1»: %2.").arg(path, reason).toStdString());
}

const QString cutShort = QStringLiteral("файл обрывается раньше, чем кончается рисунок");

QString tooLarge(qint64 width, qint64 height) {
    return QStringLiteral("рисунок слишком велик: %1 × %2 точек, можно не больше %3 млн точек")
        .arg(width)
        .arg(height)
        .arg(maxPicturePixels / 1'000'000);
}

bool withinPixelLimit(qint64 width, qint64 height) {
    return width <= maxPicturePixels && height <= maxPicturePixels && width * height <= maxPicturePixels;
}

// A progressive CMYK picture at the pixel limit keeps 8 bytes of coefficients a pixel; the rest is
// libjpeg's working room. Whatever asks for more is refused by the library instead of swapping.
constexpr long jpegMemoryLimit = 8 * maxPicturePixels + (64L << 20);

// libjpeg speaks English; the technician reads why in Russian, with the library's code for support.
QString jpegReason(int code) {
    switch (code) {
    case JERR_NO_SOI:
        return QStringLiteral("это не файл JPEG");
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
    case JWRN_JPEG_EOF:
        return cutShort;
    default:
        return QStringLiteral("файл JPEG повреждён или не поддерживается (код ошибки libjpeg %1)").arg(code);
    }
}

void greyFromRgb(const uint8_t* rgb, int width, uint8_t* grey) {
    for (int x = 0; x < width; ++x, rgb += 3)
        grey[x] = uint8_t((rgb[0] + rgb[1] + rgb[2]) / 3);
}

// Adobe software, which writes nearly all CMYK JPEGs, stores the inks inverted: 255 is no ink.
void greyFromInvertedCmyk(const uint8_t* cmyk, int width, uint8_t* grey) {
    for (int x = 0; x < width; ++x, cmyk += 4) {
        const int k = cmyk[3];
        grey[x] = uint8_t((cmyk[0] * k / 255 + cmyk[1] * k / 255 + cmyk[2] * k / 255) / 3);
    }
}

// libjpeg's default error_exit ends the process; jumping back to decodeJpeg lets the load throw.
struct JpegErrors {
    jpeg_error_mgr manager; // first, so that the library's pointer to it points at the whole
    std::jmp_buf decoder;
};

[[noreturn]] void jumpToDecoder(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->decoder, 1);
}

// Lost picture data draws only a warning and decodes as grey blocks, a spoilt logo on every receipt.
// Other warnings, such as stray bytes between markers from some cameras, do no harm.
void failOnLostData(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 &&
        (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE || code == JWRN_MUST_RESYNC))
        jumpToDecoder(info);
}

struct JpegDecoder {
    jpeg_decompress_struct info{};
    JpegErrors errors;
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }
};

enum class JpegOutcome { Decoded, Failed, TooLarge };

// Failed after a libjpeg error; TooLarge with the picture's size filled in. A longjmp lands here, so
// this frame owns nothing with a destructor and changes none of its own variables.
JpegOutcome decodeJpeg(JpegDecoder& decoder, const QByteArray& bytes, std::vector<uint8_t>& row, GreyPicture& picture) {
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.decoder))
        return JpegOutcome::Failed;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = jpegMemoryLimit;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    jpeg_read_header(&info, TRUE);
    // The header alone decides, before a single row is allocated.
    if (!withinPixelLimit(info.image_width, info.image_height)) {
        picture.width = int(info.image_width);
        picture.height = int(info.image_height);
        return JpegOutcome::TooLarge;
    }
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        info.out_color_space = JCS_RGB;
    }
    jpeg_start_decompress(&info);
    picture.width = int(info.output_width);
    picture.height = int(info.output_height);
    picture.grey.resize(size_t(picture.width) * size_t(picture.height));
    row.resize(size_t(picture.width) * size_t(info.output_components));
    while (info.output_scanline < info.output_height) {
        uint8_t* grey = picture.grey.data() + size_t(info.output_scanline) * size_t(picture.width);
        JSAMPROW rows[] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        if (info.out_color_space == JCS_GRAYSCALE)
            std::copy(row.begin(), row.end(), grey);
        else if (info.out_color_space == JCS_CMYK)
            greyFromInvertedCmyk(row.data(), picture.width, grey);
        else
            greyFromRgb(row.data(), picture.width, grey);
    }
    jpeg_finish_decompress(&info);
    return JpegOutcome::Decoded;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    return file.readAll();
}

// RLE8 and RLE4 data as pairs of a count and a colour; a zero count escapes: 0 ends a line, 1 the
// bitmap, 2 moves by the next two bytes, more copies that many pixels padded to an even byte count.
// True when the data runs out before the end-of-bitmap code.
bool rleCutShort(const QByteArray& bytes, qint64 offset, bool fourBits) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 end = bytes.size();
    for (qint64 at = offset; at + 2 <= end;) {
        const int count = data[at];
        const int code = data[at + 1];
        at += 2;
        if (count != 0 || code == 0)
            continue;
        if (code == 1)
            return false;
        const int pixelBytes = code == 2 ? 2 : fourBits ? (code + 1) / 2 : code;
        at += pixelBytes + pixelBytes % 2;
    }
    return true;
}

// Qt's bitmap reader makes up whatever a cut-short file lacks instead of failing, and allocates the
// whole picture first, so the header is checked here. Empty when the file may go on to Qt; headers it
// cannot make sense of are left to Qt to refuse.
QString bitmapFault(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 26 || !bytes.startsWith("BM"))
        return {};
    const qint64 offset = qFromLittleEndian<quint32>(data + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(data + 14);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bits = 0;
    quint32 compression = 0;
    qint64 imageSize = 0;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(data + 18);
        height = qFromLittleEndian<quint16>(data + 20);
        bits = qFromLittleEndian<quint16>(data + 24);
    } else if (headerSize >= 40 && bytes.size() >= 38) {
        width = qFromLittleEndian<qint32>(data + 18);
        height = qAbs(qint64(qFromLittleEndian<qint32>(data + 22))); // negative when stored top-down
        bits = qFromLittleEndian<quint16>(data + 28);
        compression = qFromLittleEndian<quint32>(data + 30);
        imageSize = qFromLittleEndian<quint32>(data + 34);
    } else {
        return {};
    }
    if (width <= 0 || height == 0)
        return {};
    if (!withinPixelLimit(width, height))
        return tooLarge(width, height);
    if (bits == 0 || bits > 32)
        return {};
    // Uncompressed rows are padded to 4 bytes; compressed data states its own size. The bounds above
    // keep these sums in range, and the checks keep it so should the bounds ever change.
    const bool uncompressed = compression == 0 || compression == 3; // BI_RGB, BI_BITFIELDS
    qint64 pixelBytes = imageSize;
    qint64 rowBits = 0;
    if (uncompressed &&
        (qMulOverflow(width, bits, &rowBits) || qMulOverflow((rowBits + 31) / 32 * 4, height, &pixelBytes)))
        return tooLarge(width, height);
    qint64 end = 0;
    if (qAddOverflow(offset, pixelBytes, &end) || end > bytes.size())
        return cutShort;
    if ((compression == 1 || compression == 2) && rleCutShort(bytes, offset, compression == 2))
        return cutShort;
    return {};
}

} // namespace

GreyPicture loadJpegPicture(const QString& path) {
    const QByteArray bytes = readFile(path);
    JpegDecoder decoder;
    decoder.info.err = jpeg_std_error(&decoder.errors.manager);
    decoder.errors.manager.error_exit = jumpToDecoder;
    decoder.errors.manager.emit_message = failOnLostData;
    std::vector<uint8_t> row;
    GreyPicture picture;
    const JpegOutcome outcome = decodeJpeg(decoder, bytes, row, picture);
    if (outcome == JpegOutcome::TooLarge)
        fail(path, tooLarge(picture.width, picture.height));
    if (outcome == JpegOutcome::Failed)
        fail(path, jpegReason(decoder.info.err->msg_code));
    return picture;
}

GreyPicture loadBitmapPicture(const QString& path) {
    QByteArray bytes = readFile(path);
    if (const QString fault = bitmapFault(bytes); !fault.isEmpty())
        fail(path, fault);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    // Content that another format's plugin would take is still read as a bitmap, and refused.
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read().convertToFormat(QImage::Format_RGB888);
    if (image.isNull())
        fail(path, QStringLiteral("это не рисунок BMP или его вид не поддерживается"));
    GreyPicture picture{image.width(), image.height(), {}};
    picture.grey.resize(size_t(picture.width) * size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        greyFromRgb(image.constScanLine(y), picture.width, picture.grey.data() + size_t(y) * size_t(picture.width));
    return picture;
}
