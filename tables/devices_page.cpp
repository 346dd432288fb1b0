#include "devices_page.h"

#include "devices_row.h"
#include "ui_devices_page.h"

DevicesPage::DevicesPage(RegisterLink& link, ErrorReporter& errors, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::DevicesPage>())
    , m_rows(link, errors, DevicesRow::table, DevicesRow::size) {
    m_ui->setupUi(this);
    m_lists = {Lists{nullptr, nullptr, m_ui->cb_BarcodeSpeed},
               Lists{m_ui->cb_ElecticScalesInterface, m_ui->cb_ElectronicScaleProtocol, m_ui->cb_ElectronicScaleSpeed},
               Lists{nullptr, nullptr, m_ui->cb_PCSpeed}, Lists{nullptr, nullptr, m_ui->cb_IndicatorSpeed}};
}

DevicesPage::~DevicesPage() = default;

int DevicesPage::rowCount() const {
    return DevicesRow::rowCount;
}

void DevicesPage::DevicesRowRead(int row) {
    m_rows.read(QStringLiteral("Tfm_Main.DevicesRowRead"), uint16_t(row), [&](const QByteArray& bytes) {
        const DevicesRow::Items items = DevicesRow::decode(bytes);
        const Lists& device = lists(row);
        if (device.interface) {
            device.interface->setCurrentIndex(items.interface);
            device.protocol->setCurrentIndex(items.protocol);
        }
        device.speed->setCurrentIndex(items.speed);
    });
}

void DevicesPage::DevicesRowWrite(int row) {
    m_rows.write(QStringLiteral("Tfm_Main.DevicesRowWrite"), uint16_t(row), [&] {
        const Lists& device = lists(row);
        DevicesRow::Items items;
        if (device.interface) {
            items.interface = device.interface->currentIndex();
            items.protocol = device.protocol->currentIndex();
        }
        items.speed = device.speed->currentIndex();
        return DevicesRow::encode(row, items);
    });
}
