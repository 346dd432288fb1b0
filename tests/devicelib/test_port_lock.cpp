#include "cp1251.h"
#include "emulated_register.h"
#include "result_codes.h"
#include "state_file.h"

#include <csignal>
#include <fstream>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace orvel;

namespace {

// The name goods record `number` has, empty when it cannot be read.
QByteArray goodsName(EmulatedRegister& device, uint16_t number) {
    const char* t[7] = {};
    if (device.readGoods(number, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6]) != Ok)
        return {};
    return t[0];
}

QByteArray savedGoodsName(const std::filesystem::path& file, uint16_t number) {
    const auto state = readStateFile(file);
    return state ? QByteArray::fromStdString(state->goods[number - 1].name) : QByteArray();
}

// hold_port, started on the state file; it has the port once it has said "written".
class OtherProgram {
public:
    explicit OtherProgram(const std::filesystem::path& file) {
        m_process.start(HOLD_PORT, {QString::fromStdString(file.string())});
    }
    ~OtherProgram() {
        m_process.kill();
        m_process.waitForFinished();
    }
    QByteArray nextLine() {
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000))
                return {};
        }
        return m_process.readLine().trimmed();
    }
    void proceed() { m_process.write("\n"); }
    bool ends() { return m_process.waitForFinished(30000) && m_process.exitCode() == 0; }
    void kill() {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

class TestPortLock : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::filesystem::path m_file;

private slots:
    void init() {
        m_file = std::filesystem::path(m_dir.path().toStdString()) / QTest::currentTestFunction() / "register.state";
    }

    // Saving its own state at exit, the refused program would undo the 500 goods of the other.
    void secondProgramIsRefusedThePort() {
        OtherProgram other(m_file);
        QCOMPARE(other.nextLine(), QByteArray("written"));
        {
            EmulatedRegister second(m_file);
            QCOMPARE(second.open("EMULATOR", 9600), PortBusy);
            QCOMPARE(second.errorText(PortBusy), toCp1251("Порт занят другой программой"));
            QCOMPARE(second.writeGoods(1, {"mine", "", "1", "1.00", "0", "0", "0"}), PortNotOpen);
        }
        other.proceed();
        QCOMPARE(other.nextLine(), QByteArray("closed"));
        QCOMPARE(savedGoodsName(m_file, 1), QByteArray("1"));
        QCOMPARE(savedGoodsName(m_file, 500), QByteArray("500"));

        // The port is free once the other program has closed it, though it still runs.
        EmulatedRegister second(m_file);
        QCOMPARE(second.open("EMULATOR", 9600), Ok);
        QCOMPARE(goodsName(second, 500), QByteArray("500"));
        other.proceed();
        QVERIFY(other.ends());
    }

    void portIsFreeWhenItsProgramDies() {
        OtherProgram other(m_file);
        QCOMPARE(other.nextLine(), QByteArray("written"));
        EmulatedRegister second(m_file);
        QCOMPARE(second.open("EMULATOR", 9600), PortBusy);
        other.kill();
        QCOMPARE(second.open("EMULATOR", 9600), Ok);
    }

    // A program that had the port before another reads the state anew, rather than saving its
    // old copy over the other's goods with its next change.
    void portOpenedAgainReadsWhatAnotherProgramSaved() {
        EmulatedRegister first(m_file);
        QCOMPARE(first.open("EMULATOR", 9600), Ok);
        QCOMPARE(first.close(), Ok);
        OtherProgram other(m_file);
        QCOMPARE(other.nextLine(), QByteArray("written"));
        other.proceed();
        QCOMPARE(other.nextLine(), QByteArray("closed"));
        QCOMPARE(first.open("EMULATOR", 9600), Ok);
        QCOMPARE(first.writeGoods(501, {"mine", "", "1", "1.00", "0", "0", "0"}), Ok);
        QCOMPARE(first.close(), Ok);
        QCOMPARE(savedGoodsName(m_file, 500), QByteArray("500"));
        QCOMPARE(savedGoodsName(m_file, 501), QByteArray("mine"));
    }

    // A save in progress writes a temporary first; a program refused the port leaves it be.
    void refusedProgramLeavesTheSaveInProgress() {
        EmulatedRegister first(m_file);
        QCOMPARE(first.open("EMULATOR", 9600), Ok);
        const auto temporary = m_file.string() + ".Ab12Cd";
        std::ofstream(temporary) << "being written";
        EmulatedRegister second(m_file);
        QCOMPARE(second.open("EMULATOR", 9600), PortBusy);
        QVERIFY(std::filesystem::exists(temporary));
    }
};

QTEST_GUILESS_MAIN(TestPortLock)
#include "test_port_lock.moc"
