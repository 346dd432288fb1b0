#include "transfer_driver.h"

#include "error_reporter.h"
#include "filtered_edit_delegate.h"
#include "goods_filters.h"
#include "message_boxes.h"
#include "progress_steps.h"
#include "register_link.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStackedWidget>

namespace {
const QString readSuccess = QStringLiteral("Чтение данных прошло успешно.");
const QString writeSuccess = QStringLiteral("Запись данных прошла успешно.");
const QString readIncomplete = QStringLiteral("ОШИБКА: не все данные прочитаны из ККМ.");
const QString writeIncomplete = QStringLiteral("ОШИБКА: не все данные записаны в ККМ.");
// The result of a device call to a register that does not answer.
constexpr int32_t lostConnection = -5;
} // namespace

TransferDriver::TransferDriver(const TransferControls& controls, RegisterLink& link, ErrorReporter& errors,
                               MessageBoxes& boxes, QObject* parent)
    : QObject(parent)
    , m_controls(controls)
    , m_link(link)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_popup(new QMenu(controls.pages)) {
    m_popup->setObjectName(QStringLiteral("ppm_LoadSave"));
    QAction* load = m_popup->addAction(QStringLiteral("Прочитать строку"));
    load->setObjectName(QStringLiteral("LoadString"));
    QAction* save = m_popup->addAction(QStringLiteral("Записать строку"));
    save->setObjectName(QStringLiteral("SaveString"));
    connect(load, &QAction::triggered, this, &TransferDriver::LoadStringClick);
    connect(save, &QAction::triggered, this, &TransferDriver::SaveStringClick);
    m_link.api.letThroughWhileWaiting(controls.stopButton);
}

void TransferDriver::addPage(QWidget* page, TablePage* table) {
    m_tables.insert(page, table);
}

void TransferDriver::attachRowPopup(QAbstractItemView* grid) {
    grid->viewport()->installEventFilter(this);
}

TablePage* TransferDriver::currentTable() const {
    return m_tables.value(m_controls.pages->currentWidget());
}

TransferDriver::Outcome TransferDriver::sb_ReadTableFromKKMClick() {
    return transferTable(Direction::Read);
}

TransferDriver::Outcome TransferDriver::sb_WriteTableToKKMClick() {
    return transferTable(Direction::Write);
}

void TransferDriver::LoadStringClick() {
    transferRow(Direction::Read);
}

void TransferDriver::SaveStringClick() {
    transferRow(Direction::Write);
}

void TransferDriver::sb_StopReadingClick() {
    m_link.stopRequested = true;
    // Pressed while a call hangs: a library that can give up ends it as lost.
    m_link.api.abortWaitingCall();
}

std::pair<int, int> TransferDriver::goodsRange() const {
    const auto range = ::goodsRange(m_controls.goodsFirst->text(), m_controls.goodsLast->text());
    // An end one below the start is an empty range; anything lower is a typing slip.
    if (!range || range->second < range->first - 1)
        return {0, -1};
    return *range;
}

TransferDriver::Outcome TransferDriver::transferTable(Direction direction) {
    const bool reading = direction == Direction::Read;
    const int failuresBefore = m_errors.reportedCount();
    Outcome outcome = Outcome::Failed;
    m_errors.guard(reading ? QStringLiteral("Tfm_Main.sb_ReadTableFromKKMClick")
                           : QStringLiteral("Tfm_Main.sb_WriteTableToKKMClick"),
                   [&] { outcome = runTable(reading, failuresBefore); });
    return outcome;
}

auto TransferDriver::lockWindow() {
    FilteredEditDelegate::commitOpenEditors(m_controls.pages);
    for (QWidget* w : m_controls.locked)
        w->setEnabled(false);
    m_busy = true;
    // Whatever happens inside, the user must not be left locked out of the window, nor the bar
    // left in its busy animation by an empty range.
    return qScopeGuard([this, minimum = m_controls.progress->minimum(), maximum = m_controls.progress->maximum()] {
        m_controls.progress->setRange(minimum, maximum);
        m_controls.progress->setValue(0);
        m_controls.stopButton->setEnabled(false);
        m_link.stopRequested = false;
        for (QWidget* w : m_controls.locked)
            w->setEnabled(true);
        m_busy = false;
    });
}

TransferDriver::Outcome TransferDriver::runTable(bool reading, int failuresBefore) {
    TablePage* table = currentTable();
    const bool goods = table && table->usesGoodsRange();
    const auto [first, last] = goods ? goodsRange() : std::pair{1, table ? table->rowCount() : 0};
    if (goods && last < 0) {
        m_boxes.error(badGoodsRangeText(m_controls.goodsFirst->text(), m_controls.goodsLast->text()));
        return Outcome::Failed;
    }
    if (!table) {
        m_controls.message->setText(QStringLiteral("На этой странице нет таблицы ККМ: ничего не передано."));
        return Outcome::Failed;
    }
    if (!reading && table && refused(table->writeRefusal(first, last)))
        return Outcome::Failed;
    if (reading && m_readCheck && !m_readCheck(m_controls.pages->currentWidget())) {
        m_controls.message->setText(QStringLiteral("Чтение отменено: страница осталась как была."));
        return Outcome::Failed;
    }
    if (!reading && table && !table->confirmWrite()) {
        m_controls.message->setText(QStringLiteral("Запись отменена: в ККМ ничего не передано."));
        return Outcome::Failed;
    }
    Progress done{0, 0, false};
    {
        const auto unlock = lockWindow();
        if (!reading && table && m_check.before && !m_check.before(m_controls.pages->currentWidget(), first, last))
            return Outcome::Failed;
        m_controls.progress->setMinimum(0);
        m_controls.progress->setValue(0);
        m_controls.message->setText(reading ? QStringLiteral("Идет чтение данных из ККМ, пожалуйста подождите...")
                                            : QStringLiteral("Идет запись данных в ККМ, пожалуйста подождите..."));
        const int wholeSteps = table && !reading ? table->wholeWriteSteps() : 0;
        if (wholeSteps > 0) {
            m_controls.progress->setMaximum(wholeSteps);
            ProgressSteps progress(m_controls.progress);
            done = {0, wholeSteps, true};
            m_link.lastResult = 0;
            table->writeWhole([&] {
                progress.step();
                ++done.rows;
            });
            // Each line's step comes before it goes out: a failed line was not written.
            if (m_link.lastResult < 0 && done.rows > 0)
                --done.rows;
        } else if (table) {
            m_controls.progress->setMaximum(last - first + 1);
            ProgressSteps progress(m_controls.progress);
            if (goods)
                m_controls.stopButton->setEnabled(true);
            done.total = last - first + 1;
            int32_t firstFailure = 0;
            for (int row = first; row <= last; ++row) {
                // A click on «Прервать» made while the last record was on the wire is seen now,
                // before the next record starts, not after it.
                if (goods)
                    QCoreApplication::processEvents();
                if (goods && m_link.stopRequested) {
                    done.stopped = true;
                    if (reading)
                        table->clearRows(row, last);
                    break;
                }
                // A row is judged by its own calls, not by a result an earlier transfer left behind.
                if (!reading)
                    m_link.lastResult = 0;
                const int failuresBeforeRow = m_errors.reportedCount();
                reading ? table->readRow(row) : table->writeRow(row);
                progress.step();
                // A lost register answers no later row: there is no use waiting for each in turn.
                if (m_link.lastResult == lostConnection)
                    break;
                if (m_link.lastResult >= 0 && m_errors.reportedCount() == failuresBeforeRow)
                    ++done.rows;
                // A read keeps what it got up to the failing row; a write goes on.
                if (reading && m_link.lastResult < 0)
                    break;
                if (firstFailure == 0 && m_link.lastResult < 0)
                    firstFailure = m_link.lastResult;
            }
            // A write in which any row failed is reported by its first failure, not judged by its last row,
            // unless the register was lost, which is what the user must hear first.
            if (firstFailure < 0 && m_link.lastResult != lostConnection)
                m_link.lastResult = firstFailure;
        }
    }
    const Outcome outcome = report(reading, failuresBefore, done);
    emit tableTransferred(m_controls.pages->currentWidget(), reading, outcome);
    if (!reading && outcome == Outcome::Success && m_check.after) {
        const auto unlock = lockWindow();
        m_check.after(m_controls.pages->currentWidget(), first, last);
    }
    return outcome;
}

bool TransferDriver::refused(const QString& refusal) {
    if (refusal.isEmpty())
        return false;
    m_controls.message->setText(QStringLiteral("ОШИБКА: ") + refusal);
    m_boxes.error(refusal);
    return true;
}

void TransferDriver::transferRow(Direction direction) {
    const bool reading = direction == Direction::Read;
    const int failuresBefore = m_errors.reportedCount();
    m_errors.guard(
        reading ? QStringLiteral("Tfm_Main.LoadStringClick") : QStringLiteral("Tfm_Main.SaveStringClick"), [&] {
            // A command from the row popup during a transfer would change the result that
            // the running loop tests.
            if (m_busy)
                return;
            FilteredEditDelegate::commitOpenEditors(m_controls.pages);
            TablePage* table = currentTable();
            const int row = table ? table->currentRow() : 0;
            if (row < 1) {
                m_controls.message->setText(QStringLiteral("Строка таблицы не выбрана: в ККМ ничего не передано."));
                return;
            }
            if (!reading && refused(table->writeRefusal(row, row)))
                return;
            if (reading && m_readCheck && !m_readCheck(m_controls.pages->currentWidget())) {
                m_controls.message->setText(QStringLiteral("Чтение отменено: страница осталась как была."));
                return;
            }
            QWidget* page = m_controls.pages->currentWidget();
            if (!reading && m_check.before) {
                const auto unlock = lockWindow();
                if (!m_check.before(page, row, row))
                    return;
            }
            if (!reading)
                m_link.lastResult = 0;
            reading ? table->readRow(row) : table->writeRow(row);
            if (report(reading, failuresBefore, {}) == Outcome::Success && !reading && m_check.after) {
                const auto unlock = lockWindow();
                m_check.after(page, row, row);
            }
        });
}

TransferDriver::Outcome TransferDriver::report(bool reading, int failuresBefore, const Progress& done) {
    const int32_t result = m_link.lastResult;
    const QString count = QStringLiteral("%1 %2 из %3")
                              .arg(reading ? QStringLiteral("прочитано") : QStringLiteral("записано"))
                              .arg(done.rows)
                              .arg(done.total);
    if (result >= 0) {
        // A row refused or failed on the window's side leaves a good device result behind; its
        // box has been shown, and the transfer must not end as a success.
        if (m_errors.reportedCount() != failuresBefore) {
            m_controls.message->setText(reading ? readIncomplete : writeIncomplete);
            return Outcome::Failed;
        }
        if (done.stopped) {
            m_controls.message->setText(QStringLiteral("Прервано: ") + count + QLatin1Char('.'));
            return Outcome::Stopped;
        }
        m_controls.message->setText(reading ? readSuccess : writeSuccess);
        return Outcome::Success;
    }
    QString text = QStringLiteral("ОШИБКА: ") + m_link.errorText(result);
    if (result == lostConnection) {
        // The register stopped answering: the connection is taken as lost.
        m_controls.pages->setCurrentWidget(m_controls.mainPage);
        m_link.connected = false;
        // The count belongs to the sentence that says the register is gone.
        if (done.total > 0) {
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
            text += QStringLiteral(" (%1)").arg(count);
        }
        if (!text.endsWith(QLatin1Char('.')))
            text += QLatin1Char('.');
        if (done.whole)
            text += QStringLiteral(" Логотип в ККМ записан не полностью: запишите его снова.");
        text += QStringLiteral(" Проверьте кабель и питание ККМ.");
    }
    m_controls.message->setText(text);
    m_boxes.error(text);
    return result == lostConnection ? Outcome::Lost : Outcome::Failed;
}

bool TransferDriver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            GoodsMouseDown(qobject_cast<QAbstractItemView*>(watched->parent()), mouse->position().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TransferDriver::GoodsMouseDown(QAbstractItemView* grid, const QPoint& position) {
    m_errors.guard(QStringLiteral("Tfm_Main.GoodsMouseDown"), [&] {
        const QModelIndex cell = grid->indexAt(position);
        if (!cell.isValid())
            return;
        const QModelIndex current = grid->currentIndex();
        const int column = current.isValid() ? current.column() : cell.column();
        grid->setCurrentIndex(grid->model()->index(cell.row(), column));
        m_popup->popup(grid->viewport()->mapToGlobal(position));
    });
}
