// The logo renderer as the sliders drive it (a 4000 x 3000 source rendered at 10, 100 and 500 %)
// and the load of a 12-megapixel JPEG, as a camera photo would come.
#include "grey_picture.h"
#include "logo_preview.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int sourceWidth = 4000;
constexpr int sourceHeight = 3000;

template <typename Work> double medianSeconds(int runs, Work&& work) {
    std::vector<double> seconds;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(seconds.begin(), seconds.begin() + runs / 2, seconds.end());
    return seconds[size_t(runs / 2)];
}

// Smooth shading with sharp-edged squares, so that the JPEG holds both flat and busy blocks.
int greyAt(int x, int y) {
    return (x * 255 / sourceWidth + y * 255 / sourceHeight) / 2 + ((x / 40 + y / 40) % 2) * 60;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);

    GreyPicture picture{sourceWidth, sourceHeight, {}};
    picture.grey.reserve(size_t(sourceWidth) * sourceHeight);
    for (int y = 0; y < sourceHeight; ++y) {
        for (int x = 0; x < sourceWidth; ++x)
            picture.grey.push_back(uint8_t(greyAt(x, y)));
    }
    QImage preview;
    for (const int percent : {10, 100, 500}) {
        const RenderSettings settings{50, percent, percent, false};
        const double seconds = medianSeconds(2001, [&] { renderLogo(picture, settings, preview); });
        std::printf("render_%dpct_us: %.1f us\n", percent, seconds * 1e6);
    }

    QImage photo(sourceWidth, sourceHeight, QImage::Format_RGB888);
    for (int y = 0; y < sourceHeight; ++y) {
        uchar* line = photo.scanLine(y);
        for (int x = 0; x < sourceWidth; ++x, line += 3) {
            const int grey = greyAt(x, y);
            line[0] = uchar(grey);
            line[1] = uchar(255 - grey);
            line[2] = uchar(x % 256);
        }
    }
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    if (!photo.save(path, "JPG", 90)) {
        std::fprintf(stderr, "cannot write %s: no JPEG writer in Qt?\n", qPrintable(path));
        return EXIT_FAILURE;
    }
    const double seconds = medianSeconds(7, [&] { picture = loadJpegPicture(path); });
    std::printf("jpeg_load_12mp_ms: %.1f ms\n", seconds * 1e3);
    return picture.width == sourceWidth ? EXIT_SUCCESS : EXIT_FAILURE;
}
