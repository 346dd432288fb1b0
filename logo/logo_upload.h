#pragma once

#include "grey_picture.h"
#include "logo_frame.h"

#include <functional>
#include <QImage>
#include <QString>
#include <stdexcept>

class RegisterLink;

// What the logo page does with a picture file, without the page: for the command line.

// A file that is no logo picture by its name, or is missing: the user's slip, told in a box.
class LogoFileRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A logo picture by its name: a JPEG when the name holds ".JPG", else a bitmap when it holds ".BMP"
// (either case). Throws LogoFileRefused when the type is neither or the file is missing, and
// std::runtime_error when the picture cannot be read.
GreyPicture loadLogoPicture(const QString& path);

// The copy area the page frames right after opening `picture`: from the top left corner, as wide as
// the picture rounded up to 8 dots and as high, within the preview.
CopyArea openingArea(const GreyPicture& picture);

// Sends `area` of the preview as the register takes a logo: the header, then each row, with three
// attempts each; `step` comes before each row. Stops at the first failure (the link's last result).
void sendLogo(RegisterLink& link, const QImage& preview, const CopyArea& area, const std::function<void()>& step);
