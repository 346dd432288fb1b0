#include "logo_upload.h"

#include "logo_preview.h"
#include "logo_records.h"
#include "register_link.h"

#include <algorithm>
#include <QFileInfo>

namespace {
constexpr int uploadAttempts = 3;
} // namespace

GreyPicture loadLogoPicture(const QString& path) {
    const QString upper = path.toUpper();
    const bool jpeg = upper.contains(QLatin1String(".JPG"));
    if (!jpeg && !upper.contains(QLatin1String(".BMP")))
        throw LogoFileRefused("Неподдерживаемый тип файла");
    if (!QFileInfo::exists(path))
        throw LogoFileRefused("Файл не найден");
    return jpeg ? loadJpegPicture(path) : loadBitmapPicture(path);
}

CopyArea openingArea(const GreyPicture& picture) {
    CopyArea area;
    area.right = (std::min(picture.width, previewWidth) + 7) / 8 * 8 - 1;
    area.bottom = std::min(picture.height, previewHeight) - 1;
    return area;
}

void sendLogo(RegisterLink& link, const QImage& preview, const CopyArea& area, const std::function<void()>& step) {
    const auto send = [&link](int32_t kind, const QByteArray& record) {
        return link.attempt(uploadAttempts, [&] {
            return link.api.WriteLogo(link.kkmAddr, link.pcAddr, kind,
                                      reinterpret_cast<const uint8_t*>(record.constData()), int32_t(record.size() - 1));
        });
    };
    if (send(0, logoHeader(area)) < 0)
        return;
    for (int y = area.top; y <= area.bottom; ++y) {
        step();
        if (send(1, logoRow(preview, area, y)) < 0)
            return;
    }
}
