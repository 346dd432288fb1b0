#include "chm_file.h"

#include <chm_lib.h>
#include <QFile>
#include <QStringDecoder>

namespace {

// A damaged directory can claim any length; help pages and pictures are far smaller.
constexpr LONGUINT64 maxObjectSize = 64 * 1024 * 1024;

} // namespace

void ChmFile::Closer::operator()(chmFile* file) const {
    chm_close(file);
}

ChmFile::ChmFile(const QString& path)
    : m_file(chm_open(QFile::encodeName(path).constData())) {}

bool ChmFile::contains(const QString& path) const {
    chmUnitInfo unit{};
    return m_file && chm_resolve_object(m_file.get(), path.toUtf8().constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmFile::read(const QString& path) const {
    chmUnitInfo unit{};
    if (!m_file || chm_resolve_object(m_file.get(), path.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS ||
        unit.length > maxObjectSize)
        return std::nullopt;
    QByteArray data(qsizetype(unit.length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(m_file.get(), &unit, reinterpret_cast<unsigned char*>(data.data()), 0, data.size());
    if (got != data.size())
        return std::nullopt;
    return data;
}

QString helpTopicPage(const QString& topic) {
    if (topic.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
        topic.endsWith(QLatin1String(".html"), Qt::CaseInsensitive))
        return topic;
    return topic + QLatin1String(".htm");
}

QString decodeHelpPage(const QByteArray& html) {
    QStringDecoder decoder = QStringDecoder::decoderForHtml(html);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(html);
    // Russian help files often leave pages in the Windows code page without declaring it.
    if (decoder.hasError())
        return QStringDecoder("windows-1251").decode(html);
    return text;
}
