#pragma once

#include <functional>

class QApplication;
class Tfm_Main;

// The whole program once the application object exists: reads the command line (--help,
// --version, --service, --device-library), binds the device library (see chooseDeviceLibrary), creates and shows the
// window and runs the loop.
// `beforeShow` lets a benchmark watch the window; the program passes nothing.
int runConfigurator(QApplication& app, const std::function<void(Tfm_Main&)>& beforeShow = {});
