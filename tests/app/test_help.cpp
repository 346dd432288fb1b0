#include "chm_file.h"
#include "help_topics.h"
#include "help_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

using namespace Qt::StringLiterals;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void topicPage_data();
    void topicPage();
    void decodePage_data();
    void decodePage();
    void committedFileMatchesPages_data();
    void committedFileMatchesPages();
    void pathsIgnoreAsciiCase_data();
    void pathsIgnoreAsciiCase();
    void topicOpens_data();
    void topicOpens();
    void helpWindowIsReused();
    void missingFileOrTopic_data();
    void missingFileOrTopic();
    void corruptFile_data();
    void corruptFile();
    void linkOpensPageFromHelpFile();
    void helpFileOfInstalledProgram_data();
    void helpFileOfInstalledProgram();
};

namespace {

const QString helpChmPath = QStringLiteral(HELP_CHM);

QTextBrowser* helpBrowser(const QWidget& owner) {
    auto* window = owner.findChild<HelpWindow*>(u"HelpWindow"_s);
    return window ? window->findChild<QTextBrowser*>(u"HelpBrowser"_s) : nullptr;
}

} // namespace

void TestHelp::topicPage_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("page");

    QTest::newRow("bare topic") << u"plu"_s << u"plu.htm"_s;
    QTest::newRow("digits and underscore") << u"3_begin"_s << u"3_begin.htm"_s;
    QTest::newRow(".htm kept") << u"x.htm"_s << u"x.htm"_s;
    QTest::newRow(".HTML kept") << u"X.HTML"_s << u"X.HTML"_s;
    QTest::newRow(".Htm kept") << u"a.Htm"_s << u"a.Htm"_s;
    QTest::newRow(".html not at the end") << u"a.html.bak"_s << u"a.html.bak.htm"_s;
    QTest::newRow(".ht is not .htm") << u"page.ht"_s << u"page.ht.htm"_s;
    QTest::newRow("htm without a dot") << u"xhtm"_s << u"xhtm.htm"_s;
}

void TestHelp::topicPage() {
    QFETCH(QString, topic);
    QFETCH(QString, page);

    QCOMPARE(helpTopicPage(topic), page);
}

void TestHelp::decodePage_data() {
    QTest::addColumn<QByteArray>("html");

    const QByteArray utf8 = u"Продажа"_s.toUtf8();
    const QByteArray cp1251 = QByteArray::fromHex("cff0eee4e0e6e0");

    QTest::newRow("meta charset utf-8") << "<meta charset=\"utf-8\"><p>"_ba + utf8;
    QTest::newRow("http-equiv windows-1251")
        << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"><p>"_ba + cp1251;
    QTest::newRow("meta charset koi8-r") << "<meta charset=koi8-r><p>"_ba + QByteArray::fromHex("f0d2cfc4c1d6c1");
    QTest::newRow("no charset, UTF-8") << "<p>"_ba + utf8;
    QTest::newRow("no charset, Windows-1251") << "<p>"_ba + cp1251;
}

void TestHelp::decodePage() {
    QFETCH(QByteArray, html);

    QVERIFY(decodeHelpPage(html).endsWith(u"<p>Продажа"_s));
}

void TestHelp::committedFileMatchesPages_data() {
    QTest::addColumn<QString>("page");

    for (const char* page :
         {"index.htm", "3_begin.htm", "OptionsECR.htm", "OptionsPrint.htm", "Strings.htm", "discounts.htm", "logo.htm",
          "devices.htm", "sections.htm", "cashiers.htm", "taxes.htm", "plu.htm"})
        QTest::newRow(page) << QString::fromLatin1(page);
}

// A page edited without rebuilding help.chm fails here.
void TestHelp::committedFileMatchesPages() {
    QFETCH(QString, page);

    QFile source(QFileInfo(helpChmPath).dir().filePath(page));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const ChmFile chm(helpChmPath);
    QVERIFY(chm.isOpen());
    const std::optional<QByteArray> stored = chm.read(u'/' + page);
    QVERIFY(stored);
    QCOMPARE(*stored, source.readAll());
}

void TestHelp::pathsIgnoreAsciiCase_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("found");

    QTest::newRow("exact") << u"/OptionsECR.htm"_s << true;
    QTest::newRow("lower case") << u"/optionsecr.htm"_s << true;
    QTest::newRow("upper case") << u"/PLU.HTM"_s << true;
    QTest::newRow("absent") << u"/missing.htm"_s << false;
    QTest::newRow("prefix of a page") << u"/plu.ht"_s << false;
}

void TestHelp::pathsIgnoreAsciiCase() {
    QFETCH(QString, path);
    QFETCH(bool, found);

    const ChmFile chm(helpChmPath);
    QCOMPARE(chm.contains(path), found);
    const std::optional<QByteArray> data = chm.read(path);
    QCOMPARE(data.has_value(), found);
    if (found)
        QVERIFY(data->contains("<h1>"));
}

void TestHelp::topicOpens_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("word");

    QTest::newRow("ts_main") << u"3_begin"_s << u"Установить соединение"_s;
    QTest::newRow("ts_KKMOptions") << u"OptionsECR"_s << u"длительность подсветки"_s;
    QTest::newRow("ts_KKMPrintOpt") << u"OptionsPrint"_s << u"контраст печати"_s;
    QTest::newRow("ts_KKMReklama") << u"Strings"_s << u"Окончание чека"_s;
    QTest::newRow("ts_KKMdiscount") << u"discounts"_s << u"наценки"_s;
    QTest::newRow("ts_KKMLogo") << u"logo"_s << u"Копируемая область"_s;
    QTest::newRow("ts_KKMDevices") << u"devices"_s << u"сканером штрих-кода"_s;
    QTest::newRow("ts_KKMSections") << u"sections"_s << u"шестнадцать отделов"_s;
    QTest::newRow("ts_KKMOperators") << u"cashiers"_s << u"Права доступа"_s;
    QTest::newRow("ts_KKMNalog") << u"taxes"_s << u"четыре налога"_s;
    QTest::newRow("ts_KKMGoods") << u"plu"_s << u"Товары / Услуги"_s;
}

void TestHelp::topicOpens() {
    QFETCH(QString, topic);
    QFETCH(QString, word);

    QWidget owner;
    QCOMPARE(HelpWindow::showTopic(&owner, helpChmPath, topic), QString());

    auto* window = owner.findChild<HelpWindow*>(u"HelpWindow"_s);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isModal());
    QTextBrowser* browser = helpBrowser(owner);
    QVERIFY(browser);
    QCOMPARE(browser->source().path(), u'/' + topic + u".htm"_s);
    QVERIFY2(browser->toPlainText().contains(word), qPrintable(browser->toPlainText()));
}

void TestHelp::helpWindowIsReused() {
    QWidget owner;
    QCOMPARE(HelpWindow::showTopic(&owner, helpChmPath, u"plu"_s), QString());
    auto* window = owner.findChild<HelpWindow*>();
    QVERIFY(window);
    window->close();

    QCOMPARE(HelpWindow::showTopic(&owner, helpChmPath, u"taxes"_s), QString());
    QCOMPARE(owner.findChildren<HelpWindow*>().size(), 1);
    QVERIFY(window->isVisible());
    QCOMPARE(helpBrowser(owner)->source().path(), u"/taxes.htm"_s);
}

void TestHelp::missingFileOrTopic_data() {
    QTest::addColumn<QString>("chmPath");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("error");

    const QString missing = u"/nonexistent/help.chm"_s;
    const QString folder = QFileInfo(helpChmPath).absolutePath();
    QTest::newRow("missing file") << missing << u"plu"_s << u"Файл справки не найден: "_s + missing;
    QTest::newRow("folder instead of file") << folder << u"plu"_s << u"Файл справки не найден: "_s + folder;
    QTest::newRow("missing topic") << helpChmPath << u"nosuch"_s
                                   << u"Раздел справки «nosuch.htm» не найден в файле "_s + helpChmPath;
    QTest::newRow("missing .html page") << helpChmPath << u"plu.html"_s
                                        << u"Раздел справки «plu.html» не найден в файле "_s + helpChmPath;
}

void TestHelp::missingFileOrTopic() {
    QFETCH(QString, chmPath);
    QFETCH(QString, topic);
    QFETCH(QString, error);

    QWidget owner;
    QCOMPARE(HelpWindow::showTopic(&owner, chmPath, topic), error);
    QVERIFY(!owner.findChild<HelpWindow*>());
}

void TestHelp::corruptFile_data() {
    QTest::addColumn<QByteArray>("content");

    QFile committed(helpChmPath);
    QVERIFY(committed.open(QIODevice::ReadOnly));
    const QByteArray chm = committed.readAll();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << chm.left(0x60);
    QTest::newRow("first 4 KiB") << chm.left(4096);
    QTest::newRow("first half") << chm.left(chm.size() / 2);
    QTest::newRow("not a chm") << QByteArray(chm.size(), 'x');
}

void TestHelp::corruptFile() {
    QFETCH(QByteArray, content);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"help.chm"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
    file.close();

    QWidget owner;
    const QString error = HelpWindow::showTopic(&owner, path, u"plu"_s);
    QVERIFY2(error.endsWith(path), qPrintable(error));
    QVERIFY(!owner.findChild<HelpWindow*>());
}

void TestHelp::linkOpensPageFromHelpFile() {
    QWidget owner;
    QCOMPARE(HelpWindow::showTopic(&owner, helpChmPath, u"sections"_s), QString());
    QTextBrowser* browser = helpBrowser(owner);
    QVERIFY(browser);

    // The first link of the sections page leads to the taxes page.
    QTest::keyClick(browser, Qt::Key_Tab);
    QTest::keyClick(browser, Qt::Key_Return);

    QCOMPARE(browser->source().path(), u"/taxes.htm"_s);
    QVERIFY(browser->toPlainText().contains(u"четыре налога"_s));
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"

void TestHelp::helpFileOfInstalledProgram_data() {
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("beside");
    QTest::addColumn<QString>("file");

    QTest::newRow("installed") << true << false << u"usr/share/kkm-configurator/help.chm"_s;
    QTest::newRow("installed, and one beside") << true << true << u"usr/share/kkm-configurator/help.chm"_s;
    QTest::newRow("beside") << false << true << u"usr/bin/help.chm"_s;
    // Reported as missing where a program run from its build folder keeps it.
    QTest::newRow("none") << false << false << u"usr/bin/help.chm"_s;
}

void TestHelp::helpFileOfInstalledProgram() {
    QFETCH(bool, installed);
    QFETCH(bool, beside);
    QFETCH(QString, file);

    QTemporaryDir root;
    const QDir dir(root.path());
    QVERIFY(dir.mkpath(u"usr/bin"_s) && dir.mkpath(u"usr/share/kkm-configurator"_s));
    if (installed)
        QVERIFY(QFile::copy(helpChmPath, dir.filePath(u"usr/share/kkm-configurator/help.chm"_s)));
    if (beside)
        QVERIFY(QFile::copy(helpChmPath, dir.filePath(u"usr/bin/help.chm"_s)));

    QCOMPARE(helpFile(dir.filePath(u"usr/bin"_s)), dir.filePath(file));
}
