#include "run_configurator.h"

#include "application_setup.h"
#include "command_line.h"
#include "connection_file.h"
#include "device_library.h"
#include "file_dialogs.h"
#include "fm_main.h"
#include "help_topics.h"
#include "library_choice.h"

#include <cstdio>
#include <QApplication>
#include <QLocale>
#include <QLoggingCategory>

namespace {

// Which device library and help file the program took, for a technician who put in a maker's
// library: QT_LOGGING_RULES="kkm.files.info=true".
Q_LOGGING_CATEGORY(programFiles, "kkm.files", QtWarningMsg)

} // namespace

bool answerTextOptions(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = parseCommandLine(arguments);
    if (!options.help && !options.version)
        return false;
    QCoreApplication app(argc, argv);
    loadQtTranslation(app, QLocale());
    std::fputs((options.help ? commandLineHelp() : versionText()).toLocal8Bit(), stdout);
    return true;
}

int runConfigurator(QApplication& app, const std::function<void(Tfm_Main&)>& beforeShow) {
    setUpApplication(app);

    const CommandLine options = parseCommandLine(QCoreApplication::arguments());
    for (const QString& unknown : options.unknownOptions)
        std::fputs(QStringLiteral("Неизвестный параметр командной строки «%1» пропущен.\n").arg(unknown).toLocal8Bit(),
                   stderr);

    const QString folder = QCoreApplication::applicationDirPath();
    const LibraryChoice choice = chooseDeviceLibrary(folder, options.deviceLibrary);
    announceWindowsLibrary(choice);
    const DeviceLibrary device(choice.library);
    qCInfo(programFiles).noquote() << QStringLiteral("Библиотека устройства: %1 (%2)")
                                          .arg(choice.windowsLibrary.isEmpty() ? choice.library : choice.windowsLibrary,
                                               device.isLoaded() ? QStringLiteral("загружена") : device.errorText());
    qCInfo(programFiles).noquote() << QStringLiteral("Справка: %1").arg(helpFile(folder));
    WidgetMessageBoxes boxes;
    WidgetFileDialogs dialogs;
    Tfm_Main window(device, boxes, dialogs, connectionFilePath());
    boxes.setParent(&window);
    dialogs.setParent(&window);
    window.setServiceMode(options.service);
    if (beforeShow)
        beforeShow(window);
    window.show();
    return app.exec();
}
