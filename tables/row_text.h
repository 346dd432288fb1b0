#pragma once

#include <QByteArray>
#include <QString>

// Fixed-width texts inside register rows: single-byte Windows-1251
// characters, padded with blanks.
namespace RowText {

// `length` characters from `offset`, trailing blanks kept; a zero byte ends the text.
QString read(const QByteArray& row, int offset, int length);
// `length` characters from `offset` as they are, zero bytes included: a grid cell goes back to the
// register byte for byte when the user has not changed it.
QString whole(const QByteArray& row, int offset, int length);
// The text padded with blanks to `length` characters; a longer text is cut.
QByteArray encode(const QString& text, int length);

} // namespace RowText
