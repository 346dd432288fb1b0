#include "bitmap_check.h"

#include "grey_picture.h"

#include <QtEndian>
#include <QtNumeric>

namespace {

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, Bitfields = 3 };

struct Header {
    qint64 fileSize = 0;
    qint64 offset = 0; // where the pixel data starts
    qint64 width = 0;
    qint64 height = 0; // negative when stored top-down
    int bits = 0;
    quint32 compression = Rgb;
    qint64 imageSize = 0; // the pixel data's size, 0 when not given
    qint64 colours = 0;   // palette entries of an indexed picture, as Qt's reader counts them
};

enum class Parsed { Read, CutShort, Unknown };

// The file header and the OS/2 (12 bytes) or Windows (40 bytes and longer) picture header.
Parsed readHeader(const QByteArray& bytes, Header& header) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() < 18 || !bytes.startsWith("BM"))
        return Parsed::Unknown;
    header.fileSize = qFromLittleEndian<quint32>(data + 2);
    header.offset = qFromLittleEndian<quint32>(data + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(data + 14);
    qint64 paletteEntries = 0;
    if (headerSize == 12) {
        if (bytes.size() < 14 + 12)
            return Parsed::CutShort;
        header.width = qFromLittleEndian<quint16>(data + 18);
        header.height = qFromLittleEndian<quint16>(data + 20);
        header.bits = qFromLittleEndian<quint16>(data + 24);
    } else if (headerSize >= 40) {
        if (bytes.size() < 14 + 40)
            return Parsed::CutShort;
        header.width = qFromLittleEndian<qint32>(data + 18);
        header.height = qFromLittleEndian<qint32>(data + 22);
        header.bits = qFromLittleEndian<quint16>(data + 28);
        header.compression = qFromLittleEndian<quint32>(data + 30);
        header.imageSize = qFromLittleEndian<quint32>(data + 34);
        paletteEntries = qFromLittleEndian<quint32>(data + 46);
    } else {
        return Parsed::Unknown;
    }
    if (header.bits <= 8)
        header.colours = paletteEntries != 0 ? paletteEntries : qint64(1) << header.bits;
    return Parsed::Read;
}

// RLE8 and RLE4 data as pairs of a count and a colour (two alternating colours in RLE4); a zero
// count escapes: 0 ends a line, 1 the bitmap, 2 moves right and up by the next two bytes, more
// copies that many pixels padded to an even byte count. Painted from the bottom-left corner.
BitmapFault::Kind rleFault(const QByteArray& bytes, const Header& header) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 end = bytes.size();
    const bool fourBits = header.compression == Rle4;
    const qint64 rows = header.height;
    qint64 x = 0;
    qint64 y = 0;
    const auto paint = [&](qint64 count) {
        if (y >= rows || count > header.width - x)
            return false;
        x += count;
        return true;
    };
    const auto known = [&](int colour) { return colour < header.colours; };
    for (qint64 at = header.offset; at + 2 <= end;) {
        const int count = data[at];
        const int code = data[at + 1];
        at += 2;
        if (count != 0) {
            if (!paint(count))
                return BitmapFault::PastEdge;
            const bool twoColours = fourBits && count > 1;
            if (!known(fourBits ? code >> 4 : code) || (twoColours && !known(code & 0x0f)))
                return BitmapFault::ColourPastPalette;
        } else if (code == 0) {
            x = 0;
            if (++y > rows)
                return BitmapFault::PastEdge;
        } else if (code == 1) {
            return BitmapFault::None;
        } else if (code == 2) {
            if (at + 2 > end)
                return BitmapFault::CutShort;
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > header.width || y > rows)
                return BitmapFault::PastEdge;
        } else {
            const qint64 pixelBytes = fourBits ? (code + 1) / 2 : code;
            if (at + pixelBytes + pixelBytes % 2 > end)
                return BitmapFault::CutShort;
            if (!paint(code))
                return BitmapFault::PastEdge;
            for (int i = 0; i < code; ++i) {
                const int colour = fourBits ? (data[at + i / 2] >> (i % 2 ? 0 : 4)) & 0x0f : data[at + i];
                if (!known(colour))
                    return BitmapFault::ColourPastPalette;
            }
            at += pixelBytes + pixelBytes % 2;
        }
    }
    return BitmapFault::CutShort;
}

// Uncompressed rows of 1, 4 or 8 bits a pixel, the leftmost pixel in the highest bits.
bool colourPastPalette(const QByteArray& bytes, const Header& header, qint64 rowBytes) {
    const auto* pixels = reinterpret_cast<const uchar*>(bytes.constData()) + header.offset;
    const int bits = header.bits;
    const int mask = (1 << bits) - 1;
    const qint64 rows = qAbs(header.height);
    for (qint64 y = 0; y < rows; ++y, pixels += rowBytes) {
        for (qint64 bit = 0; bit < header.width * bits; bit += bits) {
            if ((pixels[bit / 8] >> (8 - bits - bit % 8) & mask) >= header.colours)
                return true;
        }
    }
    return false;
}

} // namespace

BitmapFault checkBitmap(const QByteArray& bytes) {
    Header header;
    const Parsed parsed = readHeader(bytes, header);
    if (parsed != Parsed::Read)
        return {parsed == Parsed::CutShort ? BitmapFault::CutShort : BitmapFault::None};
    const qint64 width = header.width;
    const qint64 rows = qAbs(header.height);
    if (width <= 0 || rows == 0)
        return {};
    if (!withinPixelLimit(width, rows))
        return {BitmapFault::TooLarge, width, rows};
    if (header.bits == 0 || header.bits > 32)
        return {};
    const bool uncompressed = header.compression == Rgb || header.compression == Bitfields;
    // Compressed data of another depth is Qt's to refuse.
    const bool rle =
        (header.compression == Rle8 && header.bits == 8) || (header.compression == Rle4 && header.bits == 4);
    // The size checks above keep these sums in range, and the overflow checks keep it so should
    // they ever change.
    qint64 rowBits = 0;
    qint64 rowBytes = 0;
    qint64 pixelBytes = 0;
    qint64 pixelEnd = 0;
    if (uncompressed) {
        if (qMulOverflow(width, qint64(header.bits), &rowBits) ||
            qMulOverflow((rowBits + 31) / 32 * 4, rows, &pixelBytes))
            return {BitmapFault::TooLarge, width, rows};
        rowBytes = (rowBits + 31) / 32 * 4;
        if (qAddOverflow(header.offset, pixelBytes, &pixelEnd) || pixelEnd > bytes.size())
            return {BitmapFault::CutShort};
    } else if (rle) {
        if (header.height < 0)
            return {BitmapFault::TopDownCompressed};
        if (const auto fault = rleFault(bytes, header); fault != BitmapFault::None)
            return {fault};
    }
    if (header.fileSize > bytes.size() || header.offset + header.imageSize > bytes.size())
        return {BitmapFault::ShorterThanHeader};
    const bool indexed = header.bits == 1 || header.bits == 4 || header.bits == 8;
    if (uncompressed && indexed && header.colours < (qint64(1) << header.bits) &&
        colourPastPalette(bytes, header, rowBytes))
        return {BitmapFault::ColourPastPalette};
    return {};
}
