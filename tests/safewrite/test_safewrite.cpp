#include "backups.h"
#include "config_diff.h"
#include "cp1251.h"
#include "profile_file.h"
#include "register_fields.h"
#include "settings_layout.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using RegisterFields::Field;

namespace {

const Field& fieldNamed(const QString& key) {
    for (const Field& field : RegisterFields::fields()) {
        if (field.key == key)
            return field;
    }
    qFatal("no field %s", qPrintable(key));
}

QString id(const Field& field) {
    return SettingsLayout::valueId(field.section, field.key);
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    // Each key of the settings file is found in the register, and nothing else is.
    void fieldsAreTheSettingsKeys() {
        QStringList layout;
        for (const auto& section : SettingsLayout::sections()) {
            for (const auto& key : section.keys)
                layout << SettingsLayout::valueId(section.name, key.name);
        }
        QStringList fields;
        for (const Field& field : RegisterFields::fields())
            fields << id(field);
        QCOMPARE(fields, layout);
    }

    void differences_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("before"); // empty: no difference
        const QByteArray options = QByteArray::fromHex("010000000000000714070708");
        QTest::newRow("flag same") << "Code_Sell" << options << "-1"
                                   << "";
        QTest::newRow("flag other") << "Free_Price" << options << "-1"
                                    << "0";
        QTest::newRow("interval clamped as written") << "Date_Interval"
                                                     << QByteArray::fromHex("0100000000000007"
                                                                            "1f070708")
                                                     << "100"
                                                     << "";
        QTest::newRow("date same") << "Date_NextTO" << options << "07.07.2008"
                                   << "";
        QByteArray advert = toCp1251(QStringLiteral("Добро пожаловать")).leftJustified(24, ' ') + char(1);
        QTest::newRow("text without its trailing blanks") << "BFirst" << advert << "Добро пожаловать"
                                                          << "";
        QTest::newRow("text other") << "BFirst" << advert << "Добро пожаловать!"
                                    << QStringLiteral("Добро пожаловать").leftJustified(24, ' ');
        QTest::newRow("stretch") << "BFirstType" << advert << "1"
                                 << "";
        const QByteArray discount = QByteArray::fromHex("055002");
        QTest::newRow("percent as written") << "Discount" << discount << "5,5"
                                            << "";
        QTest::newRow("percent other") << "Discount" << discount << "5,49"
                                       << "5,50";
        QTest::newRow("percent refused") << "Discount" << discount << "100"
                                         << "5,50";
        QByteArray oper = QByteArray("Ab\0Cd", 5).leftJustified(17, ' ') + char(31);
        QTest::newRow("zero bytes kept") << "Operator1" << oper << QString::fromLatin1("Ab\0Cd", 5).leftJustified(14)
                                         << "";
        QTest::newRow("zero bytes lost") << "Operator1" << oper << "Ab Cd"
                                         << QString::fromLatin1("Ab\0Cd", 5).leftJustified(14);
        const QByteArray section = QByteArray("Bakery").leftJustified(11, ' ') + QByteArray::fromHex("000301");
        QTest::newRow("empty cell goes as 0") << "Section1_NalogCode" << section << ""
                                              << "";
        QTest::newRow("use") << "Section1_Sfer" << section << "0"
                             << "1";
        const QByteArray tax = QByteArray("VAT  ") + QByteArray::fromHex("1250");
        QTest::newRow("tax rate with the point") << "Tax1_Value" << tax << "12.5"
                                                 << "";
    }
    void differences() {
        QFETCH(QString, key);
        QFETCH(QByteArray, row);
        QFETCH(QString, configured);
        QFETCH(QString, before);
        const Field& field = fieldNamed(key);
        const QList<const Field*> fields{&field};
        const auto held = ConfigDiff::registerValues(fields, {{ConfigDiff::rowId(field.row), row}});
        const auto found = ConfigDiff::differences(fields, held, {{id(field), configured}});
        QCOMPARE(found.size(), before.isEmpty() ? 0 : 1);
        if (!before.isEmpty()) {
            QCOMPARE(found[0].before, before);
            QCOMPARE(found[0].after, configured);
        }
    }

    void verification_data() {
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("matching");
        QTest::addColumn<int>("kind"); // -1: none
        QTest::newRow("stored") << "12,00" << 1 << -1;
        QTest::newRow("not stored") << "5,00" << 0 << int(ConfigDiff::Mismatch::NotStored);
        QTest::newRow("changed by the register") << "9,99" << 0 << int(ConfigDiff::Mismatch::Changed);
    }
    void verification() {
        QFETCH(QString, after);
        QFETCH(int, matching);
        QFETCH(int, kind);
        const Field& field = fieldNamed(QStringLiteral("MarkUps"));
        const auto result =
            ConfigDiff::verify({&field}, {{id(field), "12"}}, {{id(field), "5,00"}}, {{id(field), after}});
        QCOMPARE(result.matching, matching);
        QCOMPARE(result.mismatches.size(), kind < 0 ? 0 : 1);
        if (kind >= 0) {
            QCOMPARE(int(result.mismatches[0].kind), kind);
            QCOMPARE(result.mismatches[0].expected, QStringLiteral("12,00"));
            QCOMPARE(result.mismatches[0].held, after);
        }
    }

    void backupsLoadBackAndKeepTheNewest() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QVERIFY(QDir().mkpath(folder));
        QFile other(folder + QStringLiteral("/notes.sav"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        const QDateTime start(QDate(2026, 12, 10), QTime(9, 30, 0));
        const SettingsLayout::Values values{{SettingsLayout::valueId("KKMTaxes", "Tax1"), QStringLiteral("НДС")}};
        QString last;
        for (int i = 0; i < Backups::kept + 2; ++i)
            last = Backups::save(folder, QStringLiteral("00 12/34"), values, start.addSecs(i));
        QCOMPARE(QFileInfo(last).fileName(), QStringLiteral("00_12_34-20261210-093051.sav"));
        // A second copy in the same second does not replace the first.
        const QString again = Backups::save(folder, QStringLiteral("00 12/34"), values, start.addSecs(51));
        QCOMPARE(QFileInfo(again).fileName(), QStringLiteral("00_12_34-20261210-093051_2.sav"));
        QVERIFY(QFileInfo::exists(last));
        const QStringList left = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left.size(), Backups::kept + 1);
        QVERIFY(left.contains(QStringLiteral("notes.sav")));
        QVERIFY(!left.contains(QStringLiteral("00_12_34-20261210-093002.sav")));
        QFile file(last);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(ProfileFile(file.readAll()).value("KKMTaxes", "Tax1"), toCp1251(QStringLiteral("НДС")));
    }

    void backupFolderThatCannotBeMadeIsNamed() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("backups"));
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        try {
            Backups::save(folder, QStringLiteral("7"), {}, QDateTime::currentDateTime());
            QFAIL("the backup was called written");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(folder), e.what());
        }
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
