#include "settings_layout.h"

#include "conversions.h"
#include "cp1251.h"
#include "options_row.h"
#include "profile_file.h"

#include <QLocale>

namespace SettingsLayout {

namespace {

Key flag(const char* name, const char* control) {
    return {QLatin1String(name), QLatin1String(control), Form::Flag, QStringLiteral("1")};
}

Key item(const char* name, const char* control, const char* fallback) {
    return {QLatin1String(name), QLatin1String(control), Form::Item, QLatin1String(fallback)};
}

Key text(const char* name, const char* control, const char* fallback = "") {
    return {QLatin1String(name), QLatin1String(control), Form::Text, QLatin1String(fallback)};
}

Key cell(const QString& name, const char* grid, int column, int row, const char* fallback = "") {
    return {name, QLatin1String(grid), Form::Text, QLatin1String(fallback), column, row};
}

QList<Section> build() {
    Section options{QStringLiteral("KKMOptions"),
                    QStringLiteral("Сохранение опций ККМ..."),
                    QStringLiteral("Загрузка опций ККМ..."),
                    {flag("Code_Sell", "cb_CodeSell"), flag("Free_Price", "cb_FreePrice"),
                     flag("Decimal_Control", "cb_DecimalControl"), flag("Money_Box", "cb_MoneyBox"),
                     flag("Incasation", "cb_Incasation"), flag("Mode_Password", "cb_ModePassword"),
                     flag("Zero_Password", "cb_ZeroPassword"), item("Light_Duration", "cb_LightDuration", "1"),
                     text("Date_Interval", "ed_DateInterval", "31"),
                     // The fallback, today's date, is decided when the file is loaded.
                     Key{QStringLiteral("Date_NextTO"), QStringLiteral("dtp_NextTO"), Form::Date, QString()}}};
    Section print{QStringLiteral("KKMPrintOpt"),
                  QStringLiteral("Сохранение опций печати ККМ..."),
                  QStringLiteral("Загрузка опций печати ККМ..."),
                  {flag("Reklama", "cb_PoReklama"), flag("Otdel", "cb_PoOtdel"), flag("Goods", "cb_PoGoods"),
                   flag("Goods_Code", "cb_PoGoodsCode"), flag("Nalog", "cb_PoNalog"), flag("Font", "cb_PoFont"),
                   flag("Separators", "cb_PoSeparators"), flag("Wide_Itog", "cb_PoWideItog"), flag("Logo", "cb_PoLogo"),
                   text("Contrast", "ed_PoContrast", "4")}};
    Section adverts{QStringLiteral("KKMReklama"),
                    QStringLiteral("Сохранение Рекламных строк..."),
                    QStringLiteral("Загрузка рекламных строк..."),
                    {}};
    const char* const lines[][3] = {{"BFirst", "ed_CheckBeginFirst", "cb_CheckBeginFirst"},
                                    {"BSecond", "ed_CheckBeginSecond", "cb_CheckBeginSecond"},
                                    {"BThird", "ed_CheckBeginThird", "cb_CheckBeginThird"},
                                    {"EFirst", "ed_CheckEndFirst", "cb_CheckEndFirst"},
                                    {"ESecond", "ed_CheckEndSecond", "cb_CheckEndSecond"},
                                    {"EThird", "ed_CheckEndThird", "cb_CheckEndThird"}};
    for (const auto& line : lines) {
        adverts.keys << text(line[0], line[1]);
        adverts.keys << Key{QLatin1String(line[0]) + QStringLiteral("Type"), QLatin1String(line[2]), Form::Item,
                            QStringLiteral("0")};
    }
    Section discounts{QStringLiteral("KKMDiscounts"),
                      QStringLiteral("Сохранение скидок, наценок..."),
                      QStringLiteral("Загрузка скидок, наценок..."),
                      {text("Discount", "ed_DiscountValue", "0"), item("DiscountPermit", "cb_DiscountPermit", "0"),
                       text("MarkUps", "ed_MarkUpsValue", "0"), item("MarkUpsPermit", "cb_MarkUpsPermit", "0")}};
    Section devices{QStringLiteral("KKMDevice"),
                    QStringLiteral("Сохранение опций устройств..."),
                    QStringLiteral("Загрузка устройств..."),
                    {item("Barcode_Speed", "cb_BarcodeSpeed", "0"),
                     item("ElectricScale_Interface", "cb_ElecticScalesInterface", "0"),
                     item("ElectricScale_Protocol", "cb_ElectronicScaleProtocol", "0"),
                     item("ElectricScale_Speed", "cb_ElectronicScaleSpeed", "0"), item("PC_Speed", "cb_PCSpeed", "0"),
                     item("Indicator_Speed", "cb_IndicatorSpeed", "0")}};
    Section operators{QStringLiteral("KKMOperators"),
                      QStringLiteral("Сохранение операторов..."),
                      QStringLiteral("Загрузка операторов..."),
                      {}};
    for (int n = 1; n <= 8; ++n) {
        const QString name = QStringLiteral("Operator%1").arg(n);
        operators.keys << cell(name, "Operators", 1, n) << cell(name + QStringLiteral("_Type"), "Operators", 2, n);
    }
    Section sections{QStringLiteral("KKMSections"),
                     QStringLiteral("Сохранение отделов..."),
                     QStringLiteral("Загрузка отделов..."),
                     {}};
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("Section%1").arg(n);
        sections.keys << cell(name, "SectionsSettings", 1, n)
                      << cell(name + QStringLiteral("_NalogCode"), "SectionsSettings", 2, n)
                      << cell(name + QStringLiteral("_Razr"), "SectionsSettings", 3, n)
                      << cell(name + QStringLiteral("_Sfer"), "SectionsSettings", 4, n);
    }
    Section taxes{
        QStringLiteral("KKMTaxes"), QStringLiteral("Сохранение налогов..."), QStringLiteral("Загрузка налогов..."), {}};
    for (int n = 1; n <= 4; ++n) {
        const QString name = QStringLiteral("Tax%1").arg(n);
        taxes.keys << cell(name, "Taxes", 1, n) << cell(name + QStringLiteral("_Value"), "Taxes", 2, n, "0.00");
    }
    return {options, print, adverts, discounts, devices, operators, sections, taxes};
}

} // namespace

QString warningText() {
    return QStringLiteral("Данный файл создан в автоматическом режиме! ПРАВКА ЗАПРЕЩЕНА!\n\rПри внесении изменений в "
                          "файл вручную, ответственность за не корректную работу программы ложится на пользователя!");
}

const QList<Section>& sections() {
    static const QList<Section> all = build();
    return all;
}

namespace {

// The value as a load puts it on the page; throws when it does not convert.
QString checked(const Key& key, const QString& value) {
    switch (key.form) {
    case Form::Flag:
        strToBool(value);
        return value;
    case Form::Item:
        strToInt(value);
        return value;
    case Form::Date: {
        // The date edit would move a date outside its range to the nearer end without a word.
        const QDate date = strToDate(value);
        if (date < OptionsRow::firstServiceDate || date > OptionsRow::lastServiceDate)
            throw ConversionError(QStringLiteral("Дата «%1» вне допустимых пределов: с %2 по %3")
                                      .arg(value,
                                           QLocale().toString(OptionsRow::firstServiceDate, QLocale::ShortFormat),
                                           QLocale().toString(OptionsRow::lastServiceDate, QLocale::ShortFormat))
                                      .toStdString());
        return value;
    }
    case Form::Text:
        break;
    }
    // The rights cell is read as a number for the ticks of its check list.
    if (key.control == QLatin1String("Operators") && key.column == 2)
        strToInt(value);
    // A field of use is services only when it is exactly "1".
    if (key.control == QLatin1String("SectionsSettings") && key.column == 4)
        return value == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
    return value;
}

} // namespace

Values read(const ProfileFile& file) {
    Values values;
    for (const Section& section : sections()) {
        const QByteArray name = toCp1251(section.name);
        for (const Key& key : section.keys) {
            const QString fallback =
                key.form == Form::Date ? QLocale().toString(QDate::currentDate(), QLocale::ShortFormat) : key.fallback;
            const QString value = fromCp1251(file.value(name, toCp1251(key.name), toCp1251(fallback)));
            try {
                values.insert(valueId(section.name, key.name), checked(key, value));
            } catch (const std::exception& e) {
                throw ConversionError(QStringLiteral("%1 (раздел %2, ключ %3)")
                                          .arg(QString::fromUtf8(e.what()), section.name, key.name)
                                          .toStdString());
            }
        }
    }
    return values;
}

QString valueId(const QString& section, const QString& key) {
    return section + QLatin1Char('\\') + key;
}

void write(ProfileFile& file, const Values& values, const std::function<void(const Section&)>& starting) {
    const QByteArray warning = toCp1251(warningSection);
    // The warning's second line would stay behind on every save and its line break stay raw when no
    // later value changes: the warning section ends as in a new file instead.
    file.removeValuelessEntries(warning);
    file.write(warning, toCp1251(warningKey), toCp1251(warningText()));
    file.rewrite();
    for (const Section& section : sections()) {
        if (starting)
            starting(section);
        const QByteArray name = toCp1251(section.name);
        for (const Key& key : section.keys)
            file.write(name, toCp1251(key.name), toCp1251(values.value(valueId(section.name, key.name))));
    }
}

} // namespace SettingsLayout
