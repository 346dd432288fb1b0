#include "exchange_log_panel.h"

#include "exchange_log_model.h"
#include "exchange_recorder.h"
#include "file_dialogs.h"
#include "message_boxes.h"
#include "ui_exchange_log_panel.h"
#include "write_failure.h"

#include <QDir>
#include <QHeaderView>

ExchangeLogPanel::ExchangeLogPanel(ExchangeRecorder& device, MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::ExchangeLogPanel>())
    , m_device(device)
    , m_boxes(boxes)
    , m_dialogs(dialogs)
    , m_model(new ExchangeLogModel(device, this)) {
    m_ui->setupUi(this);
    m_ui->cb_Function->addItem(QStringLiteral("все"));
    for (int function = 0; function < kDeviceFunctionCount; ++function)
        m_ui->cb_Function->addItem(QString::fromLatin1(deviceFunctionName(DeviceFunction(function))), function);

    QTableView* view = m_ui->tv_Log;
    view->setModel(m_model);
    // Rows of one height let the view place 100,000 rows without measuring them.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    const QFontMetrics metrics = view->fontMetrics();
    const std::pair<int, QString> widths[] = {
        {ExchangeLogModel::TimeColumn, QStringLiteral("00:00:00.000")},
        {ExchangeLogModel::FunctionColumn, QStringLiteral("GetJRecordsCount")},
        {ExchangeLogModel::ResultColumn, QStringLiteral("Результат")},
        {ExchangeLogModel::DurationColumn, QStringLiteral("Длительность")},
        {ExchangeLogModel::SentColumn, QString(30, QLatin1Char('0'))},
        {ExchangeLogModel::ReceivedColumn, QString(24, QLatin1Char('0'))},
    };
    for (const auto& [column, sample] : widths)
        view->setColumnWidth(column, metrics.horizontalAdvance(sample) + 16);
    view->horizontalHeader()->setStretchLastSection(true);

    connect(m_ui->cb_ErrorsOnly, &QCheckBox::toggled, this, &ExchangeLogPanel::applyFilter);
    connect(m_ui->cb_Function, &QComboBox::currentIndexChanged, this, &ExchangeLogPanel::applyFilter);
    connect(m_ui->bt_Save, &QPushButton::clicked, this, &ExchangeLogPanel::bt_SaveClick);
    connect(&m_refresh, &QTimer::timeout, this, &ExchangeLogPanel::refresh);
    m_refresh.setInterval(kRefreshMs);
}

ExchangeLogPanel::~ExchangeLogPanel() = default;

void ExchangeLogPanel::showEvent(QShowEvent* event) {
    refresh();
    m_refresh.start();
    QWidget::showEvent(event);
}

void ExchangeLogPanel::hideEvent(QHideEvent* event) {
    m_refresh.stop();
    QWidget::hideEvent(event);
}

void ExchangeLogPanel::refresh() {
    const int before = m_model->rowCount();
    m_model->refresh();
    m_ui->lb_Count->setText(
        QStringLiteral("Показано вызовов: %1 из %2").arg(m_model->rowCount()).arg(m_device.log().size()));
    if (m_ui->cb_Follow->isChecked() && m_model->rowCount() != before)
        m_ui->tv_Log->scrollToBottom();
}

void ExchangeLogPanel::applyFilter() {
    const QVariant function = m_ui->cb_Function->currentData();
    m_model->setFunction(function.isValid() ? std::optional(DeviceFunction(function.toInt())) : std::nullopt);
    m_model->setErrorsOnly(m_ui->cb_ErrorsOnly->isChecked());
    refresh();
    if (m_ui->cb_Follow->isChecked())
        m_ui->tv_Log->scrollToBottom();
}

void ExchangeLogPanel::bt_SaveClick() {
    const QString path = m_dialogs.save(QStringLiteral("журнал обмена.txt"), QStringLiteral("Текстовые файлы (*.txt)"),
                                        QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    refresh();
    const QString failure = saveWhole(path, m_model->text().toUtf8());
    if (!failure.isEmpty())
        m_boxes.error(failure);
}
