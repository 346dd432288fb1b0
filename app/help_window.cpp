#include "help_window.h"

#include "chm_file.h"

#include <memory>
#include <QFileInfo>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Pages are addressed as chm:/page.htm, so that relative links and pictures resolve inside the file.
const QString chmScheme = QStringLiteral("chm");

QUrl chmUrl(const QString& path) {
    QUrl url;
    url.setScheme(chmScheme);
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

} // namespace

// Serves pages, pictures and style sheets from the open help file.
class ChmBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    void open(std::unique_ptr<ChmFile> file, const QUrl& url) {
        m_file = std::move(file);
        setSource(url);
    }

    QVariant loadResource(int type, const QUrl& name) override {
        const QUrl url = source().resolved(name);
        if (!m_file || url.scheme() != chmScheme)
            return {};
        const std::optional<QByteArray> data = m_file->read(url.path(QUrl::FullyDecoded));
        if (!data)
            return {};
        if (type == QTextDocument::HtmlResource)
            return decodeHelpPage(*data);
        return *data;
    }

private:
    std::unique_ptr<ChmFile> m_file;
};

HelpWindow::HelpWindow(QWidget* owner)
    : QDialog(owner)
    , m_browser(new ChmBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links lead from topic to topic; the reader must find the way back.
    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Назад"));
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Вперёд"));
    back->setObjectName(QStringLiteral("HelpBack"));
    forward->setObjectName(QStringLiteral("HelpForward"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(720, 540);
}

QString HelpWindow::showTopic(QWidget* owner, const QString& chmPath, const QString& topic) {
    if (!QFileInfo(chmPath).isFile())
        return QStringLiteral("Файл справки не найден: %1").arg(chmPath);
    auto file = std::make_unique<ChmFile>(chmPath);
    if (!file->isOpen())
        return QStringLiteral("Не удалось открыть файл справки: %1").arg(chmPath);
    const QString page = helpTopicPage(topic);
    const QString path = QLatin1Char('/') + page;
    if (!file->read(path))
        return file->contains(path)
                   ? QStringLiteral("Не удалось прочитать раздел справки «%1» из файла %2").arg(page, chmPath)
                   : QStringLiteral("Раздел справки «%1» не найден в файле %2").arg(page, chmPath);

    auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new HelpWindow(owner);
    window->m_browser->open(std::move(file), chmUrl(path));
    window->show();
    window->raise();
    window->activateWindow();
    return {};
}
