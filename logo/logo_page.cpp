#include "logo_page.h"

#include "error_reporter.h"
#include "file_dialogs.h"
#include "logo_preview.h"
#include "logo_upload.h"
#include "message_boxes.h"
#include "register_link.h"
#include "ui_logo_page.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QSignalBlocker>

namespace {

// Sets a slider without running its change handler; the caller does the handler's work.
void place(QSlider* slider, int position) {
    const QSignalBlocker blocker(slider);
    slider->setValue(position);
}

int percent(const QLabel* label) {
    return label->text().section(QLatin1Char('%'), 0, 0).toInt();
}

} // namespace

LogoPage::LogoPage(RegisterLink& link, ErrorReporter& errors, MessageBoxes& boxes, FileDialogs& dialogs,
                   QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::LogoPage>())
    , m_link(link)
    , m_errors(errors)
    , m_boxes(boxes)
    , m_dialogs(dialogs)
    , m_preview(previewWidth, previewHeight, QImage::Format_RGB888) {
    m_ui->setupUi(this);
    m_ui->bt_load_logo->hide();
    m_preview.fill(Qt::white);
    showPreview();

    auto& ui = *m_ui;
    // Value labels as wide as their widest value, so that a slider keeps its length as the value changes.
    const QFontMetrics metrics = fontMetrics();
    for (QLabel* label : {ui.lb_width_cnt, ui.lb_height_cnt, ui.lb_left_cnt, ui.lb_top_cnt})
        label->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000")));
    for (QLabel* label : {ui.lb_Contrast_pr, ui.lb_Res_h_per, ui.lb_res_v_per})
        label->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000%")));
    connect(ui.bt_load_logo, &QAbstractButton::clicked, this, &LogoPage::bt_load_logoClick);
    connect(ui.tb_Contrast, &QSlider::valueChanged, this, &LogoPage::tb_ContrastChange);
    connect(ui.tb_Res_h, &QSlider::valueChanged, this, &LogoPage::tb_Res_hChange);
    connect(ui.tb_res_v, &QSlider::valueChanged, this, &LogoPage::tb_res_vChange);
    connect(ui.cb_proportion, &QAbstractButton::clicked, this, &LogoPage::cb_proportionClick);
    connect(ui.cb_invertion, &QAbstractButton::clicked, this, &LogoPage::cb_invertionClick);
    connect(ui.tb_width, &QSlider::valueChanged, this, &LogoPage::tb_widthChange);
    connect(ui.tb_height, &QSlider::valueChanged, this, &LogoPage::tb_heightChange);
    connect(ui.tb_left, &QSlider::valueChanged, this, &LogoPage::tb_leftChange);
    connect(ui.tb_top, &QSlider::valueChanged, this, &LogoPage::tb_topChange);
}

LogoPage::~LogoPage() = default;

void LogoPage::showPreview() {
    m_ui->img_Logo->setPixmap(QPixmap::fromImage(m_preview));
}

void LogoPage::bt_load_logoClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.bt_load_logoClick"), [this] {
        const QString path = m_dialogs.open(QStringLiteral("*.jpg, *.bmp (*.jpg *.bmp)"));
        if (path.isEmpty())
            return;
        // A failed read throws here, before anything of the page has changed.
        try {
            m_picture = loadLogoPicture(path);
        } catch (const LogoFileRefused& e) {
            m_boxes.error(QString::fromUtf8(e.what()));
            return;
        }

        auto& ui = *m_ui;
        m_pictureLoaded = false;
        ui.tb_Contrast->setValue(50);
        ui.tb_Res_h->setValue(10);
        ui.tb_res_v->setValue(10);
        const CopyArea opening = openingArea(m_picture);
        // The size is limited by the offsets in force before the load; only then do they go to 0.
        ui.tb_width->setValue(opening.width());
        ui.tb_height->setValue(opening.height());
        ui.tb_top->setValue(0);
        ui.tb_left->setValue(0);
        FillImage();
        m_pictureLoaded = true;
    });
}

void LogoPage::FillImage() {
    m_errors.guard(QStringLiteral("Tfm_Main.FillImage"), [this] {
        const auto& ui = *m_ui;
        const RenderSettings settings{ui.tb_Contrast->value(), percent(ui.lb_Res_h_per), percent(ui.lb_res_v_per),
                                      ui.cb_invertion->isChecked()};
        renderLogo(m_picture, settings, m_preview);
        DrawRect();
    });
}

void LogoPage::DrawRect() {
    m_errors.guard(QStringLiteral("Tfm_Main.DrawRect"), [this] {
        const auto& ui = *m_ui;
        eraseFrame(m_preview, m_area);
        CopyArea area;
        area.left = ui.lb_left_cnt->text().toInt();
        area.top = ui.lb_top_cnt->text().toInt();
        area.right = area.left + ui.tb_width->value() - 1;
        area.bottom = area.top + ui.tb_height->value() - 1;
        drawFrame(m_preview, area);
        m_area = area;
        showPreview();
    });
}

void LogoPage::tb_ContrastChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_ContrastChange"), [this] {
        m_ui->lb_Contrast_pr->setText(QStringLiteral("%1%").arg(m_ui->tb_Contrast->value()));
        if (m_pictureLoaded)
            FillImage();
    });
}

void LogoPage::tb_Res_hChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_Res_hChange"), [this] { scaleChanged(true); });
}

void LogoPage::tb_res_vChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_res_vChange"), [this] { scaleChanged(false); });
}

// One move of either scale slider renders once, also when it drags the other along.
void LogoPage::scaleChanged(bool horizontal) {
    auto& ui = *m_ui;
    QSlider* moved = horizontal ? ui.tb_Res_h : ui.tb_res_v;
    QSlider* other = horizontal ? ui.tb_res_v : ui.tb_Res_h;
    (horizontal ? ui.lb_Res_h_per : ui.lb_res_v_per)->setText(QStringLiteral("%1%").arg(moved->value() * 10));
    if (ui.cb_proportion->isChecked()) {
        const bool loaded = m_pictureLoaded;
        m_pictureLoaded = false;
        other->setValue(moved->value());
        m_pictureLoaded = loaded;
    }
    if (m_pictureLoaded)
        FillImage();
}

void LogoPage::cb_proportionClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.cb_proportionClick"),
                   [this] { m_ui->tb_Res_h->setValue(m_ui->tb_res_v->value()); });
}

void LogoPage::cb_invertionClick() {
    m_errors.guard(QStringLiteral("Tfm_Main.cb_invertionClick"), [this] { FillImage(); });
}

void LogoPage::tb_widthChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_widthChange"), [this] {
        // The largest multiple of 8 within both the request and the room right of Left.
        const int width = std::min(m_ui->tb_width->value(), previewWidth - m_area.left) / 8 * 8;
        place(m_ui->tb_width, width);
        m_ui->lb_width_cnt->setText(QString::number(m_ui->tb_width->value()));
        DrawRect();
    });
}

void LogoPage::tb_heightChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_heightChange"), [this] {
        place(m_ui->tb_height, std::min(m_ui->tb_height->value(), previewHeight - m_area.top));
        m_ui->lb_height_cnt->setText(QString::number(m_ui->tb_height->value()));
        DrawRect();
    });
}

void LogoPage::tb_leftChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_leftChange"), [this] {
        place(m_ui->tb_left, std::min(m_ui->tb_left->value(), previewWidth - m_area.width()));
        m_ui->lb_left_cnt->setText(QString::number(m_ui->tb_left->value()));
        DrawRect();
    });
}

void LogoPage::tb_topChange() {
    m_errors.guard(QStringLiteral("Tfm_Main.tb_topChange"), [this] {
        place(m_ui->tb_top, std::min(m_ui->tb_top->value(), previewHeight - m_area.height()));
        m_ui->lb_top_cnt->setText(QString::number(m_ui->tb_top->value()));
        DrawRect();
    });
}

QString LogoPage::writeRefusal(int, int) const {
    return hasPicture() ? QString() : QStringLiteral("Сначала откройте изображение.");
}

bool LogoPage::confirmWrite() {
    return m_boxes.ask(
        QStringLiteral("Логотип в ККМ будет заменён, а прочитать его из ККМ нельзя. Записать новый логотип?"));
}

void LogoPage::WrLogoRow(const std::function<void()>& step) {
    m_errors.guard(QStringLiteral("Tfm_Main.WrLogoRow"), [&] {
        // The sliders stay usable during the upload: work from the area announced in the
        // header, so no row can outgrow it.
        const CopyArea area = m_area;
        sendLogo(m_link, m_preview, area, [&] {
            step();
            QCoreApplication::processEvents();
        });
    });
}
