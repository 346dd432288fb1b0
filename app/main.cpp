#include "run_configurator.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return runConfigurator(app);
}
