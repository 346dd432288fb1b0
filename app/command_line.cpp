#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QLocale>

namespace {

QString localized(const char* russian, const char* english) {
    return QString::fromUtf8(QLocale().language() == QLocale::Russian ? russian : english);
}

struct Options {
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption service;
    QCommandLineOption deviceLibrary;
};

Options addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        localized("Программа настройки ККМ: чтение, правка и запись настроек кассового аппарата.",
                  "KKM configurator: reads, edits and writes the settings of a cash register."));
    const QCommandLineOption service(
        QStringLiteral("service"),
        localized("Сервисный режим: показывать кнопку «Тестовая панель» со служебными запросами к ККМ.",
                  "Service mode: show the test panel button with the register's service queries."));
    const QCommandLineOption deviceLibrary(
        QStringLiteral("device-library"),
        localized("Библиотека устройства вместо той, что рядом с программой: .so загружается напрямую, "
                  ".dll (библиотека Windows от производителя ККМ) работает через Wine.",
                  "A device library instead of the one beside the program: a .so is loaded directly, "
                  "a .dll (the register maker's Windows library) runs through Wine."),
        localized("файл", "file"));
    Options options{parser.addHelpOption(), parser.addVersionOption(), service, deviceLibrary};
    parser.addOption(service);
    parser.addOption(deviceLibrary);
    return options;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const Options options = addOptions(parser);
    parser.parse(arguments);
    return {parser.isSet(options.help) || parser.isSet(QStringLiteral("help-all")), parser.isSet(options.version),
            parser.isSet(options.service), parser.value(options.deviceLibrary), parser.unknownOptionNames()};
}

QString commandLineHelp() {
    QCommandLineParser parser;
    addOptions(parser);
    return parser.helpText();
}

QString versionText() {
    return localized("Конфигуратор ККМ, версия ", "KKM configurator, version ") + QStringLiteral(KKM_VERSION "\n");
}
