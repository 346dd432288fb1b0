#include "safe_writer.h"

#include "backups.h"
#include "compare_dialog.h"
#include "config_diff.h"
#include "error_reporter.h"
#include "file_dialogs.h"
#include "goods_filters.h"
#include "goods_page.h"
#include "message_boxes.h"
#include "progress_steps.h"
#include "register_fields.h"
#include "register_link.h"
#include "register_reader.h"
#include "settings_exchange.h"
#include "transfer_driver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStackedWidget>

namespace {

// Pages whose rows are the fields of one register row: any write there checks them all.
bool fieldsAreRows(const QString& section) {
    return section == QLatin1String("KKMOptions") || section == QLatin1String("KKMPrintOpt");
}

QList<const RegisterFields::Field*> fieldsOfRows(const QString& section, int first, int last) {
    QList<const RegisterFields::Field*> chosen;
    for (const RegisterFields::Field* field : RegisterFields::fieldsOf({section})) {
        if (fieldsAreRows(section) || (field->row.number >= first && field->row.number <= last))
            chosen << field;
    }
    return chosen;
}

} // namespace

SafeWriter::SafeWriter(const SafeWriteControls& controls, RegisterLink& link, SettingsExchange& settings,
                       GoodsModel& goods, TransferDriver& driver, ErrorReporter& errors, MessageBoxes& boxes,
                       FileDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , showDialog([](CompareDialog& dialog) { return dialog.exec() == QDialog::Accepted; })
    , m_controls(controls)
    , m_link(link)
    , m_settings(settings)
    , m_goods(goods)
    , m_driver(driver)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_dialogs(dialogs) {
    // The copy holds the whole configuration whatever is written.
    m_driver.setWriteCheck({[this](QWidget*, int, int) { return !m_controls.safeWrite->isChecked() || takeBackup(); },
                            [this](QWidget* page, int first, int last) { afterWrite(page, first, last); }});
}

bool SafeWriter::canCompare(QWidget* page) const {
    return page == m_controls.goodsPage || m_controls.sections.contains(page);
}

void SafeWriter::failed(const QString& text) {
    m_controls.message->setText(QStringLiteral("ОШИБКА: ") + text);
    m_boxes.error(text);
}

QString SafeWriter::shownValue(const QString& section, const QString& key, const QString& value) const {
    for (const auto& s : SettingsLayout::sections()) {
        if (s.name != section)
            continue;
        for (const auto& k : s.keys) {
            if (k.name != key)
                continue;
            if (k.form == SettingsLayout::Form::Flag)
                return value == QLatin1String("0") ? QStringLiteral("нет") : QStringLiteral("да");
            if (k.form == SettingsLayout::Form::Item) {
                const auto* list = m_controls.pages->findChild<QComboBox*>(k.control);
                const int item = value.toInt();
                if (list && item >= 0 && item < list->count())
                    return list->itemText(item);
            }
        }
    }
    // Zero bytes would end the text where a table cell shows it.
    return QString(value).replace(QChar(0), QChar(0x2400));
}

std::optional<SettingsLayout::Values> SafeWriter::readSection(const QString& section, int first, int last) {
    const auto fields = fieldsOfRows(section, first, last);
    const auto rows = RegisterFields::rowsOf(fields);
    m_controls.progress->setRange(0, int(rows.size()));
    m_controls.progress->setValue(0);
    ProgressSteps progress(m_controls.progress);
    const auto read = readRegisterRows(m_link, rows, [&] { progress.step(); });
    if (m_link.lastResult < 0)
        return std::nullopt;
    return ConfigDiff::registerValues(fields, read);
}

std::optional<QList<GoodsDiff::Difference>> SafeWriter::goodsDifferences(int first, int last) {
    m_controls.progress->setRange(0, std::max(1, last - first + 1));
    m_controls.progress->setValue(0);
    ProgressSteps progress(m_controls.progress);
    QList<GoodsDiff::Difference> found;
    for (int record = first; record <= last; ++record) {
        GoodsDiff::Record held;
        if (!readGoodsRecord(m_link, record, held.fields, held.fractional))
            return std::nullopt;
        found << GoodsDiff::differences(record, held, {m_goods.record(record), m_goods.fractional(record)});
        progress.step();
    }
    return found;
}

void SafeWriter::sb_CompareClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.sb_CompareClick"), [this] {
        auto* pages = qobject_cast<QStackedWidget*>(m_controls.pages);
        QWidget* page = pages ? pages->currentWidget() : nullptr;
        if (!m_link.connected || m_driver.busy() || !canCompare(page))
            return;
        m_controls.message->setText(QStringLiteral("Идет чтение данных из ККМ для сравнения, пожалуйста подождите..."));
        QList<ShownDifference> shown;
        const auto resetProgress = qScopeGuard([this] { m_controls.progress->setValue(0); });
        if (page == m_controls.goodsPage) {
            const auto range = goodsRange(m_controls.goodsFirst->text(), m_controls.goodsLast->text());
            if (!range || range->second < range->first) {
                failed(QStringLiteral("Интервал товаров задан неверно: сравнивать нечего."));
                return;
            }
            const auto found = goodsDifferences(range->first, range->second);
            if (!found) {
                failed(m_link.errorText(m_link.lastResult));
                return;
            }
            for (const auto& d : *found) {
                const QString column = m_goods.headerData(d.column, Qt::Horizontal, Qt::DisplayRole).toString();
                shown << ShownDifference{QStringLiteral("Товар %1: %2").arg(d.record).arg(column), d.before, d.after};
            }
        } else {
            const QString section = m_controls.sections.value(page);
            const auto held = readSection(section, 1, 0xffff);
            if (!held) {
                failed(m_link.errorText(m_link.lastResult));
                return;
            }
            const auto found =
                ConfigDiff::differences(RegisterFields::fieldsOf({section}), *held, m_settings.pageValues());
            for (const auto& d : found)
                shown << ShownDifference{d.field->caption, shownValue(section, d.field->key, d.before),
                                         shownValue(section, d.field->key, d.after)};
        }
        m_controls.message->setText(shown.isEmpty() ? QStringLiteral("Отличий нет.")
                                                    : QStringLiteral("Отличий от ККМ: %1.").arg(shown.size()));
        CompareDialog dialog(shown, m_controls.pages->window());
        if (showDialog(dialog))
            m_driver.sb_WriteTableToKKMClick();
    });
}

bool SafeWriter::takeBackup() {
    const auto fields = RegisterFields::fieldsOf(m_controls.sections.values());
    const auto rows = RegisterFields::rowsOf(fields);
    m_controls.message->setText(QStringLiteral("Сохранение копии настроек ККМ, пожалуйста подождите..."));
    m_controls.progress->setRange(0, int(rows.size()));
    m_controls.progress->setValue(0);
    ProgressSteps progress(m_controls.progress);
    const auto read = readRegisterRows(m_link, rows, [&] { progress.step(); });
    m_controls.progress->setValue(0);
    const QString refused = QStringLiteral("Копия настроек ККМ не сохранена, в ККМ ничего не записано: %1.");
    if (m_link.lastResult < 0) {
        failed(refused.arg(m_link.errorText(m_link.lastResult)));
        return false;
    }
    m_before = ConfigDiff::registerValues(fields, read);
    try {
        Backups::save(Backups::folder(), m_controls.serialNumber->text(), m_before, QDateTime::currentDateTime());
    } catch (const std::exception& e) {
        failed(refused.arg(QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

void SafeWriter::afterWrite(QWidget* page, int first, int last) {
    if (!m_controls.safeWrite->isChecked())
        return;
    QStringList mismatches;
    int matching = 0;
    if (page == m_controls.goodsPage) {
        const auto found = goodsDifferences(first, last);
        if (!found) {
            failed(QStringLiteral("Запись не проверена: %1").arg(m_link.errorText(m_link.lastResult)));
            return;
        }
        matching = 5 * (last - first + 1) - int(found->size());
        for (const auto& d : *found) {
            const QString column = m_goods.headerData(d.column, Qt::Horizontal, Qt::DisplayRole).toString();
            mismatches << QStringLiteral("Товар %1: %2: записано «%3», в ККМ «%4»")
                              .arg(d.record)
                              .arg(column, d.after, d.before);
        }
    } else if (m_controls.sections.contains(page)) {
        const QString section = m_controls.sections.value(page);
        const auto after = readSection(section, first, last);
        m_controls.progress->setValue(0);
        if (!after) {
            failed(QStringLiteral("Запись не проверена: %1").arg(m_link.errorText(m_link.lastResult)));
            return;
        }
        const auto result =
            ConfigDiff::verify(fieldsOfRows(section, first, last), m_settings.pageValues(), m_before, *after);
        matching = result.matching;
        for (const auto& m : result.mismatches)
            mismatches << QStringLiteral("%1: записано «%2», в ККМ «%3» (%4)")
                              .arg(m.field->caption, shownValue(section, m.field->key, m.expected),
                                   shownValue(section, m.field->key, m.held),
                                   m.kind == ConfigDiff::Mismatch::NotStored ? QStringLiteral("не сохранено")
                                                                             : QStringLiteral("изменено ККМ"));
    } else {
        return; // the logo cannot be read back
    }
    if (mismatches.isEmpty()) {
        m_controls.message->setText(QStringLiteral("Запись проверена: %1 полей совпадают.").arg(matching));
        return;
    }
    const QString text = QStringLiteral("ОШИБКА: после записи ККМ хранит другие значения (%1).").arg(mismatches.size());
    m_controls.message->setText(text);
    m_boxes.error(text + QStringLiteral("\n\n") + mismatches.join(QLatin1Char('\n')));
}

void SafeWriter::b_RestoreBackupClick() {
    const QString folder = Backups::folder();
    QDir().mkpath(folder);
    const QString path =
        m_dialogs.openFileName(folder + QLatin1Char('/'), QStringLiteral("SAV Files (*.sav)"), QStringLiteral("sav"));
    if (!path.isEmpty())
        m_settings.loadFile(path);
}
