#include "profile_file.h"

#include "cp1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

// A file with a byte-order mark is held as UTF-8 while it is edited: the bytes that shape the file
// (blanks, brackets, "=", line ends) stay single bytes there, so one parser serves every encoding.
enum class ProfileEncoding { Cp1251, Utf8, Utf16LE, Utf16BE };

struct ProfileEntry {
    QByteArray name;
    QByteArray value;
    bool hasValue = true;
};

// A section named "" after the first is written without its header, so its entries then join the
// section before it.
struct ProfileSection {
    QByteArray name;
    std::vector<ProfileEntry> entries;
};

namespace {

using Encoding = ProfileEncoding;
using Entry = ProfileEntry;
using Section = ProfileSection;
using Sections = std::vector<Section>;

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LEBom("\xFF\xFE");
constexpr QByteArrayView kUtf16BEBom("\xFE\xFF");

struct Text {
    Encoding encoding = Encoding::Cp1251;
    QByteArray body;
};

// A second mark after the first is text, as any other character.
QByteArray utf16ToHeldText(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder toUnicode(encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return QString(toUnicode(bytes)).toUtf8();
}

Text decode(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Bom))
        return {Encoding::Utf8, bytes.sliced(kUtf8Bom.size())};
    if (bytes.startsWith(kUtf16LEBom))
        return {Encoding::Utf16LE, utf16ToHeldText(QStringConverter::Utf16LE, bytes.sliced(kUtf16LEBom.size()))};
    if (bytes.startsWith(kUtf16BEBom))
        return {Encoding::Utf16BE, utf16ToHeldText(QStringConverter::Utf16BE, bytes.sliced(kUtf16BEBom.size()))};
    return {Encoding::Cp1251, bytes};
}

// Not QString::fromUtf8, which drops a leading U+FEFF as a byte order mark: in the held text it is
// a character of the file, and every rewrite would lose one more.
QString fromHeldText(QByteArrayView text) {
    QStringDecoder toUnicode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return toUnicode(text);
}

QByteArray heldTextToUtf16(QStringConverter::Encoding encoding, const QByteArray& body) {
    QStringEncoder fromUnicode(encoding, QStringConverter::Flag::Stateless);
    return fromUnicode(fromHeldText(body));
}

QByteArray encode(Encoding encoding, const QByteArray& body) {
    switch (encoding) {
    case Encoding::Utf8:
        return kUtf8Bom.toByteArray() + body;
    case Encoding::Utf16LE:
        return kUtf16LEBom.toByteArray() + heldTextToUtf16(QStringConverter::Utf16LE, body);
    case Encoding::Utf16BE:
        return kUtf16BEBom.toByteArray() + heldTextToUtf16(QStringConverter::Utf16BE, body);
    case Encoding::Cp1251:
        break;
    }
    return body;
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

// The platform holds names and values as C strings: a NUL byte ends them.
QByteArrayView untilNul(QByteArrayView text) {
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
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

struct Parsed {
    Sections sections;
    // Whether the sections, written out and read again, are the same: not so when a NUL cut a
    // text short, or a section without a name loses its header.
    bool settled = true;
};

Parsed parse(QByteArrayView text) {
    Parsed parsed{Sections(1), !text.contains('\0')};
    Sections& sections = parsed.sections;
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
            sections.push_back({untilNul(trimmed(line.sliced(1, close - 1))).toByteArray(), {}});
            parsed.settled = parsed.settled && !sections.back().name.isEmpty();
            continue;
        }
        std::vector<Entry>& entries = sections.back().entries;
        const qsizetype equals = line.indexOf('=');
        const QByteArrayView name = equals < 0 ? line : trimmed(line.first(equals));
        // Of consecutive entries without a name the platform keeps the first only.
        if (name.isEmpty() && !entries.empty() && entries.back().name.isEmpty())
            continue;
        if (equals < 0)
            entries.push_back({untilNul(name).toByteArray(), {}, false});
        else
            entries.push_back({untilNul(name).toByteArray(), untilNul(trimmed(line.sliced(equals + 1))).toByteArray()});
    }
    return parsed;
}

QByteArray serialize(const Sections& sections) {
    qsizetype size = 0;
    for (const Section& section : sections) {
        size += section.name.size() + 4;
        for (const Entry& entry : section.entries)
            size += entry.name.size() + entry.value.size() + 3;
    }
    QByteArray out;
    out.reserve(size);
    for (const Section& section : sections) {
        if (&section != &sections.front() && !section.name.isEmpty())
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

// Whether a line holding `text` parses back to `text` itself.
bool parsesAsItself(QByteArrayView text) {
    return trimmed(text).size() == text.size() && !text.contains('\r') && !text.contains('\n');
}

// Whether an entry written as given parses back to the same entry: a name with "=" would be cut
// there, one like "[x]" would be a header.
bool entryParsesAsItself(QByteArrayView name, QByteArrayView value) {
    return !name.isEmpty() && parsesAsItself(name) && parsesAsItself(value) && !name.contains('=') &&
           !(name.front() == '[' && name.contains(']'));
}

const Section* findSection(const Sections& sections, QByteArrayView name) {
    for (const Section& section : sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

Section* findSection(Sections& sections, QByteArrayView name) {
    return const_cast<Section*>(findSection(std::as_const(sections), name));
}

// A line without "=" is found by its whole text, so it shadows a later key of that name.
const Entry* findEntry(const Section& section, QByteArrayView name) {
    for (const Entry& entry : section.entries) {
        if (sameName(entry.name, name))
            return &entry;
    }
    return nullptr;
}

Entry* findEntry(Section& section, QByteArrayView name) {
    return const_cast<Entry*>(findEntry(std::as_const(section), name));
}

// The platform trims a default less than a stored value: only trailing spaces.
QByteArray fallbackValue(QByteArrayView fallback) {
    qsizetype end = fallback.size();
    while (end > 0 && fallback[end - 1] == ' ')
        --end;
    return unquoted(fallback.first(end)).toByteArray();
}

} // namespace

ProfileFile::ProfileFile()
    : m_encoding(Encoding::Cp1251)
    , m_sections(1) {}

ProfileFile::ProfileFile(const QByteArray& bytes)
    : m_bytes(bytes)
    , m_exists(true) {
    Text text = decode(bytes);
    m_encoding = text.encoding;
    Parsed parsed = parse(text.body);
    m_sections = std::move(parsed.sections);
    m_settled = parsed.settled;
}

ProfileFile::ProfileFile(const ProfileFile&) = default;
ProfileFile& ProfileFile::operator=(const ProfileFile&) = default;
ProfileFile::~ProfileFile() = default;

const QByteArray& ProfileFile::bytes() const {
    if (m_bytesStale) {
        m_bytes = encode(m_encoding, serialize(m_sections));
        m_bytesStale = false;
    }
    return m_bytes;
}

void ProfileFile::changed(bool readsBackAsIs) {
    m_exists = true;
    if (readsBackAsIs && m_settled) {
        m_bytesStale = true;
        return;
    }
    // The platform reads the file again before its next call, and what was just written may
    // read back otherwise (a value's line break ends its line there).
    m_bytes = encode(m_encoding, serialize(m_sections));
    m_bytesStale = false;
    Parsed parsed = parse(decode(m_bytes).body);
    m_sections = std::move(parsed.sections);
    m_settled = parsed.settled;
}

QByteArray ProfileFile::value(QByteArrayView section, QByteArrayView key, QByteArrayView fallback) const {
    if (!m_exists)
        return fallbackValue(fallback);
    const Section* found = findSection(m_sections, trimmed(toFile(m_encoding, untilNul(section))));
    const Entry* entry = found ? findEntry(*found, trimmed(toFile(m_encoding, untilNul(key)))) : nullptr;
    if (!entry || !entry->hasValue)
        return fallbackValue(fallback);
    return fromFile(m_encoding, unquoted(entry->value));
}

bool ProfileFile::write(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    const QByteArray sectionName = toFile(m_encoding, trimmedLeading(untilNul(section)));
    const QByteArray keyName = toFile(m_encoding, trimmedLeading(untilNul(key)));
    const QByteArray newValue = toFile(m_encoding, trimmedLeading(untilNul(value)));

    Section* found = findSection(m_sections, trimmed(sectionName));
    if (!found) {
        m_sections.push_back({sectionName, {{keyName, newValue, true}}});
        changed(parsesAsItself(sectionName) && entryParsesAsItself(keyName, newValue));
    } else if (Entry* entry = findEntry(*found, trimmed(keyName))) {
        if (entry->hasValue && entry->value == newValue)
            return false;
        entry->value = newValue;
        entry->hasValue = true;
        changed(entryParsesAsItself(entry->name, newValue));
    } else {
        found->entries.push_back({keyName, newValue, true});
        changed(entryParsesAsItself(keyName, newValue));
    }
    return true;
}

void ProfileFile::removeValuelessEntries(QByteArrayView section) {
    if (!m_exists)
        return;
    Section* found = findSection(m_sections, trimmed(toFile(m_encoding, untilNul(section))));
    if (!found)
        return;
    const auto removed = std::erase_if(found->entries, [](const Entry& entry) { return !entry.hasValue; });
    // Two entries without a name may now stand together, and the platform would read one.
    if (removed > 0)
        changed(false);
}

void ProfileFile::rewrite() {
    if (m_exists)
        changed(true);
}
