#pragma once

#include "settings_layout.h"

#include <QDateTime>
#include <QString>

// Copies of a register's configuration taken before writes, as settings files that load back in
// the window: "<serial>-<yyyyMMdd-HHmmss>.sav", the newest few of each register kept.
namespace Backups {

constexpr int kept = 50;

// The backups folder in the user's data folder.
QString folder();
// The file name for a copy of register `serial` taken at `when`; characters a file name cannot
// hold are replaced.
QString fileName(const QString& serial, const QDateTime& when);
// Writes `values` as a new copy in `folder` (made when missing), with the goods records about to be
// overwritten beside it as a CSV file when there are any, then removes the oldest copies of that
// register beyond `kept`. Returns the copy's path; throws std::runtime_error saying why the copy
// could not be written, in which case nothing is removed.
QString save(const QString& folder, const QString& serial, const SettingsLayout::Values& values, const QDateTime& when,
             const QByteArray& goodsCsv = {});
// The goods CSV file beside the copy `copy`.
QString goodsFile(const QString& copy);

// A logo cannot be read back from the register: what was last uploaded to register `serial` from
// here is remembered in `folder` by a digest of its records. Empty when nothing is remembered.
QString lastLogo(const QString& folder, const QString& serial);
// Throws std::runtime_error saying why the digest could not be kept.
void rememberLogo(const QString& folder, const QString& serial, const QString& digest);

} // namespace Backups
