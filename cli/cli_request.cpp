#include "cli_request.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QRegularExpression>

namespace {

struct Options {
    QCommandLineOption port{QStringLiteral("port"), {}, QStringLiteral("name")};
    QCommandLineOption speed{QStringLiteral("speed"), {}, QStringLiteral("n")};
    QCommandLineOption out{QStringLiteral("out"), {}, QStringLiteral("file")};
    QCommandLineOption goods{QStringLiteral("goods"), {}, QStringLiteral("file")};
    QCommandLineOption range{QStringLiteral("range"), {}, QStringLiteral("a-b")};
    QCommandLineOption logo{QStringLiteral("logo"), {}, QStringLiteral("picture")};
    QCommandLineOption check{QStringLiteral("check")};
    QCommandLineOption backupDir{QStringLiteral("backup-dir"), {}, QStringLiteral("dir")};
    QCommandLineOption noVerify{QStringLiteral("no-verify")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption deviceLibrary{QStringLiteral("device-library"), {}, QStringLiteral("file")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{QStringLiteral("version")};

    QList<QCommandLineOption> all() const {
        return {port, speed, out, goods, range, logo, check, backupDir, noVerify, json, deviceLibrary, help, version};
    }
};

// Which options each command takes besides --json and --device-library.
const QList<std::pair<QString, QStringList>>& commands() {
    static const QList<std::pair<QString, QStringList>> list{
        {QStringLiteral("ports"), {}},
        {QStringLiteral("identify"), {QStringLiteral("port"), QStringLiteral("speed")}},
        {QStringLiteral("read"),
         {QStringLiteral("port"), QStringLiteral("speed"), QStringLiteral("out"), QStringLiteral("goods"),
          QStringLiteral("range")}},
        {QStringLiteral("diff"),
         {QStringLiteral("port"), QStringLiteral("speed"), QStringLiteral("goods"), QStringLiteral("logo")}},
        {QStringLiteral("apply"),
         {QStringLiteral("port"), QStringLiteral("speed"), QStringLiteral("check"), QStringLiteral("backup-dir"),
          QStringLiteral("no-verify"), QStringLiteral("goods"), QStringLiteral("logo")}}};
    return list;
}

std::optional<std::pair<int, int>> goodsRange(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,4})-(\\d{1,4})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int first = match.captured(1).toInt();
    const int last = match.captured(2).toInt();
    if (first < 1 || last > 9999 || first > last)
        return std::nullopt;
    return std::pair{first, last};
}

} // namespace

QString say(const char* russian, const char* english) {
    return QString::fromUtf8(QLocale::system().language() == QLocale::Russian ? russian : english);
}

CliParse parseCliArguments(const QStringList& arguments) {
    const Options options;
    QCommandLineParser parser;
    parser.addOptions(options.all());
    parser.addPositionalArgument(QStringLiteral("command"), {});
    CliParse parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    parsed.help = parser.isSet(options.help);
    parsed.version = parser.isSet(options.version);
    if (parsed.help || parsed.version)
        return parsed;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        parsed.error = say("Не указана команда: ports, identify, read, diff или apply.",
                           "No command given: ports, identify, read, diff or apply.");
        return parsed;
    }
    const QString name = positional.first();
    const auto command =
        std::find_if(commands().begin(), commands().end(), [&](const auto& entry) { return entry.first == name; });
    if (command == commands().end()) {
        parsed.error = say("Неизвестная команда «%1».", "Unknown command \"%1\".").arg(name);
        return parsed;
    }
    for (const QString& set : parser.optionNames()) {
        const QString option = set == QLatin1String("h") ? QStringLiteral("help") : set;
        if (!command->second.contains(option) && option != QLatin1String("json") &&
            option != QLatin1String("device-library")) {
            parsed.error =
                say("Команда %1 не принимает параметр --%2.", "The command %1 takes no option --%2.").arg(name, option);
            return parsed;
        }
    }
    CliRequest request;
    request.command = CliRequest::Command(command - commands().begin());
    const bool takesFile =
        request.command == CliRequest::Command::Diff || request.command == CliRequest::Command::Apply;
    if (positional.size() != (takesFile ? 2 : 1)) {
        parsed.error =
            takesFile ? say("Команде %1 нужен файл настроек (.sav).", "The command %1 needs a settings file (.sav).")
                            .arg(name)
                      : say("Лишний аргумент «%1».", "Unexpected argument \"%1\".").arg(positional.last());
        return parsed;
    }
    if (takesFile)
        request.settingsFile = positional.at(1);
    request.port = parser.value(options.port);
    if (command->second.contains(QStringLiteral("port")) && request.port.isEmpty()) {
        parsed.error = say("Не указан порт: --port ИМЯ.", "No port given: --port NAME.");
        return parsed;
    }
    if (parser.isSet(options.speed)) {
        bool number = false;
        request.speed = parser.value(options.speed).toInt(&number);
        if (!number || request.speed <= 0) {
            parsed.error = say("Скорость «%1» — не число бод.", "Speed \"%1\" is not a baud rate.")
                               .arg(parser.value(options.speed));
            return parsed;
        }
    }
    request.out = parser.value(options.out);
    if (request.command == CliRequest::Command::Read && request.out.isEmpty()) {
        parsed.error = say("Не указан файл настроек: --out ФАЙЛ.sav.", "No settings file given: --out FILE.sav.");
        return parsed;
    }
    request.goods = parser.value(options.goods);
    if (parser.isSet(options.range)) {
        const auto range = goodsRange(parser.value(options.range));
        if (!range || request.goods.isEmpty()) {
            parsed.error = say("Интервал товаров задаётся как --range A-B (1 ≤ A ≤ B ≤ 9999) вместе с --goods.",
                               "A goods range is --range A-B (1 <= A <= B <= 9999), given with --goods.");
            return parsed;
        }
        request.range = *range;
    }
    request.logo = parser.value(options.logo);
    request.check = parser.isSet(options.check);
    request.backupDir = parser.value(options.backupDir);
    request.verify = !parser.isSet(options.noVerify);
    request.json = parser.isSet(options.json);
    request.deviceLibrary = parser.value(options.deviceLibrary);
    parsed.request = request;
    return parsed;
}

QString cliHelp() {
    return say("Использование: kkm-configurator-cli КОМАНДА [ПАРАМЕТРЫ]\n"
               "Настройка ККМ без окна: те же таблицы, те же файлы .sav и тот же порядок записи, что в окне.\n"
               "\n"
               "Команды:\n"
               "  ports                                 порты библиотеки устройства\n"
               "  identify --port ИМЯ [--speed N]       модель, версия ПО и заводской номер ККМ\n"
               "  read --port ИМЯ --out ФАЙЛ.sav [--goods ФАЙЛ.csv [--range A-B]]\n"
               "                                        настройки ККМ в файл, как их сохраняет окно; товары в CSV\n"
               "  diff ФАЙЛ.sav --port ИМЯ [--goods ФАЙЛ.csv] [--logo КАРТИНКА]\n"
               "                                        отличия ККМ от файлов\n"
               "  apply ФАЙЛ.sav --port ИМЯ [--goods ФАЙЛ.csv] [--logo КАРТИНКА] [--check]\n"
               "        [--backup-dir ПАПКА] [--no-verify]\n"
               "                                        записывает только отличающиеся таблицы и товары файла\n"
               "                                        CSV: сначала копия настроек ККМ, после записи — проверка;\n"
               "                                        логотип (JPEG или BMP, как его готовит окно при открытии)\n"
               "                                        — если он не тот, что был записан отсюда последним;\n"
               "                                        --check только сообщает, что изменилось бы\n"
               "\n"
               "Параметры всех команд:\n"
               "  --json                    один объект JSON в стандартный вывод\n"
               "  --device-library ФАЙЛ     библиотека устройства вместо той, что рядом с программой\n"
               "  --speed N                 скорость порта (по умолчанию 115200)\n"
               "\n"
               "Коды завершения:\n"
               "  0  выполнено, ничего не изменено\n"
               "  1  неверные параметры или файл\n"
               "  2  выполнено, изменения внесены (с --check и в diff: есть что изменить)\n"
               "  3  ККМ отказала в записи\n"
               "  4  проверка после записи нашла несовпадения\n"
               "  5  порт не найден, занят или ККМ не отвечает\n",
               "Usage: kkm-configurator-cli COMMAND [OPTIONS]\n"
               "Configures a cash register without the window: the same tables, the same .sav files and the\n"
               "same writes as the window.\n"
               "\n"
               "Commands:\n"
               "  ports                                 the device library's ports\n"
               "  identify --port NAME [--speed N]      the register's model, firmware version and serial number\n"
               "  read --port NAME --out FILE.sav [--goods FILE.csv [--range A-B]]\n"
               "                                        the register's settings into a file, as the window saves\n"
               "                                        them; goods into CSV\n"
               "  diff FILE.sav --port NAME [--goods FILE.csv] [--logo PICTURE]\n"
               "                                        how the register differs from the files\n"
               "  apply FILE.sav --port NAME [--goods FILE.csv] [--logo PICTURE] [--check]\n"
               "        [--backup-dir DIR] [--no-verify]\n"
               "                                        writes only the tables and the CSV file's goods that\n"
               "                                        differ: a backup of the register first, a check after;\n"
               "                                        the logo (JPEG or BMP, prepared as the window prepares\n"
               "                                        it on opening) unless it is the one last written from\n"
               "                                        here; --check only reports what would change\n"
               "\n"
               "Options of every command:\n"
               "  --json                    one JSON object on standard output\n"
               "  --device-library FILE     the device library instead of the one beside the program\n"
               "  --speed N                 the port's speed (115200 unless given)\n"
               "\n"
               "Exit codes:\n"
               "  0  done, nothing changed\n"
               "  1  bad arguments or bad file\n"
               "  2  done, changes made (with --check and for diff: changes pending)\n"
               "  3  the register refused a write\n"
               "  4  the check after the write found mismatches\n"
               "  5  port not found, busy, or the register does not answer\n");
}
