#include "run_configurator.h"

#include "connection_file.h"
#include "device_library.h"
#include "file_dialogs.h"
#include "fm_main.h"

#include <QApplication>

int runConfigurator(QApplication& app, const std::function<void(Tfm_Main&)>& beforeShow) {
    QApplication::setApplicationName(QStringLiteral("kkm-configurator"));
    QApplication::setApplicationDisplayName(QStringLiteral("Программа настройки ККМ"));

    const DeviceLibrary device(DeviceLibrary::defaultFile(QCoreApplication::applicationDirPath()));
    WidgetMessageBoxes boxes;
    WidgetFileDialogs dialogs;
    Tfm_Main window(device, boxes, dialogs, connectionFilePath());
    boxes.setParent(&window);
    dialogs.setParent(&window);
    if (beforeShow)
        beforeShow(window);
    window.show();
    return app.exec();
}
