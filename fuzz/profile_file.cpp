// The INI profile reader and writer: any settings file is read, changed and rewritten without
// harm, and a value written is the value read back.
#include "profile_file.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Blanks before a byte order mark are dropped by a write, as the platform drops them, and the
    // file then reads as UTF-8 or UTF-16 (either byte order): the platform's own quirk, kept, so
    // no property holds.
    qsizetype blanks = 0;
    while (blanks < bytes.size() && (QByteArrayView(" \t\n\v\f\r\x1A").contains(bytes[blanks])))
        ++blanks;
    const QByteArrayView start = QByteArrayView(bytes).sliced(blanks);
    if (blanks > 0 &&
        (start.startsWith("\xEF\xBB\xBF") || start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")))
        return 0;
    ProfileFile file(bytes);
    file.value("KKMOptions", "cb_CodeSell", "0");
    file.value("KKMReklama", "Line1");

    file.write("KKMOptions", "Written", "a value");
    FUZZ_CHECK(file.value("KKMOptions", "Written") == "a value");

    file.removeValuelessEntries("KKMOperators");
    file.rewrite();
    const QByteArray once = file.bytes();
    FUZZ_CHECK(file.value("KKMOptions", "Written") == "a value");
    file.rewrite();
    FUZZ_CHECK(file.bytes() == once);
    return 0;
}
