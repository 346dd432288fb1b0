// Every save of the program (the settings file, the connection file, the goods CSV export and the
// exchange log) keeps the old file when the new one cannot be written whole, says why in Russian,
// and still saves into a writable file whose folder is not.
#include "connection_file.h"
#include "device_library.h"
#include "exchange_log_model.h"
#include "exchange_log_panel.h"
#include "fake_device.h"
#include "fm_main.h"
#include "goods_csv_exchange.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "settings_exchange.h"

#include <csignal>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QByteArray oldContent = "[Old]\r\nk=v\r\n";

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

class TestSaves : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeDevice m_fake;
    std::unique_ptr<DeviceLibrary> m_library;
    RecordingMessageBoxes m_boxes;
    RecordingFileDialogs m_dialogs;
    std::unique_ptr<Tfm_Main> m_window;
    QComboBox m_port;
    QComboBox m_speed;
    QLineEdit m_pc{QStringLiteral("1")};
    QLineEdit m_kkm{QStringLiteral("2")};

    // Saves into `path` the way the row names; returns the failure reported, empty when none.
    QString save(const QString& kind, const QString& path) {
        m_boxes.shown.clear();
        m_dialogs.answer = path;
        if (kind == QLatin1String("connection")) {
            try {
                writeConnectionFile(path, {&m_port, &m_speed, &m_pc, &m_kkm});
            } catch (const std::exception& e) {
                return QString::fromUtf8(e.what());
            }
        } else if (kind == QLatin1String("settings")) {
            m_window->findChild<SettingsExchange*>()->b_SaveSettingsClick();
        } else if (kind == QLatin1String("goods")) {
            m_window->csvExchange().sb_SaveToCSVClick();
        } else {
            m_window->exchangeLog().bt_SaveClick();
        }
        QStringList failures;
        for (const auto& box : m_boxes.shown) {
            if (box.icon != QMessageBox::NoIcon)
                failures << box.text;
        }
        return failures.join(QLatin1Char('\n'));
    }

    static void addSaves() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"settings", "connection", "goods", "log"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_port.addItems({"COM1", "COM2"});
        m_speed.addItems({"1200", "2400"});
        m_fake.ports = {"COM1"};
        m_library = std::make_unique<DeviceLibrary>(FakeDevice::table());
        m_window = std::make_unique<Tfm_Main>(*m_library, m_boxes, m_dialogs, m_dir.filePath("window.ini"));
        m_window->goodsPage();
        m_window->findChild<QStackedWidget*>(QStringLiteral("PageControl"))
            ->setCurrentWidget(m_window->findChild<QWidget*>(QStringLiteral("ts_KKMGoods")));
        m_window->findChild<QLineEdit*>(QStringLiteral("ed_GoodsStart"))->setText(QStringLiteral("1"));
        m_window->findChild<QLineEdit*>(QStringLiteral("ed_GoodsEND"))->setText(QStringLiteral("3"));
        // The log holds the calls the window made when it was created.
        QVERIFY(!m_window->exchangeLog().model().text().isEmpty());
    }
    void cleanupTestCase() { m_window.reset(); }

    void savesReplaceTheOldFile_data() { addSaves(); }
    void savesReplaceTheOldFile() {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + "-replaced");
        QVERIFY(writeFile(path, oldContent));
        QCOMPARE(save(kind, path), QString());
        QVERIFY(readFile(path) != oldContent);
    }

    void fullDiskKeepsTheOldFile_data() { addSaves(); }
    void fullDiskKeepsTheOldFile() {
        QFETCH(QString, kind);
        const QString small = m_dir.filePath(kind + "-small");
        QVERIFY(QDir().mkpath(small));
        if (geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
            QSKIP("a small disk needs a tmpfs mount, which needs root; the next test fails the writes otherwise");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small}); });
        const QString path = small + "/saved";
        QVERIFY(writeFile(path, oldContent));
        QFile filler(small + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
        }
        const QString failure = save(kind, path);
        QVERIFY2(failure.contains(QStringLiteral("Не удалось записать файл «%1»: на диске нет места").arg(path)),
                 qPrintable(failure));
        QCOMPARE(readFile(path), oldContent);
    }

    // Writes past a size limit fail as they do on a full disk, without root.
    void failedWriteKeepsTheOldFile_data() { addSaves(); }
    void failedWriteKeepsTheOldFile() {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + "-limited");
        QVERIFY(writeFile(path, oldContent));
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = limit;
        small.rlim_cur = 16;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString failure = save(kind, path);
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldSignal);
        QVERIFY2(failure.contains(QStringLiteral("Не удалось записать файл «%1»: ошибка записи").arg(path)),
                 qPrintable(failure));
        QCOMPARE(readFile(path), oldContent);
    }

    // A folder where no file can be made: the save writes into the file itself.
    void writableFileInAReadOnlyFolder_data() { addSaves(); }
    void writableFileInAReadOnlyFolder() {
        QFETCH(QString, kind);
        const QString folder = m_dir.filePath(kind + "-locked");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/saved";
        QVERIFY(writeFile(path, oldContent));
        QVERIFY(
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                        QFile::ReadOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        // Root may write into any folder: the save then runs with the file rights of nobody.
        const bool root = geteuid() == 0;
        if (root) {
            setfsgid(65534);
            setfsuid(65534);
        }
        const QString failure = save(kind, path);
        if (root) {
            setfsuid(0);
            setfsgid(0);
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(failure, QString());
        QVERIFY(readFile(path) != oldContent);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"saved"});
    }

    void saveOntoAFolderSaysSo_data() { addSaves(); }
    void saveOntoAFolderSaysSo() {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + "-folder");
        QVERIFY(QDir().mkpath(path));
        const QString failure = save(kind, path);
        QVERIFY2(failure.contains(QStringLiteral("«%1»").arg(path)) && failure.contains(QStringLiteral("это папка")),
                 qPrintable(failure));
    }
};

QTEST_MAIN(TestSaves)
#include "test_saves.moc"
