#pragma once

#include <QByteArray>
#include <QByteArrayView>

// An INI file as the platform's profile functions read and write it, held in
// memory. Every call works as those functions do on the file: a read parses
// the current bytes; a write parses them, changes one entry and, only when the
// value differs, serializes the whole file again (CRLF, blanks trimmed, blank
// lines dropped). Texts are Windows-1251 bytes; names match ignoring ASCII case.
class ProfileFile {
public:
    // An absent file: reads give their defaults; the first write creates it.
    ProfileFile() = default;
    // A file's bytes as they are on disk.
    explicit ProfileFile(QByteArray bytes)
        : m_bytes(std::move(bytes))
        , m_exists(true) {}

    // The bytes to store; meaningful when exists().
    const QByteArray& bytes() const { return m_bytes; }
    bool exists() const { return m_exists; }

    // The value of `key` in the first section named `section`, without the blanks around it
    // and one pair of enclosing quotes; `fallback` (trimmed as the platform trims a default)
    // when the file, section or key is missing.
    QByteArray value(QByteArrayView section, QByteArrayView key, QByteArrayView fallback = {}) const;

    // Sets `key` in the first section named `section`: replaced where it stands, else appended
    // to that section, else in a new section at the end. Returns false when the stored value
    // is already byte-equal, in which case nothing changes.
    bool write(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    // Removes the entries without "=" from the first section named `section`: the tails left
    // behind by values that held a line break.
    void removeValuelessEntries(QByteArrayView section);
    // Serializes the file from its parsed form, as any changing write does: a
    // value's raw line break becomes a line end of the file.
    void rewrite();

private:
    QByteArray m_bytes;
    bool m_exists = false;
};
