#pragma once

#include "goods_diff.h"
#include "settings_layout.h"

#include <functional>
#include <optional>
#include <QHash>
#include <QObject>

class CompareDialog;
class ErrorReporter;
class FileDialogs;
class GoodsModel;
class MessageBoxes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;
class RegisterLink;
class SettingsExchange;
class TransferDriver;

// The window's controls the safe writes work with.
struct SafeWriteControls {
    QWidget* pages = nullptr;
    // Each configuration page with the settings section it shows.
    QHash<QWidget*, QString> sections;
    QWidget* goodsPage = nullptr;
    QCheckBox* safeWrite = nullptr;
    QLabel* serialNumber = nullptr;
    QLabel* message = nullptr;
    QProgressBar* progress = nullptr;
    QLineEdit* goodsFirst = nullptr;
    QLineEdit* goodsLast = nullptr;
};

// Compares a page with the register, and, when the user asks for checked writes, backs the
// register's configuration up before each write and reads the written rows back after it.
class SafeWriter : public QObject {
    Q_OBJECT

public:
    SafeWriter(const SafeWriteControls& controls, RegisterLink& link, SettingsExchange& settings, GoodsModel& goods,
               TransferDriver& driver, ErrorReporter& errors, MessageBoxes& boxes, FileDialogs& dialogs,
               QObject* parent = nullptr);

    // Whether the page on view has a table to compare.
    bool canCompare(QWidget* page) const;
    void sb_CompareClick();
    void b_RestoreBackupClick();

    // Shows the dialog; true when the user chose to write. Tests answer it without a modal loop.
    std::function<bool(CompareDialog&)> showDialog;

private:
    void afterWrite(QWidget* page, int first, int last);
    // The goods records `first` .. `last` read with progress and compared with the page's; empty
    // when a read failed.
    std::optional<QList<GoodsDiff::Difference>> goodsDifferences(int first, int last);
    // The register's values of the fields of `section`'s rows `first` .. `last`, read with progress.
    std::optional<SettingsLayout::Values> readSection(const QString& section, int first, int last);
    bool takeBackup();
    void failed(const QString& text);
    QString shownValue(const QString& section, const QString& key, const QString& value) const;

    SafeWriteControls m_controls;
    RegisterLink& m_link;
    SettingsExchange& m_settings;
    GoodsModel& m_goods;
    TransferDriver& m_driver;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    // The register's values in the backup taken before the write that runs.
    SettingsLayout::Values m_before;
};
