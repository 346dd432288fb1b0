#include "cli_commands.h"

#include "backups.h"
#include "cli_request.h"
#include "config_diff.h"
#include "conversions.h"
#include "cp1251.h"
#include "device_library.h"
#include "goods_csv.h"
#include "goods_csv_exchange.h"
#include "goods_diff.h"
#include "goods_model.h"
#include "goods_page.h"
#include "logo_preview.h"
#include "logo_records.h"
#include "logo_upload.h"
#include "profile_file.h"
#include "register_fields.h"
#include "register_identity.h"
#include "register_link.h"
#include "register_reader.h"
#include "settings_exchange.h"
#include "settings_layout.h"
#include "table_writer.h"
#include "write_failure.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>

namespace {

constexpr int32_t lostConnection = -5;

QStringList allSections() {
    QStringList names;
    for (const auto& section : SettingsLayout::sections())
        names << section.name;
    return names;
}

// A field as the user reads it in a line: the page's caption in Russian, the file's key otherwise.
QString fieldName(const RegisterFields::Field& field) {
    return say(field.caption.toUtf8().constData(), (field.section + QLatin1Char('/') + field.key).toUtf8().constData());
}

QJsonObject fieldJson(const RegisterFields::Field& field) {
    return {{QStringLiteral("table"), field.section},
            {QStringLiteral("row"), field.row.number},
            {QStringLiteral("field"), field.key}};
}

class Session {
public:
    Session(const DeviceLibrary& device, const CliRequest& request, const std::function<void(int, int)>& progress)
        : m_link(device.table(), device.thread())
        , m_request(request)
        , m_progress(progress) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // The port is let go whatever happened, so that the next program may take it.
    ~Session() {
        if (m_link.connected)
            m_link.api.ClosePort();
    }

    CliReport run();

private:
    CliReport ports();
    CliReport identify();
    CliReport read();
    CliReport compare(bool apply);
    // The settings file, checked whole, and the goods file, imported; false with the report failed.
    bool loadFiles(CliReport& report, bool apply);
    // The register's records compared with the imported ones; `held` gets the register's.
    std::optional<QList<GoodsDiff::Difference>>
    goodsDifferences(const QList<int>& records, QHash<int, GoodsDiff::Record>* held, CliReport& report);
    bool backUp(const SettingsLayout::Values& held, const QHash<int, GoodsDiff::Record>& heldGoods,
                const QList<int>& records, CliReport& report);
    bool writeAll(const QStringList& sections, const QList<int>& records, CliReport& report);
    bool uploadLogo(CliReport& report);
    void verifyAll(const QStringList& sections, const SettingsLayout::Values& held, const QList<int>& records,
                   const QHash<int, GoodsDiff::Record>& heldGoods, CliReport& report);

    // Opens the port and asks the register who it is; false with the report failed.
    bool connect(CliReport& report);
    // The register's values of `fields`; empty with the report failed.
    std::optional<SettingsLayout::Values> registerValues(const QList<const RegisterFields::Field*>& fields,
                                                         CliReport& report);
    QString failureText() { return m_link.errorText(m_link.lastResult).trimmed(); }
    bool readGoods(CliReport& report);

    RegisterLink m_link;
    const CliRequest& m_request;
    std::function<void(int, int)> m_progress;
    std::optional<RegisterIdentity> m_identity;
    QString backupFolder() const { return m_request.backupDir.isEmpty() ? Backups::folder() : m_request.backupDir; }

    SettingsLayout::Values m_configured;
    // The logo as the page would send it right after opening the picture, and its records' digest.
    QImage m_logoPreview;
    CopyArea m_logoArea;
    QString m_logoDigest;
    GoodsModel m_goods;
    QList<int> m_goodsRecords; // the records of the goods file, in its order
};

CliReport Session::run() {
    switch (m_request.command) {
    case CliRequest::Command::Ports:
        return ports();
    case CliRequest::Command::Identify:
        return identify();
    case CliRequest::Command::Read:
        return read();
    case CliRequest::Command::Diff:
        return compare(false);
    case CliRequest::Command::Apply:
        break;
    }
    return compare(true);
}

CliReport Session::ports() {
    CliReport report;
    const PortList listed = listPorts(m_link);
    const int32_t result = listed.result;
    QJsonArray names;
    for (const QString& name : listed.names)
        names << name;
    report.lines << listed.names;
    report.json = {{QStringLiteral("ports"), names}, {QStringLiteral("failed"), false}, {QStringLiteral("msg"), ""}};
    if (names.isEmpty()) {
        m_link.lastResult = result;
        report.fail(ExitCode::NoRegister,
                    say("Библиотека устройства не назвала ни одного порта: %1", "The device library lists no ports: %1")
                        .arg(result < 0 ? failureText() : QString()));
    }
    return report;
}

bool Session::connect(CliReport& report) {
    m_link.pcAddr = 1;
    m_link.kkmAddr = 2;
    const QByteArray port = toCp1251(m_request.port);
    m_link.lastResult = m_link.api.SetPort(port.constData(), m_request.speed);
    if (m_link.lastResult < 0) {
        report.fail(ExitCode::NoRegister, say("Порт %1: %2", "Port %1: %2").arg(m_request.port, failureText()));
        return false;
    }
    m_link.connected = true;
    m_identity = identifyRegister(m_link);
    if (!m_identity) {
        report.fail(ExitCode::NoRegister, say("ККМ на порту %1 не отвечает: %2", "No register answers on port %1: %2")
                                              .arg(m_request.port, failureText()));
        return false;
    }
    return true;
}

CliReport Session::identify() {
    CliReport report;
    report.json = {{QStringLiteral("failed"), false}, {QStringLiteral("msg"), ""}};
    if (!connect(report))
        return report;
    report.json.insert(QStringLiteral("model"), m_identity->model);
    report.json.insert(QStringLiteral("version"), m_identity->version);
    report.json.insert(QStringLiteral("serial"), m_identity->serialNumber);
    report.lines << say("Модель ККМ: %1", "Model: %1").arg(m_identity->model)
                 << say("Версия ПО ККМ: %1", "Firmware version: %1").arg(m_identity->version)
                 << say("Заводской номер: %1", "Serial number: %1").arg(m_identity->serialNumber);
    return report;
}

std::optional<SettingsLayout::Values> Session::registerValues(const QList<const RegisterFields::Field*>& fields,
                                                              CliReport& report) {
    const auto rows = RegisterFields::rowsOf(fields);
    const auto read = readRegisterRows(m_link, rows);
    if (m_link.lastResult < 0) {
        report.fail(ExitCode::NoRegister,
                    say("ККМ не прочитана: %1", "The register could not be read: %1").arg(failureText()));
        return std::nullopt;
    }
    return ConfigDiff::registerValues(fields, read);
}

bool Session::readGoods(CliReport& report) {
    const auto [first, last] = m_request.range;
    GoodsModel goods;
    for (int record = first; record <= last; ++record) {
        GoodsModel::Fields fields;
        bool fractional = false;
        if (!readGoodsRecord(m_link, record, fields, fractional)) {
            report.fail(
                ExitCode::NoRegister,
                say("Товар № %1 не прочитан: %2", "Goods record %1 was not read: %2").arg(record).arg(failureText()));
            return false;
        }
        goods.setRecord(record, fields, fractional);
        if (m_progress)
            m_progress(record - first + 1, last - first + 1);
    }
    try {
        const QString failure = saveWhole(m_request.goods, goodsCsvContent(goods, first, last));
        if (!failure.isEmpty()) {
            report.fail(ExitCode::BadInput, failure);
            return false;
        }
    } catch (const UnwritableGoods& e) {
        report.fail(ExitCode::BadInput, QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

CliReport Session::read() {
    CliReport report;
    report.json = {{QStringLiteral("changed"), false}, {QStringLiteral("failed"), false}, {QStringLiteral("msg"), ""}};
    if (!connect(report))
        return report;
    const auto values = registerValues(RegisterFields::fieldsOf(allSections()), report);
    if (!values)
        return report;
    ProfileFile file;
    SettingsLayout::write(file, *values);
    const QString failure = saveWhole(m_request.out, file.bytes());
    if (!failure.isEmpty())
        return report.fail(ExitCode::BadInput, failure);
    report.json.insert(QStringLiteral("file"), m_request.out);
    report.lines << say("Настройки ККМ записаны в %1", "The register's settings are in %1").arg(m_request.out);
    if (!m_request.goods.isEmpty()) {
        if (!readGoods(report))
            return report;
        report.json.insert(QStringLiteral("goods"), m_request.goods);
        report.lines << say("Товары %1–%2 записаны в %3", "Goods %1-%2 are in %3")
                            .arg(m_request.range.first)
                            .arg(m_request.range.second)
                            .arg(m_request.goods);
    }
    return report;
}

// The goods columns a write sends, as JSON names them.
QString goodsField(int column) {
    switch (column) {
    case GoodsModel::NameColumn:
        return QStringLiteral("name");
    case GoodsModel::BarcodeColumn:
        return QStringLiteral("barcode");
    case GoodsModel::SectionColumn:
        return QStringLiteral("section");
    case GoodsModel::PriceColumn:
        return QStringLiteral("price");
    default:
        return QStringLiteral("fractional");
    }
}

QJsonObject goodsJson(const GoodsDiff::Difference& d) {
    return {{QStringLiteral("table"), QStringLiteral("goods")},
            {QStringLiteral("row"), d.record},
            {QStringLiteral("field"), goodsField(d.column)}};
}

bool Session::loadFiles(CliReport& report, bool apply) {
    try {
        m_configured = SettingsLayout::read(ProfileFile(readSettingsFile(m_request.settingsFile)));
        if (apply)
            TableWriter::checkSendable(allSections(), m_configured);
    } catch (const std::exception& e) {
        report.fail(ExitCode::BadInput,
                    say("Файл %1: %2", "File %1: %2").arg(m_request.settingsFile, QString::fromUtf8(e.what())));
        return false;
    }
    if (!m_request.logo.isEmpty()) {
        try {
            const GreyPicture picture = loadLogoPicture(m_request.logo);
            renderLogo(picture, RenderSettings{}, m_logoPreview);
            m_logoArea = openingArea(picture);
            QCryptographicHash digest(QCryptographicHash::Sha256);
            digest.addData(logoHeader(m_logoArea));
            for (int y = m_logoArea.top; y <= m_logoArea.bottom; ++y)
                digest.addData(logoRow(m_logoPreview, m_logoArea, y));
            m_logoDigest = QString::fromLatin1(digest.result().toHex());
        } catch (const std::exception& e) {
            report.fail(ExitCode::BadInput,
                        say("Файл %1: %2", "File %1: %2").arg(m_request.logo, QString::fromUtf8(e.what())));
            return false;
        }
    }
    if (m_request.goods.isEmpty())
        return true;
    QFile file(m_request.goods);
    if (!file.open(QIODevice::ReadOnly)) {
        report.fail(ExitCode::BadInput,
                    say("Файл %1: %2", "File %1: %2").arg(m_request.goods, readFailureReason(m_request.goods, file)));
        return false;
    }
    try {
        const GoodsImport imported = importGoodsLines(m_goods, readGoodsLines(file.readAll()));
        if (imported.failedRecord) {
            report.fail(ExitCode::BadInput, say("Файл %1, товар № %2: %3", "File %1, goods record %2: %3")
                                                .arg(m_request.goods)
                                                .arg(*imported.failedRecord)
                                                .arg(imported.failure));
            return false;
        }
        m_goodsRecords = imported.records;
    } catch (const std::exception& e) {
        report.fail(ExitCode::BadInput,
                    say("Файл %1: %2", "File %1: %2").arg(m_request.goods, QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

std::optional<QList<GoodsDiff::Difference>>
Session::goodsDifferences(const QList<int>& records, QHash<int, GoodsDiff::Record>* held, CliReport& report) {
    QList<GoodsDiff::Difference> found;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int record = records[i];
        GoodsDiff::Record inRegister;
        if (!readGoodsRecord(m_link, record, inRegister.fields, inRegister.fractional)) {
            report.fail(
                ExitCode::NoRegister,
                say("Товар № %1 не прочитан: %2", "Goods record %1 was not read: %2").arg(record).arg(failureText()));
            return std::nullopt;
        }
        if (held)
            held->insert(record, inRegister);
        found << GoodsDiff::differences(record, inRegister, {m_goods.record(record), m_goods.fractional(record)});
        if (m_progress)
            m_progress(int(i) + 1, int(records.size()));
    }
    return found;
}

CliReport Session::compare(bool apply) {
    CliReport report;
    report.json = {{QStringLiteral("changed"), false},
                   {QStringLiteral("diff"), QJsonArray()},
                   {QStringLiteral("backup"), QJsonValue()},
                   {QStringLiteral("verified"), false},
                   {QStringLiteral("mismatches"), QJsonArray()},
                   {QStringLiteral("failed"), false},
                   {QStringLiteral("msg"), ""}};
    // Files that cannot go out whole are refused before the port is opened.
    if (!loadFiles(report, apply) || !connect(report))
        return report;
    const auto fields = RegisterFields::fieldsOf(allSections());
    const auto held = registerValues(fields, report);
    if (!held)
        return report;
    const auto differences = ConfigDiff::differences(fields, *held, m_configured);
    QHash<int, GoodsDiff::Record> heldGoods;
    const auto goodsDiff = goodsDifferences(m_goodsRecords, &heldGoods, report);
    if (!goodsDiff)
        return report;

    QJsonArray diff;
    QStringList sections;
    for (const auto& d : differences) {
        QJsonObject entry = fieldJson(*d.field);
        entry.insert(QStringLiteral("before"), d.before);
        entry.insert(QStringLiteral("after"), d.after);
        diff << entry;
        report.lines << say("%1: в ККМ «%2», в файле «%3»", "%1: register \"%2\", file \"%3\"")
                            .arg(fieldName(*d.field), d.before, d.after);
        if (!sections.contains(d.field->section))
            sections << d.field->section;
    }
    QList<int> records;
    for (const auto& d : *goodsDiff) {
        QJsonObject entry = goodsJson(d);
        entry.insert(QStringLiteral("before"), d.before);
        entry.insert(QStringLiteral("after"), d.after);
        diff << entry;
        report.lines << say("Товар № %1, %2: в ККМ «%3», в файле «%4»",
                            "Goods record %1, %2: register \"%3\", file \"%4\"")
                            .arg(d.record)
                            .arg(goodsField(d.column), d.before, d.after);
        if (!records.contains(d.record))
            records << d.record;
    }
    // The register's logo cannot be read: it differs unless it is the one last sent from here.
    const bool logoChanged =
        !m_logoDigest.isEmpty() && Backups::lastLogo(backupFolder(), m_identity->serialNumber) != m_logoDigest;
    if (logoChanged) {
        diff << QJsonObject{{QStringLiteral("table"), QStringLiteral("logo")},
                            {QStringLiteral("row"), 1},
                            {QStringLiteral("field"), QStringLiteral("records")},
                            {QStringLiteral("before"), Backups::lastLogo(backupFolder(), m_identity->serialNumber)},
                            {QStringLiteral("after"), m_logoDigest}};
        report.lines << say("Логотип: не тот, что был записан отсюда последним",
                            "Logo: not the one last written from here");
    }
    const bool changed = !diff.isEmpty();
    report.json.insert(QStringLiteral("diff"), diff);
    report.json.insert(QStringLiteral("changed"), changed);
    if (!changed) {
        report.json.insert(QStringLiteral("msg"), say("ККМ настроена, как в файле.", "The register matches the file."));
        report.lines << report.json.value(QStringLiteral("msg")).toString();
        return report;
    }
    report.exit = ExitCode::Changed;
    if (!apply || m_request.check) {
        const QString pending = say("Отличий от файла: %1.", "Differences from the file: %1.").arg(diff.size());
        report.json.insert(QStringLiteral("msg"), pending);
        report.lines << pending;
        return report;
    }
    if (!backUp(*held, heldGoods, records, report) || !writeAll(sections, records, report) ||
        (logoChanged && !uploadLogo(report)))
        return report;
    if (!m_request.verify) {
        report.json.insert(QStringLiteral("msg"),
                           say("Записано: таблиц %1, товаров %2.", "Written: %1 tables, %2 goods records.")
                               .arg(sections.size())
                               .arg(records.size()));
        report.lines << report.json.value(QStringLiteral("msg")).toString();
        return report;
    }
    verifyAll(sections, *held, records, heldGoods, report);
    return report;
}

bool Session::backUp(const SettingsLayout::Values& held, const QHash<int, GoodsDiff::Record>& heldGoods,
                     const QList<int>& records, CliReport& report) {
    // The goods about to be overwritten are kept as the register held them.
    GoodsModel before;
    QByteArray goodsCsv;
    for (int record : records)
        before.setRecord(record, heldGoods[record].fields, heldGoods[record].fractional);
    try {
        for (int record : records)
            goodsCsv += goodsCsvContent(before, record, record);
        const QString backup =
            Backups::save(backupFolder(), m_identity->serialNumber, held, QDateTime::currentDateTime(), goodsCsv);
        report.json.insert(QStringLiteral("backup"), backup);
        report.lines << say("Копия настроек ККМ: %1", "Backup of the register's settings: %1").arg(backup);
        return true;
    } catch (const std::exception& e) {
        report.fail(ExitCode::BadInput, say("Копия настроек ККМ не сохранена, в ККМ ничего не записано: %1",
                                            "The register's settings were not backed up; nothing was written: %1")
                                            .arg(QString::fromUtf8(e.what())));
        return false;
    }
}

bool Session::writeAll(const QStringList& sections, const QList<int>& records, CliReport& report) {
    const auto failed = [&](const QString& what) {
        report.fail(m_link.lastResult == lostConnection ? ExitCode::NoRegister : ExitCode::Refused,
                    what + QStringLiteral(": ") + failureText());
        return false;
    };
    for (const QString& section : sections) {
        const auto outcome = TableWriter::write(m_link, section, m_configured);
        if (outcome.firstFailure < 0) {
            m_link.lastResult = outcome.firstFailure;
            return failed(
                say("Таблица %1 записана не полностью (%2 из %3)", "Table %1 was not written whole (%2 of %3)")
                    .arg(section)
                    .arg(outcome.rows)
                    .arg(outcome.total));
        }
    }
    for (qsizetype i = 0; i < records.size(); ++i) {
        const int record = records[i];
        m_link.lastResult = 0;
        writeGoodsRecord(m_link, record, m_goods.record(record), m_goods.fractional(record));
        if (m_link.lastResult < 0)
            return failed(
                say("Товар № %1 не записан (записано %2 из %3)", "Goods record %1 was not written (%2 of %3 written)")
                    .arg(record)
                    .arg(i)
                    .arg(records.size()));
        if (m_progress)
            m_progress(int(i) + 1, int(records.size()));
    }
    return true;
}

bool Session::uploadLogo(CliReport& report) {
    const int rows = m_logoArea.height();
    int sent = 0;
    m_link.lastResult = 0;
    sendLogo(m_link, m_logoPreview, m_logoArea, [&] {
        if (m_progress)
            m_progress(++sent, rows);
    });
    if (m_link.lastResult < 0) {
        report.fail(m_link.lastResult == lostConnection ? ExitCode::NoRegister : ExitCode::Refused,
                    say("Логотип в ККМ записан не полностью, запишите его снова: %1",
                        "The register's logo was not written whole; write it again: %1")
                        .arg(failureText()));
        return false;
    }
    try {
        Backups::rememberLogo(backupFolder(), m_identity->serialNumber, m_logoDigest);
    } catch (const std::exception& e) {
        // The logo is in the register; only the next run will send it again.
        report.lines << QString::fromUtf8(e.what());
    }
    return true;
}

void Session::verifyAll(const QStringList& sections, const SettingsLayout::Values& held, const QList<int>& records,
                        const QHash<int, GoodsDiff::Record>& heldGoods, CliReport& report) {
    const auto written = RegisterFields::fieldsOf(sections);
    const auto after = registerValues(written, report);
    if (!after)
        return;
    const auto check = ConfigDiff::verify(written, m_configured, held, *after);
    QJsonArray mismatches;
    for (const auto& m : check.mismatches) {
        QJsonObject entry = fieldJson(*m.field);
        entry.insert(QStringLiteral("expected"), m.expected);
        entry.insert(QStringLiteral("held"), m.held);
        entry.insert(QStringLiteral("kind"), m.kind == ConfigDiff::Mismatch::NotStored ? QStringLiteral("not stored")
                                                                                       : QStringLiteral("changed"));
        mismatches << entry;
        report.lines << say("%1: записано «%2», в ККМ «%3»", "%1: written \"%2\", register holds \"%3\"")
                            .arg(fieldName(*m.field), m.expected, m.held);
    }
    const auto goodsAfter = goodsDifferences(records, nullptr, report);
    if (!goodsAfter)
        return;
    for (const auto& d : *goodsAfter) {
        const QString beforeWrite = heldGoods[d.record].fields[size_t(d.column - 1)];
        QJsonObject entry = goodsJson(d);
        entry.insert(QStringLiteral("expected"), d.after);
        entry.insert(QStringLiteral("held"), d.before);
        entry.insert(QStringLiteral("kind"),
                     d.before == beforeWrite ? QStringLiteral("not stored") : QStringLiteral("changed"));
        mismatches << entry;
        report.lines << say("Товар № %1, %2: записано «%3», в ККМ «%4»",
                            "Goods record %1, %2: written \"%3\", register holds \"%4\"")
                            .arg(d.record)
                            .arg(goodsField(d.column), d.after, d.before);
    }
    report.json.insert(QStringLiteral("mismatches"), mismatches);
    if (!mismatches.isEmpty()) {
        report.fail(ExitCode::Mismatch, say("После записи ККМ хранит другие значения (%1).",
                                            "After the write the register holds other values (%1).")
                                            .arg(mismatches.size()));
        return;
    }
    report.json.insert(QStringLiteral("verified"), true);
    const int matching = check.matching + 5 * int(records.size());
    report.json.insert(QStringLiteral("msg"),
                       say("Запись проверена: %1 полей совпадают.", "Write checked: %1 fields match.").arg(matching));
    report.lines << report.json.value(QStringLiteral("msg")).toString();
}

} // namespace

CliReport runCliRequest(const CliRequest& request, const DeviceLibrary& device,
                        const std::function<void(int, int)>& progress) {
    if (!device.isLoaded())
        return CliReport{}.fail(ExitCode::NoRegister, device.errorText());
    Session session(device, request, progress);
    return session.run();
}
