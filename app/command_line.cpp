#include "command_line.h"

#include <algorithm>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

namespace {

const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Показать эту справку и выйти."));
const QCommandLineOption serviceOption(QStringLiteral("service"),
                                       QStringLiteral("Сервисный режим: показывать кнопку «Тестовая панель» "
                                                      "со служебными запросами к ККМ."));
const QCommandLineOption deviceLibraryOption(
    QStringLiteral("device-library"),
    QStringLiteral("Библиотека устройства вместо той, что рядом с программой: .so загружается напрямую, "
                   ".dll (библиотека Windows от производителя ККМ) работает через Wine."),
    QStringLiteral("файл"));

QString optionNames(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    const QString value = option.valueName().isEmpty() ? QString() : QStringLiteral(" <%1>").arg(option.valueName());
    return names.join(QStringLiteral(", ")) + value;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOption(helpOption);
    parser.addOption(serviceOption);
    parser.addOption(deviceLibraryOption);
    parser.parse(arguments);
    return {parser.isSet(helpOption), parser.isSet(serviceOption), parser.value(deviceLibraryOption),
            parser.unknownOptionNames()};
}

QString commandLineHelp(const QString& program) {
    // Written out here: the parser's own help has English headings.
    QString text = QStringLiteral("Использование: %1 [параметры]\n\n"
                                  "Программа настройки ККМ: чтение, правка и запись настроек кассового аппарата.\n\n"
                                  "Параметры:\n")
                       .arg(program);
    const QList<QCommandLineOption> options{helpOption, serviceOption, deviceLibraryOption};
    qsizetype width = 0;
    for (const QCommandLineOption& option : options)
        width = std::max(width, optionNames(option).size());
    for (const QCommandLineOption& option : options)
        text += QStringLiteral("  %1  %2\n").arg(optionNames(option), -int(width)).arg(option.description());
    return text;
}
