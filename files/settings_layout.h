#pragma once

#include <functional>
#include <QHash>
#include <QList>
#include <QString>

class ProfileFile;

// What the settings file holds: its sections in save order, each key with the
// control (or grid cell) it comes from, the form of its value and the value a
// load takes when the key is missing.
namespace SettingsLayout {

enum class Form {
    Flag, // a check box: "-1" ticked, "0" not
    Item, // a list's item number, "-1" for none
    Text, // an edit's or a cell's text, unchanged
    Date, // a date picker, in the user's short date format
};

struct Key {
    QString name;
    QString control; // objectName of the control, or of the grid
    Form form = Form::Text;
    QString fallback;
    int column = 0; // for a grid cell: (column, row), rows from 1
    int row = 0;
};

struct Section {
    QString name;
    QString savingText; // the message line while the section is saved
    QString loadingText;
    QList<Key> keys;
};

// Written first and never read: a warning whose line break splits it over two lines of the file.
inline const QString warningSection = QStringLiteral("WARRNING");
inline const QString warningKey = QStringLiteral("ВНИМАНИЕ ");
QString warningText();

// The configuration sections in save order (the warning is not among them).
const QList<Section>& sections();

// A configuration as the file holds it: each key's value in the key's form, found by valueId().
using Values = QHash<QString, QString>;
QString valueId(const QString& section, const QString& key);

// Each key's value in `file` (its fallback when missing; today's date for the service date), checked
// as a load checks it. Throws ConversionError naming the section and key of the first value that
// does not convert. A field of use other than "1" reads as "0".
Values read(const ProfileFile& file);

// Writes the warning, then every section's keys in layout order, each replaced where it stands or
// added to its section; sections and keys of other programs stay. `starting` is told of each
// section before its keys go in. A key missing from `values` is written empty.
void write(ProfileFile& file, const Values& values, const std::function<void(const Section&)>& starting = {});

} // namespace SettingsLayout
