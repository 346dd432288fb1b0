#include "compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CompareDialog::CompareDialog(const QList<ShownDifference>& differences, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(differences.isEmpty() ? QStringLiteral("Сравнение с ККМ")
                                         : QStringLiteral("Сравнение с ККМ: отличий %1").arg(differences.size()));
    auto* layout = new QVBoxLayout(this);
    if (differences.isEmpty()) {
        auto* none = new QLabel(QStringLiteral("Отличий нет."), this);
        none->setObjectName(QStringLiteral("lb_NoDifferences"));
        layout->addWidget(none);
    } else {
        auto* table = new QTableWidget(int(differences.size()), 3, this);
        table->setObjectName(QStringLiteral("tw_Differences"));
        table->setHorizontalHeaderLabels(
            {QStringLiteral("Поле"), QStringLiteral("В ККМ"), QStringLiteral("На странице")});
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->verticalHeader()->hide();
        for (int row = 0; row < differences.size(); ++row) {
            const ShownDifference& d = differences[row];
            table->setItem(row, 0, new QTableWidgetItem(d.caption));
            table->setItem(row, 1, new QTableWidgetItem(d.before));
            table->setItem(row, 2, new QTableWidgetItem(d.after));
        }
        table->resizeColumnsToContents();
        table->horizontalHeader()->setStretchLastSection(true);
        table->setMinimumWidth(std::min(900, table->horizontalHeader()->length() + 40));
        layout->addWidget(table);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* write = buttons->addButton(QStringLiteral("Записать в ККМ"), QDialogButtonBox::AcceptRole);
    write->setObjectName(QStringLiteral("b_WriteToKKM"));
    write->setEnabled(!differences.isEmpty());
    QPushButton* close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("b_Close"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
