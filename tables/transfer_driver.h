#pragma once

#include "table_page.h"

#include <functional>
#include <QHash>
#include <QList>
#include <QObject>

class ErrorReporter;
class MessageBoxes;
class QAbstractItemView;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QWidget;
class RegisterLink;

// The window's controls that a transfer drives.
struct TransferControls {
    QStackedWidget* pages = nullptr;
    QWidget* mainPage = nullptr;
    // Disabled for the length of a table transfer so that no second one starts.
    QList<QWidget*> locked;
    QWidget* stopButton = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* message = nullptr;
    QLineEdit* goodsFirst = nullptr;
    QLineEdit* goodsLast = nullptr;
};

// Runs around every write of a page's rows `first` .. `last`: `before` may stop the write before
// anything is sent (it has said why); `after` follows a write that succeeded.
struct WriteCheck {
    std::function<bool(QWidget* page, int first, int last)> before;
    std::function<void(QWidget* page, int first, int last)> after;
};

// Moves the table of the page on view between the window and the register,
// a whole table or one row, with progress and an outcome report.
class TransferDriver : public QObject {
    Q_OBJECT

public:
    TransferDriver(const TransferControls& controls, RegisterLink& link, ErrorReporter& errors, MessageBoxes& boxes,
                   QObject* parent = nullptr);

    void addPage(QWidget* page, TablePage* table);
    // Right-clicking a row of `grid` makes it current and offers the single-row commands.
    void attachRowPopup(QAbstractItemView* grid);
    void setWriteCheck(const WriteCheck& check) { m_check = check; }
    // Asked before a read replaces what a page shows; false: nothing is read.
    void setReadCheck(const std::function<bool(QWidget* page)>& check) { m_readCheck = check; }

    // How a table transfer ended: every row done, a row failed, stopped by the user, or the
    // register stopped answering.
    enum class Outcome { Success, Failed, Stopped, Lost };

    Outcome sb_ReadTableFromKKMClick();
    Outcome sb_WriteTableToKKMClick();
    void LoadStringClick();
    void SaveStringClick();
    void sb_StopReadingClick();

    QMenu* rowPopup() const { return m_popup; }
    // True while a table read or write runs: message boxes and the rows' message processing let
    // events in, and nothing may start or re-enable a transfer then.
    bool busy() const { return m_busy; }

signals:
    // A whole table went between the page and the register.
    void tableTransferred(QWidget* page, bool reading, TransferDriver::Outcome outcome);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Direction { Read, Write };
    // How far a table transfer got: rows (or logo lines) done of the total.
    struct Progress {
        int rows = 0;
        int total = 0;
        bool whole = false; // the logo, which goes out in one operation
        bool stopped = false;
    };
    Outcome transferTable(Direction direction);
    Outcome runTable(bool reading, int failuresBefore);
    // Locks the window's transfer controls until the returned guard goes.
    auto lockWindow();
    // Shows a page's refusal to write; true when there was one.
    bool refused(const QString& refusal);
    void transferRow(Direction direction);
    void GoodsMouseDown(QAbstractItemView* grid, const QPoint& position);
    std::pair<int, int> goodsRange() const;
    // The outcome by the last device result, or a failure when an error was
    // reported since `failuresBefore`; `done` tells how far a table transfer got.
    Outcome report(bool reading, int failuresBefore, const Progress& done);
    TablePage* currentTable() const;

    TransferControls m_controls;
    RegisterLink& m_link;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    QHash<QWidget*, TablePage*> m_tables;
    QMenu* m_popup = nullptr;
    bool m_busy = false;
    WriteCheck m_check;
    std::function<bool(QWidget*)> m_readCheck;
};
