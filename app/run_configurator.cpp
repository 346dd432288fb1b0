#include "run_configurator.h"

#include "application_setup.h"
#include "command_line.h"
#include "connection_file.h"
#include "device_library.h"
#include "file_dialogs.h"
#include "fm_main.h"

#include <cstdio>
#include <QApplication>

int runConfigurator(QApplication& app, const std::function<void(Tfm_Main&)>& beforeShow) {
    setUpApplication(app);

    const CommandLine options = parseCommandLine(QCoreApplication::arguments());
    if (options.help || options.version) {
        std::fputs((options.help ? commandLineHelp() : versionText()).toLocal8Bit(), stdout);
        return 0;
    }
    for (const QString& unknown : options.unknownOptions)
        std::fputs(QStringLiteral("Неизвестный параметр командной строки «%1» пропущен.\n").arg(unknown).toLocal8Bit(),
                   stderr);

    const DeviceLibrary device(DeviceLibrary::defaultFile(QCoreApplication::applicationDirPath()));
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
