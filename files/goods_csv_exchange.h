#pragma once

#include <functional>
#include <optional>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <stdexcept>

class ErrorReporter;
class FileDialogs;
class GoodsModel;
class MessageBoxes;
class QLabel;
class QLineEdit;
class QProgressBar;
class QStackedWidget;
class QWidget;

// The window's controls the goods CSV exchange works with.
struct CsvControls {
    QStackedWidget* pages = nullptr;
    QWidget* goodsPage = nullptr;
    QWidget* logoPage = nullptr;
    QLineEdit* goodsFirst = nullptr;
    QLineEdit* goodsLast = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* message = nullptr;
};

// A cell that cannot go into the file; what() says which, for the user.
class UnwritableGoods : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The CSV file of records `first` .. `last`, made whole in memory, so a refused row leaves no
// half-written file; `step` after each record. Throws UnwritableGoods.
QByteArray goodsCsvContent(const GoodsModel& goods, int first, int last, const std::function<void()>& step = {});

// What an import of a CSV file's lines did: the records it stored, in file order, or the record it
// stopped at, with the message for the user when a field was refused (none for a bad number).
struct GoodsImport {
    QList<int> records;
    std::optional<int> failedRecord;
    QString failure;
};

// Stores each line's fields in its record, checking each field; stops at the first refused line,
// keeping what came before it (the refused record as it was). `step` after each line.
GoodsImport importGoodsLines(GoodsModel& goods, const QStringList& lines, const std::function<void()>& step = {});

// Export of the goods range to a CSV file and import of a CSV file into the
// goods grid. Neither touches the register.
class GoodsCsvExchange : public QObject {
    Q_OBJECT

public:
    GoodsCsvExchange(GoodsModel& goods, const CsvControls& controls, ErrorReporter& errors, MessageBoxes& boxes,
                     FileDialogs& dialogs, QObject* parent = nullptr);

    // On the logo page the import button loads a logo picture instead.
    void setLogoLoader(std::function<void()> loader) { m_loadLogo = std::move(loader); }

    void sb_SaveToCSVClick();
    void sb_LoadFromCSVClick();

private:
    void exportGoods();
    void importGoods();
    bool onPage(const QWidget* page) const;

    GoodsModel& m_goods;
    CsvControls m_controls;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    std::function<void()> m_loadLogo;
};
