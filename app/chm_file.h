#pragma once

#include <memory>
#include <optional>
#include <QByteArray>
#include <QString>

struct chmFile;

// Read-only access to the files stored in a compiled HTML Help (.chm) archive.
class ChmFile {
public:
    explicit ChmFile(const QString& path);

    bool isOpen() const { return m_file != nullptr; }
    // Paths start with "/" ("/plu.htm"); ASCII letters match in any case.
    bool contains(const QString& path) const;
    std::optional<QByteArray> read(const QString& path) const;

private:
    struct Closer {
        void operator()(chmFile* file) const;
    };
    std::unique_ptr<chmFile, Closer> m_file;
};

// The page of a help topic: the topic with ".htm" appended unless it already ends in ".htm" or ".html".
QString helpTopicPage(const QString& topic);

// Decodes an HTML page by the charset its BOM or meta tag declares, UTF-8 if none; bytes that are
// not valid in that charset are read as Windows-1251.
QString decodeHelpPage(const QByteArray& html);
