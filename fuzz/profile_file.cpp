// The INI profile reader and writer: any settings file is read, changed and rewritten without
// harm, and a value written is the value read back.
#include "fuzz_check.h"
#include "profile_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ProfileFile file(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
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
