#include "goods_csv_exchange.h"

#include "conversions.h"
#include "error_reporter.h"
#include "file_dialogs.h"
#include "filtered_edit_delegate.h"
#include "goods_csv.h"
#include "goods_filters.h"
#include "goods_model.h"
#include "message_boxes.h"
#include "progress_steps.h"
#include "write_failure.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <stdexcept>

namespace {

const QString csvFilter = QStringLiteral("CSV Files (*.csv)");

QStringList rowCells(const GoodsModel& goods, int record) {
    QStringList cells;
    for (int column = 0; column < GoodsModel::ColumnCount; ++column)
        cells << goods.cell(record, column);
    return cells;
}

void step(ProgressSteps& progress) {
    progress.step();
    QCoreApplication::processEvents();
}

} // namespace

QByteArray goodsCsvContent(const GoodsModel& goods, int first, int last, const std::function<void()>& step) {
    QByteArray content;
    for (int record = first; record <= last; ++record) {
        const QStringList cells = rowCells(goods, record);
        if (const auto bad = findUnwritableCell(cells)) {
            const QString what =
                bad->character == QLatin1String(";")
                    ? QStringLiteral("символ «;», которым в файле CSV разделяются поля")
                : bad->character.contains(QLatin1Char('\n')) || bad->character.contains(QLatin1Char('\r'))
                    ? QStringLiteral("перевод строки")
                    : QStringLiteral("символ «%1», которого нет в кодировке Windows-1251").arg(bad->character);
            throw UnwritableGoods(
                QStringLiteral("Поле «%1» товара № %2 содержит %3. Исправьте значение и повторите экспорт.")
                    .arg(goods.headerData(bad->column, Qt::Horizontal, Qt::DisplayRole).toString())
                    .arg(record)
                    .arg(what)
                    .toStdString());
        }
        content += goodsLine(cells);
        if (step)
            step();
    }
    return content;
}

GoodsImport importGoodsLines(GoodsModel& goods, const QStringList& lines, const std::function<void()>& step) {
    GoodsImport imported;
    for (const QString& line : lines) {
        const QStringList fields = splitGoodsLine(line);
        const int record = strToInt(fields[0]);
        // Row 0 holds the headers and there is no row past 9999.
        if (!isGoodsNumber(record)) {
            imported.failedRecord = record;
            return imported;
        }
        // The record is stored once, also when a field fails: the fields before it stay imported.
        GoodsModel::Fields stored = goods.record(record);
        bool fractional = goods.fractional(record);
        for (int field = 1; field < fields.size(); ++field) {
            QString text = fields[field];
            // A price written with a comma, as Russian spreadsheets write it, has its point there.
            if (field == GoodsModel::PriceColumn)
                text.replace(QLatin1Char(','), QLatin1Char('.'));
            const QString failure = checkGoodsField(field, text);
            if (!failure.isEmpty()) {
                goods.setRecord(record, stored, fractional);
                imported.failedRecord = record;
                imported.failure = failure;
                return imported;
            }
            // Fields past the grid's columns have nowhere to go.
            if (field >= GoodsModel::ColumnCount)
                continue;
            stored[size_t(field - 1)] = text;
            if (field == GoodsModel::FractionalColumn)
                fractional = text == QStringLiteral("ДА");
        }
        goods.setRecord(record, stored, fractional);
        imported.records << record;
        if (step)
            step();
    }
    return imported;
}

GoodsCsvExchange::GoodsCsvExchange(GoodsModel& goods, const CsvControls& controls, ErrorReporter& errors,
                                   MessageBoxes& boxes, FileDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_goods(goods)
    , m_controls(controls)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_dialogs(dialogs) {}

bool GoodsCsvExchange::onPage(const QWidget* page) const {
    return m_controls.pages->currentWidget() == page;
}

void GoodsCsvExchange::sb_SaveToCSVClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.sb_SaveToCSVClick"), [this] {
        m_controls.progress->setValue(0);
        exportGoods();
        m_controls.progress->setValue(0);
    });
}

void GoodsCsvExchange::sb_LoadFromCSVClick() {
    if (onPage(m_controls.logoPage)) {
        if (m_loadLogo)
            m_loadLogo();
        return;
    }
    m_errors.guard(QStringLiteral("Tfm_Main.sb_LoadFromCSVClick"), [this] {
        m_controls.progress->setValue(0);
        importGoods();
    });
}

void GoodsCsvExchange::exportGoods() {
    if (!onPage(m_controls.goodsPage))
        return;
    FilteredEditDelegate::commitOpenEditors(m_controls.pages);
    const QString path = m_dialogs.save(QString(), csvFilter, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    const QString firstText = m_controls.goodsFirst->text();
    const QString lastText = m_controls.goodsLast->text();
    const auto range = goodsRange(firstText, lastText);
    if (!range) {
        m_boxes.error(badGoodsRangeText(firstText, lastText));
        return;
    }
    const auto [first, last] = *range;
    m_controls.progress->setMaximum(last);
    m_controls.message->setText(QStringLiteral("Выполняется экспорт данных..."));

    QByteArray content;
    ProgressSteps progress(m_controls.progress);
    try {
        content = goodsCsvContent(m_goods, first, last, [&] { step(progress); });
    } catch (const UnwritableGoods& e) {
        m_boxes.error(QString::fromUtf8(e.what()));
        m_controls.message->clear();
        return;
    }
    const QString failure = saveWhole(path, content);
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
    m_controls.message->setText(QStringLiteral("Экспорт данных завершен!"));
}

void GoodsCsvExchange::importGoods() {
    if (!onPage(m_controls.goodsPage)) {
        m_controls.progress->setValue(0);
        return;
    }
    const QString path = m_dialogs.open(csvFilter, QStringLiteral("csv"));
    if (path.isEmpty()) {
        m_controls.progress->setValue(0);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Не удалось открыть файл «%1»: %2").arg(path, readFailureReason(path, file)).toStdString());
    const QStringList lines = readGoodsLines(file.readAll());
    file.close();
    m_controls.progress->setMaximum(GoodsModel::recordCount);
    m_controls.message->setText(QStringLiteral("Выполняется импорт данных..."));

    ProgressSteps progress(m_controls.progress);
    const GoodsImport imported = importGoodsLines(m_goods, lines, [&] { step(progress); });
    if (imported.failedRecord) {
        if (!imported.failure.isEmpty())
            m_boxes.plain(imported.failure);
        m_controls.message->setText(QStringLiteral("Ошибка в записи № %1").arg(*imported.failedRecord));
        return;
    }
    m_controls.message->setText(QStringLiteral("Импорт данных завершен!"));
    m_controls.progress->setValue(0);
}
