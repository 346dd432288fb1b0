#include "cli_commands.h"
#include "cli_request.h"
#include "device_library.h"
#include "library_choice.h"

#include <cstdio>
#include <QCoreApplication>
#include <QLocale>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kkm-configurator"));
    // Settings files come from the window, which Russian technicians run in Russian: their numbers
    // and dates are read and written the Russian way whatever the shop PC's locale is.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const CliParse parsed = parseCliArguments(QCoreApplication::arguments());
    if (parsed.help || parsed.version) {
        std::fputs(parsed.help ? qPrintable(cliHelp()) : "kkm-configurator-cli " KKM_VERSION "\n", stdout);
        return 0;
    }
    if (!parsed.request) {
        std::fprintf(stderr, "%s\n", qPrintable(parsed.error));
        return int(ExitCode::BadInput);
    }
    const CliRequest& request = *parsed.request;
    const LibraryChoice choice = chooseDeviceLibrary(QCoreApplication::applicationDirPath(), request.deviceLibrary);
    announceWindowsLibrary(choice);
    const DeviceLibrary device(choice.library);
    // Progress only where somebody watches: a fleet engine reads stderr as text.
    const bool terminal = isatty(STDERR_FILENO) != 0;
    const CliReport report = runCliRequest(request, device, [terminal](int done, int total) {
        if (terminal && (done == total || done % 50 == 0))
            std::fprintf(stderr, "\r%d / %d%s", done, total, done == total ? "\n" : "");
    });
    const QByteArray out = printed(report, request.json);
    std::fwrite(out.constData(), 1, size_t(out.size()),
                report.exit == ExitCode::BadInput && !request.json ? stderr : stdout);
    return int(report.exit);
}
