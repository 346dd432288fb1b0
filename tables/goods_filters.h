#pragma once

#include <optional>
#include <QString>
#include <utility>

// What the goods grid's editor keeps of a text typed into `column`: names up
// to 24 characters, barcodes of up to 13 digits, sections up to 16, prices of
// up to 7 integer digits and 2 decimals with "." as the point.
QString filterGoodsCell(int column, const QString& text);

// The text a goods range edit keeps as the user types: a number of up to 4
// digits, never empty or "0". Only the last character is judged, since that is
// the one just typed.
QString filterGoodsRange(const QString& text);

// The goods numbers a range's two texts stand for; empty unless both are
// whole numbers from 1 to 9999.
std::optional<std::pair<int, int>> goodsRange(const QString& first, const QString& last);
// Why a range was refused, for the user.
QString badGoodsRangeText(const QString& first, const QString& last);
