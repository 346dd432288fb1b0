// kkm-configurator-cli as a fleet engine runs it, a whole process each time: the example settings
// file applied to a factory emulated register (backup and check included), then applied again,
// when there is nothing to write. Median of 7 of each.
#include "profile_file.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int runs = 7;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs the program on the register whose state is in `state`; the milliseconds and the exit code.
std::pair<double, int> apply(const QString& file, const QString& state) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), state);
    program.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kkm-configurator-cli"),
                  {QStringLiteral("apply"), file, QStringLiteral("--port"), QStringLiteral("EMULATOR"),
                   QStringLiteral("--json")});
    if (!program.waitForFinished(60000))
        fail("kkm-configurator-cli did not end");
    return {double(timer.nsecsElapsed()) / 1e6, program.exitCode()};
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    // The example snapshot, its lists without an item given one: the register refuses 255.
    QFile example(QStringLiteral(PROFILE_EXAMPLE));
    if (!example.open(QIODevice::ReadOnly))
        fail("no example settings file");
    ProfileFile settings(example.readAll());
    for (const char* key : {"BThirdType", "ESecondType", "EThirdType"})
        settings.write("KKMReklama", key, "0");
    settings.write("KKMDiscounts", "MarkUpsPermit", "0");
    settings.write("KKMDevice", "ElectricScale_Protocol", "0");
    const QString file = work.filePath(QStringLiteral("example.sav"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(settings.bytes()) != settings.bytes().size())
        fail("cannot write the settings file");
    out.close();

    std::vector<double> all, noop;
    for (int i = 0; i < runs; ++i) {
        const QString state = work.filePath(QStringLiteral("register%1").arg(i));
        const auto [allMs, allCode] = apply(file, state);
        const auto [noopMs, noopCode] = apply(file, state);
        if (allCode != 2 || noopCode != 0)
            fail("the applies did not end with 2, then 0");
        all.push_back(allMs);
        noop.push_back(noopMs);
    }
    std::printf("cli_apply_all_ms: %.1f ms\n", median(all));
    std::printf("cli_apply_noop_ms: %.1f ms\n", median(noop));
    return 0;
}
