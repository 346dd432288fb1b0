#pragma once

#include <functional>

class QApplication;
class Tfm_Main;

// --help and --version: prints what they ask for and returns true. Needs no application object
// and no display, so that a terminal without one answers too.
bool answerTextOptions(int argc, char* argv[]);

// The whole program once the application object exists: reads the command line (--service,
// --device-library), binds the device library (see chooseDeviceLibrary), creates and shows the
// window and runs the loop.
// `beforeShow` lets a benchmark watch the window; the program passes nothing.
int runConfigurator(QApplication& app, const std::function<void(Tfm_Main&)>& beforeShow = {});
