// The picture loader: a hostile bitmap or JPEG is refused with an error, never a crash, an
// overrun or gigabytes of memory, and an accepted one has as many greys as pixels.
#include "fuzz_check.h"
#include "grey_picture.h"

#include <cstddef>
#include <cstdint>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

void checkLoaded(GreyPicture (*load)(const QString&), const QString& path) {
    try {
        const GreyPicture picture = load(path);
        FUZZ_CHECK(qint64(picture.width) * picture.height <= maxPicturePixels);
        FUZZ_CHECK(picture.grey.size() == std::size_t(picture.width) * std::size_t(picture.height));
    } catch (const std::runtime_error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("picture"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
    file.close();
    checkLoaded(loadBitmapPicture, path);
    checkLoaded(loadJpegPicture, path);
    return 0;
}
