// The goods CSV codec: any file is read and checked without harm, and a line the export accepts
// comes back from the file as the same fields.
#include "fuzz_check.h"
#include "goods_csv.h"

#include <cstddef>
#include <cstdint>

namespace {

bool hasNonAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QStringList lines = readGoodsLines(QByteArrayView(data, static_cast<qsizetype>(size)));
    for (const QString& line : lines) {
        const QStringList fields = splitGoodsLine(line);
        for (int field = 1; field < fields.size(); ++field)
            checkGoodsField(field, fields[field]);
        // The export writes only lines of the grid's goods, each led by its number.
        bool isNumber = false;
        if (findUnwritableCell(fields) || !isGoodsNumber(fields.front().toInt(&isNumber)) || !isNumber)
            continue;
        const QByteArray exported = goodsLine(fields);
        // The import takes valid UTF-8 for UTF-8: Windows-1251 bytes that happen to form it
        // (such as a lone "Рё") are read as other letters, which the file cannot tell apart.
        if (hasNonAscii(exported) && exported.isValidUtf8())
            continue;
        const QStringList again = readGoodsLines(exported);
        FUZZ_CHECK(again.size() == 1);
        FUZZ_CHECK(splitGoodsLine(again.front()) == fields);
    }
    return 0;
}
