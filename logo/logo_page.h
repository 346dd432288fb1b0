#pragma once

#include "grey_picture.h"
#include "logo_frame.h"
#include "table_page.h"

#include <memory>
#include <QImage>
#include <QWidget>

class ErrorReporter;
class FileDialogs;
class MessageBoxes;
class RegisterLink;

namespace Ui {
class LogoPage;
}

// Turns a picture into the black-and-white receipt logo: the source picture in
// grey, the 320 x 255 preview rendered from it by contrast, scale and
// inversion, and the copy area framed in red, which the upload sends.
class LogoPage : public QWidget, public TablePage {
    Q_OBJECT

public:
    LogoPage(RegisterLink& link, ErrorReporter& errors, MessageBoxes& boxes, FileDialogs& dialogs,
             QWidget* parent = nullptr);
    ~LogoPage() override;

    // A logo cannot be read back, and it is written in one go.
    int rowCount() const override { return 0; }
    void readRow(int) override {}
    void writeRow(int) override {}
    int wholeWriteSteps() const override { return m_area.height(); }
    void writeWhole(const std::function<void()>& step) override { WrLogoRow(step); }
    // An empty preview would go out over the register's logo, which cannot be read back.
    QString writeRefusal(int first, int last) const override;
    bool confirmWrite() override;

    const QImage& preview() const { return m_preview; }
    bool hasPicture() const { return !m_picture.isEmpty(); }
    CopyArea copyArea() const { return m_area; }

    void bt_load_logoClick();
    void FillImage();
    void DrawRect();
    // Sends the copy area row by row; `step` advances the progress bar once per row.
    void WrLogoRow(const std::function<void()>& step);

private:
    void tb_ContrastChange();
    void tb_Res_hChange();
    void tb_res_vChange();
    void cb_proportionClick();
    void cb_invertionClick();
    void tb_widthChange();
    void tb_heightChange();
    void tb_leftChange();
    void tb_topChange();
    void scaleChanged(bool horizontal);
    void showPreview();

    std::unique_ptr<Ui::LogoPage> m_ui;
    RegisterLink& m_link;
    ErrorReporter& m_errors;
    MessageBoxes& m_boxes;
    FileDialogs& m_dialogs;
    GreyPicture m_picture;
    QImage m_preview;
    CopyArea m_area;
    // While clear, the contrast and scale sliders only update their labels.
    bool m_pictureLoaded = false;
};
