#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// The goods CSV file: one line per goods record, its grid columns 0 to 7 joined by ";", with
// no header, quoting or escaping, in Windows-1251.

// The file's lines. Windows-1251 unless the bytes are UTF-8 (a byte order mark, or valid UTF-8);
// lines end in CR LF or LF. A final line end adds no line, but an empty file is one empty line,
// because the import reads the first line before it looks for the end of the file.
QStringList readGoodsLines(QByteArrayView bytes);

// Index 0 is the text before the first ";", the record number; then the fields in order, each
// without the blanks after its ";" but with those before the next, the last one trimmed.
// A line without ";" gives only an empty record number text.
QStringList splitGoodsLine(QStringView line);

// Goods numbers are the grid rows 1 to 9999: row 0 holds the headers and there is no row 10000.
bool isGoodsNumber(int number);

// The message that rejects the text of field `field` (1 to 7 are the grid columns), or an
// empty text when the field is accepted.
QString checkGoodsField(int field, QStringView text);

// A cell that cannot go into the file: `character` is ";", a line break, or a character that
// Windows-1251 cannot hold (a surrogate pair stays whole).
struct UnwritableCell {
    int column;
    QString character;
};
std::optional<UnwritableCell> findUnwritableCell(const QStringList& cells);

// One line of the file: the cells joined by ";" and ended by CR LF. Check them with
// findUnwritableCell first: a ";" would shift the fields and a foreign character becomes "?".
QByteArray goodsLine(const QStringList& cells);
