#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

enum class ProfileEncoding;
struct ProfileSection;

// An INI file as the platform's profile functions read and write it, held in
// memory. Every call works as those functions do on the file: a read sees the
// file as it was last written; a write changes one entry and, only when the
// value differs, writes the whole file again (CRLF, blanks trimmed, blank
// lines dropped). Texts are Windows-1251 bytes; names match ignoring ASCII case.
// The file is parsed once; the bytes are made again only when asked for.
class ProfileFile {
public:
    // An absent file: reads give their defaults; the first write creates it.
    ProfileFile();
    // A file's bytes as they are on disk.
    explicit ProfileFile(const QByteArray& bytes);
    ProfileFile(const ProfileFile&);
    ProfileFile& operator=(const ProfileFile&);
    ~ProfileFile();

    // The bytes to store; meaningful when exists().
    const QByteArray& bytes() const;
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
    // After a change: `readsBackAsIs` says the parsed form still equals what the platform would
    // read from the file now, so the bytes can wait until asked for.
    void changed(bool readsBackAsIs);

    ProfileEncoding m_encoding;
    // The first holds the lines before the first header and is written without one.
    std::vector<ProfileSection> m_sections;
    // Whether the sections are what the platform would read back from the file they make.
    bool m_settled = true;
    mutable QByteArray m_bytes;
    mutable bool m_bytesStale = false;
    bool m_exists = false;
};
