#include "profile_file.h"

#include "cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <vector>

namespace {

// A file with a byte-order mark is held as UTF-8 while it is edited: the bytes that shape the file
// (blanks, brackets, "=", line ends) stay single bytes there, so one parser serves every encoding.
enum class Encoding { Cp1251, Utf8, Utf16 };

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16Bom("\xFF\xFE");

struct Text {
    Encoding encoding = Encoding::Cp1251;
    QByteArray body;
};

Text decode(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Bom))
        return {Encoding::Utf8, bytes.sliced(kUtf8Bom.size())};
    if (bytes.startsWith(kUtf16Bom)) {
        // A second mark after the first is text, as any other character.
        QStringDecoder toUnicode(QStringConverter::Utf16LE,
                                 QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        return {Encoding::Utf16, QString(toUnicode(bytes.sliced(kUtf16Bom.size()))).toUtf8()};
    }
    return {Encoding::Cp1251, bytes};
}

// Not QString::fromUtf8, which drops a leading U+FEFF as a byte order mark: in the held text it is
// a character of the file, and every rewrite would lose one more.
QString fromHeldText(QByteArrayView text) {
    QStringDecoder toUnicode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return toUnicode(text);
}

QByteArray encode(const Text& text) {
    switch (text.encoding) {
    case Encoding::Utf8:
        return kUtf8Bom.toByteArray() + text.body;
    case Encoding::Utf16: {
        QStringEncoder fromUnicode(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
        return kUtf16Bom.toByteArray() + QByteArray(fromUnicode(fromHeldText(text.body)));
    }
    case Encoding::Cp1251:
        break;
    }
    return text.body;
}

// The caller always speaks Windows-1251, whatever the file holds.
QByteArray toFile(Encoding encoding, QByteArrayView cp1251) {
    return encoding == Encoding::Cp1251 ? cp1251.toByteArray() : fromCp1251(cp1251).toUtf8();
}

QByteArray fromFile(Encoding encoding, QByteArrayView text) {
    return encoding == Encoding::Cp1251 ? text.toByteArray() : toCp1251(fromHeldText(text));
}

// 0x1A is the DOS end-of-file mark; 0xA0 is a letter of the code page, not a blank.
bool isBlank(char c) {
    return (c >= '\x09' && c <= '\x0D') || c == '\x1A' || c == ' ';
}

QByteArrayView trimmedLeading(QByteArrayView text) {
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    return text.sliced(begin);
}

QByteArrayView trimmed(QByteArrayView text) {
    text = trimmedLeading(text);
    qsizetype end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.first(end);
}

// One pair of equal quotes around the whole text goes, nothing more.
QByteArrayView unquoted(QByteArrayView text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        return text.sliced(1, text.size() - 2);
    return text;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: a Cyrillic name must match in its own case.
bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

struct Entry {
    QByteArrayView name;
    QByteArrayView value;
    bool hasValue = true;
};

struct Section {
    QByteArrayView name;
    // Lines before the first header form a section without one.
    bool hasHeader = true;
    std::vector<Entry> entries;
};

using Sections = std::vector<Section>;

// Views into `text`, which must outlive the result.
Sections parse(QByteArrayView text) {
    Sections sections;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const QByteArrayView line = trimmed(text.sliced(pos, end - pos));
        pos = end;
        while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n'))
            ++pos;
        if (line.isEmpty())
            continue;
        const qsizetype close = line.lastIndexOf(']');
        if (line.front() == '[' && close > 0) {
            sections.push_back({trimmed(line.sliced(1, close - 1)), true, {}});
            continue;
        }
        if (sections.empty())
            sections.push_back({{}, false, {}});
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            sections.back().entries.push_back({line, {}, false});
        else
            sections.back().entries.push_back({trimmed(line.first(equals)), trimmed(line.sliced(equals + 1)), true});
    }
    return sections;
}

QByteArray serialize(const Sections& sections, qsizetype sizeHint) {
    QByteArray out;
    out.reserve(sizeHint + sizeHint / 8 + 64);
    for (const Section& section : sections) {
        if (section.hasHeader)
            out.append('[').append(section.name).append("]\r\n");
        for (const Entry& entry : section.entries) {
            out.append(entry.name);
            if (entry.hasValue)
                out.append('=').append(entry.value);
            out.append("\r\n");
        }
    }
    return out;
}

Section* findSection(Sections& sections, QByteArrayView name) {
    for (Section& section : sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

// A line without "=" is found by its whole text, so it shadows a later key of that name.
Entry* findEntry(Section& section, QByteArrayView name) {
    for (Entry& entry : section.entries) {
        if (sameName(entry.name, name))
            return &entry;
    }
    return nullptr;
}

// The platform trims a default less than a stored value: only trailing spaces.
QByteArray fallbackValue(QByteArrayView fallback) {
    qsizetype end = fallback.size();
    while (end > 0 && fallback[end - 1] == ' ')
        --end;
    return unquoted(fallback.first(end)).toByteArray();
}

} // namespace

QByteArray ProfileFile::value(QByteArrayView section, QByteArrayView key, QByteArrayView fallback) const {
    if (!m_exists)
        return fallbackValue(fallback);
    const Text text = decode(m_bytes);
    Sections sections = parse(text.body);
    Section* found = findSection(sections, trimmed(toFile(text.encoding, section)));
    const Entry* entry = found ? findEntry(*found, trimmed(toFile(text.encoding, key))) : nullptr;
    if (!entry || !entry->hasValue)
        return fallbackValue(fallback);
    return fromFile(text.encoding, unquoted(entry->value));
}

bool ProfileFile::write(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    Text text = decode(m_bytes);
    const QByteArray sectionName = toFile(text.encoding, trimmedLeading(section));
    const QByteArray keyName = toFile(text.encoding, trimmedLeading(key));
    const QByteArray newValue = toFile(text.encoding, trimmedLeading(value));

    Sections sections = parse(text.body);
    Section* found = findSection(sections, trimmed(sectionName));
    if (!found) {
        sections.push_back({sectionName, true, {{keyName, newValue, true}}});
    } else if (Entry* entry = findEntry(*found, trimmed(keyName))) {
        if (entry->hasValue && entry->value == QByteArrayView(newValue))
            return false;
        entry->value = newValue;
        entry->hasValue = true;
    } else {
        found->entries.push_back({keyName, newValue, true});
    }
    text.body = serialize(sections, text.body.size());
    m_bytes = encode(text);
    m_exists = true;
    return true;
}

void ProfileFile::removeValuelessEntries(QByteArrayView section) {
    if (!m_exists)
        return;
    Text text = decode(m_bytes);
    Sections sections = parse(text.body);
    Section* found = findSection(sections, trimmed(toFile(text.encoding, section)));
    if (!found)
        return;
    const auto removed = std::erase_if(found->entries, [](const Entry& entry) { return !entry.hasValue; });
    if (removed == 0)
        return;
    text.body = serialize(sections, text.body.size());
    m_bytes = encode(text);
}

void ProfileFile::rewrite() {
    if (!m_exists)
        return;
    Text text = decode(m_bytes);
    text.body = serialize(parse(text.body), text.body.size());
    m_bytes = encode(text);
}
