// Start-up time and memory of the configurator: the time from starting a
// process to the main window's first paint (device library bound, port list
// filled), and the process's peak resident memory. Each run is a fresh process.
#include "first_frame.h"
#include "fm_main.h"
#include "run_configurator.h"

int main(int argc, char** argv) {
    return firstFrameMain(argc, argv, "startup", [](QApplication& app, const std::function<void(QWidget&)>& watch) {
        return runConfigurator(app, [&](Tfm_Main& window) { watch(window); });
    });
}
