#pragma once

#include <optional>
#include <QString>
#include <utility>

// Whether `text` is a whole value the register takes in `column`: a name of up
// to 24 characters that Windows-1251 holds, without ";"; a barcode of up to 13
// digits; a section from 0 to 16; a price of up to 7 integer digits and 2
// decimals with "." as the point. An empty text fits.
bool goodsCellFits(int column, QStringView text);

// What the goods grid's editor keeps after a change from `previous` to `text`,
// typed or pasted: a name without the characters it cannot hold, cut to 24;
// in the other columns the new text when the whole of it fits, else `previous`.
QString filterGoodsCell(int column, const QString& text, const QString& previous);

// The text a goods range edit keeps as the user types: a number of up to 4
// digits, never empty or "0". Only the last character is judged, since that is
// the one just typed.
QString filterGoodsRange(const QString& text);

// The goods numbers a range's two texts stand for; empty unless both are
// whole numbers from 1 to 9999.
std::optional<std::pair<int, int>> goodsRange(const QString& first, const QString& last);
// Why a range was refused, for the user.
QString badGoodsRangeText(const QString& first, const QString& last);
