#include "run_configurator.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (answerTextOptions(argc, argv))
        return 0;
    QApplication app(argc, argv);
    return runConfigurator(app);
}
