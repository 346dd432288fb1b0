// The Linux end of the bridge without Wine: the PE header, the texts, the child process and the
// client's handling of the bridge's greeting, replies and failures, with shell scripts standing in
// for wine and orvel-bridge.exe.
#include "bridge_client.h"
#include "bridge_process.h"
#include "bridge_texts.h"
#include "functions.h"
#include "pe_header.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

using bridge::Bytes;
using bridge::Message;

Q_DECLARE_METATYPE(Message)

namespace {

// A DOS header whose PE header sits at `peOffset` and names `machine`.
QByteArray imageHead(uint16_t machine, uint32_t peOffset = 0x80) {
    QByteArray head(int(peOffset) + 24, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        head[0x3C + i] = char(peOffset >> (8 * i));
    head.replace(int(peOffset), 4, QByteArray("PE\0\0", 4));
    head[int(peOffset) + 4] = char(machine & 0xFF);
    head[int(peOffset) + 5] = char(machine >> 8);
    return head;
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

std::string inWindows1251(const char* utf8) {
    return bridge::toWindows1251(utf8);
}

bool contains(const std::string& text, const char* utf8) {
    return text.find(inWindows1251(utf8)) != std::string::npos;
}

} // namespace

class TestBridgeClient : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QByteArray m_path;

    QString dll() const { return m_folder.filePath(QStringLiteral("Orvel.dll")); }

    // A "wine" on PATH that sends `greeting` as orvel-bridge would and then runs `then`.
    void fakeWine(const Message& greeting, const QByteArray& then) {
        const std::string frame = bridge::encodeFrame(greeting);
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("greeting")), QByteArray::fromStdString(frame)));
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("wine")),
                          "#!/bin/sh\ncat \"$(dirname \"$0\")/greeting\"\n" + then + "\n", true));
    }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_folder.path()) + ':' + m_path);
        // 32-bit: its bridge runs under plain `wine`, which the stand-in on PATH replaces.
        QVERIFY(writeFile(dll(), imageHead(0x014C)));
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("orvel-bridge32.exe")), "stand-in"));
    }

    void cleanupTestCase() { qputenv("PATH", m_path); }

    void wordSizeFromThePeHeader_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("bits");
        QTest::newRow("x86") << imageHead(0x014C) << 32;
        QTest::newRow("x86-64") << imageHead(0x8664) << 64;
        QTest::newRow("header right after the DOS stub") << imageHead(0x8664, 0x40) << 64;
        QTest::newRow("ARM64") << imageHead(0xAA64) << 0;
        QTest::newRow("ELF") << QByteArray("\x7F"
                                           "ELF\x02\x01\x01",
                                           7)
                                    .leftJustified(200, '\0')
                             << 0;
        QTest::newRow("PE offset past the end") << imageHead(0x014C).left(0x80 + 4) << 0;
        QTest::newRow("no PE signature") << imageHead(0x014C).replace(0x80, 2, "NE") << 0;
        QTest::newRow("shorter than the DOS header") << QByteArray("MZ") << 0;
    }

    void wordSizeFromThePeHeader() {
        QFETCH(QByteArray, head);
        QFETCH(int, bits);
        QCOMPARE(bridge::peImageBits(head.toStdString()), bits);
    }

    void textsForTheProgram() {
        QCOMPARE(inWindows1251("Мост ёЁ №5"), std::string("\xCC\xEE\xF1\xF2 \xB8\xA8 \xB9"
                                                          "5"));
        QCOMPARE(inWindows1251("a中b"), std::string("a?b"));
        QCOMPARE(bridge::windowsPath("/home/техник/Orvel.dll"), std::string("Z:\\home\\техник\\Orvel.dll"));
    }

    void childProcessEchoesFrames() {
        bridge::BridgeProcess process;
        QVERIFY(process.start({"cat"}, ".", {}));
        const Message call{9, {2, 1, 777}, {Bytes("\xD7\xE0\xE9"), Bytes(), Bytes(std::string(100000, '\0'))}};
        QVERIFY(process.send(call));
        const auto echoed = process.receive(std::chrono::seconds(10));
        QVERIFY(echoed.has_value());
        QVERIFY(*echoed == call);
        QVERIFY(process.running());
    }

    void childProcessEndings_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("timedOut");
        QTest::addColumn<QString>("ending");
        QTest::newRow("exits") << "exit 3" << false << "код 3";
        QTest::newRow("killed") << "kill -9 $$" << false << "сигнал 9";
        QTest::newRow("answers garbage") << "echo garbage; sleep 30" << false << "сигнал 9";
        QTest::newRow("hangs") << "sleep 30" << true << "сигнал 9";
    }

    void childProcessEndings() {
        QFETCH(QString, script);
        QFETCH(bool, timedOut);
        QFETCH(QString, ending);
        bridge::BridgeProcess process;
        QVERIFY(process.start({"sh", "-c", script.toStdString()}, ".", {}));
        QVERIFY(!process.receive(std::chrono::milliseconds(300)).has_value());
        QCOMPARE(process.timedOut(), timedOut);
        QVERIFY(!process.running());
        QCOMPARE(QString::fromStdString(bridge::exitDescription(process.exitStatus())), ending);
    }

    void writingToAClosedInputFailsWithoutEndingTheProgram() {
        bridge::BridgeProcess process;
        QVERIFY(process.start({"sh", "-c", "exec <&-; sleep 30"}, ".", {}));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QVERIFY(!process.send({1, {0}, {}}));
        QVERIFY(!process.running());
    }

    void theEnvironmentAndFolderReachTheChild() {
        bridge::BridgeProcess process;
        QVERIFY(process.start({"sh", "-c", "test \"$BRIDGE_TEST\" = yes && test \"$(pwd)\" = /"}, "/",
                              {"BRIDGE_TEST=yes"}));
        QVERIFY(!process.receive(std::chrono::seconds(5)).has_value());
        QCOMPARE(QString::fromStdString(bridge::exitDescription(process.exitStatus())), QStringLiteral("код 0"));
    }

    void lastingFailuresAreExplained_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text");
        QTest::newRow("no such file") << QByteArray() << "Не найдена библиотека Windows";
        QTest::newRow("not a Windows library") << QByteArray("\x7F"
                                                             "ELF",
                                                             4)
                                               << "не является 32- или 64-разрядной";
        QTest::newRow("no 64-bit bridge") << imageHead(0x8664) << "Не найдена программа-мост";
    }

    void lastingFailuresAreExplained() {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        const QString file = m_folder.filePath(QStringLiteral("Other.dll"));
        QFile::remove(file);
        if (!content.isEmpty())
            QVERIFY(writeFile(file, content));
        bridge::BridgeClient client(file.toStdString(), m_folder.path().toStdString());
        for (int attempt = 0; attempt < 2; ++attempt) {
            QVERIFY(!client.call({uint8_t(bridge::Function::ClosePort), {}, {}}).has_value());
            QVERIFY2(contains(client.failureText(), text.toUtf8().constData()), client.failureText().c_str());
            QVERIFY(contains(client.failureText(), file.toUtf8().constData()));
        }
    }

    void greetingRefusals_data() {
        QTest::addColumn<Message>("greeting");
        QTest::addColumn<QString>("text");
        QTest::newRow("DLL not loaded") << Message{0, {bridge::LibraryNotLoaded, 193}, {}}
                                        << "Wine не смог загрузить библиотеку %1 (код ошибки Windows 193).";
        QTest::newRow("functions missing") << Message{0, {bridge::FunctionsMissing, 0}, {Bytes("SetPort, GetPLU")}}
                                           << "В библиотеке %1 нет функций: SetPort, GetPLU.";
    }

    void greetingRefusals() {
        QFETCH(Message, greeting);
        QFETCH(QString, text);
        fakeWine(greeting, "exit 1");
        bridge::BridgeClient client(dll().toStdString(), m_folder.path().toStdString());
        QVERIFY(!client.call({uint8_t(bridge::Function::ClosePort), {}, {}}).has_value());
        QCOMPARE(client.failureText(), bridge::toWindows1251(text.arg(dll()).toStdString()));
    }

    void callsGoThroughAndAConnectionBegunAfterADeathStartsANewBridge() {
        // Answers each call with the call itself, and ends at the third.
        fakeWine({0, {bridge::Ready, 0}, {}}, "dd bs=1 count=42 status=none && exit 9");
        bridge::BridgeClient client(dll().toStdString(), m_folder.path().toStdString());
        const Message call{uint8_t(bridge::Function::GetRowValue), {2, 1, 3, 1, 9}, {}}; // a 27-byte frame
        const auto reply = client.call(call);
        QVERIFY(reply.has_value());
        QVERIFY(*reply == call);
        QVERIFY(client.failureText().empty());

        QVERIFY(!client.call(call).has_value()); // 15 bytes of it come back, then the bridge ends
        QCOMPARE(client.failureText(), bridge::toWindows1251("Программа-мост к библиотеке " + dll().toStdString() +
                                                             " завершилась (код 9); связь с ККМ потеряна."));

        // The connection is lost until one is begun again.
        QVERIFY(!client.call(call).has_value());
        QVERIFY(!client.failureText().empty());
        const Message setPort{uint8_t(bridge::Function::SetPort), {9600}, {Bytes("COM1")}};
        const auto afterRestart = client.call(setPort);
        QVERIFY(afterRestart.has_value());
        QVERIFY(*afterRestart == setPort);
        QVERIFY(client.failureText().empty());
    }

    void aBridgeThatDoesNotAnswerIsStopped() {
        qputenv("KKM_BRIDGE_CALL_LIMIT_MS", "300");
        fakeWine({0, {bridge::Ready, 0}, {}}, "exec sleep 30");
        bridge::BridgeClient client(dll().toStdString(), m_folder.path().toStdString());
        qunsetenv("KKM_BRIDGE_CALL_LIMIT_MS");
        QVERIFY(!client.call({uint8_t(bridge::Function::ClosePort), {}, {}}).has_value());
        QCOMPARE(client.failureText(),
                 bridge::toWindows1251("Библиотека " + dll().toStdString() +
                                       " не ответила за 1 с; программа-мост остановлена, связь с ККМ потеряна."));
    }

    // A bridge stopped with SIGSTOP keeps its pipes open and answers nothing: told to give up, the
    // call waiting for it ends at once, not when its time runs out.
    void aStoppedBridgeIsAbandonedOnAbort() {
        const Message call{uint8_t(bridge::Function::ClosePort), {}, {}};
        const auto frameSize = QByteArray::number(qsizetype(bridge::encodeFrame(call).size()));
        fakeWine({0, {bridge::Ready, 0}, {}}, "dd bs=1 count=" + frameSize + " status=none; kill -STOP $$; sleep 30");
        bridge::BridgeClient client(dll().toStdString(), m_folder.path().toStdString());
        QVERIFY(!client.abort());
        QVERIFY(client.call(call).has_value());
        QVERIFY(!client.abort());

        std::optional<Message> reply = call;
        QElapsedTimer waited;
        waited.start();
        std::thread waiting([&] { reply = client.call(call); });
        while (!client.abort() && waited.elapsed() < 5000)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        waiting.join();
        QVERIFY(!reply.has_value());
        QVERIFY2(waited.elapsed() < 10000, "the call waited out its time");
        QCOMPARE(client.failureText(),
                 bridge::toWindows1251("Библиотека " + dll().toStdString() +
                                       " не ответила до нажатия «Прервать»; программа-мост остановлена, связь с ККМ "
                                       "потеряна."));
        QVERIFY(!client.abort());
    }
};

QTEST_GUILESS_MAIN(TestBridgeClient)
#include "test_bridge_client.moc"
