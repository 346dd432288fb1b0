#include "grey_picture.h"

#include "bitmap_check.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
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

// Qt's bitmap reader makes good what a damaged file lacks instead of failing, so the file is
// checked first; empty when it may go on to Qt.
QString bitmapReason(const BitmapFault& fault) {
    switch (fault.kind) {
    case BitmapFault::None:
        return {};
    case BitmapFault::TooLarge:
        return tooLarge(fault.width, fault.height);
    case BitmapFault::CutShort:
        return cutShort;
    case BitmapFault::ShorterThanHeader:
        return QStringLiteral("файл короче, чем сказано в его заголовке");
    case BitmapFault::PastEdge:
        return QStringLiteral("сжатые строки рисунка выходят за его край");
    case BitmapFault::TopDownCompressed:
        return QStringLiteral("сжатый рисунок записан сверху вниз, чего формат BMP не допускает");
    case BitmapFault::ColourPastPalette:
        return QStringLiteral("точки рисунка ссылаются на цвета, которых нет в его палитре");
    }
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
    if (const QString fault = bitmapReason(checkBitmap(bytes)); !fault.isEmpty())
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
