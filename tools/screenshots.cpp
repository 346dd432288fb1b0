// Pictures of the window for README: the program offscreen against our emulated register,
// connected and read, a sample picture on the logo page; one PNG per page into the given folder.
// The emulated register keeps its state in a temporary folder, so every run starts from the
// factory state and the pictures come out the same.
#include "application_setup.h"
#include "compare_dialog.h"
#include "device_library.h"
#include "exchange_log_panel.h"
#include "fm_main.h"
#include "logo_page.h"
#include "recording_file_dialogs.h"
#include "recording_message_boxes.h"
#include "safe_writer.h"
#include "transfer_driver.h"

#include <cstdio>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

int fail(const QString& what) {
    std::fputs(qPrintable(what + u'\n'), stderr);
    return 1;
}

// A shop's emblem and name, drawn here so that no picture file is needed; it fits the logo's
// 320 x 255 dots at full scale.
QImage samplePicture() {
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 6));
    painter.setBrush(QColor(70, 70, 70));
    painter.drawEllipse(QPoint(60, 100), 46, 46);
    painter.setPen(QPen(Qt::white, 8));
    painter.drawLine(38, 118, 60, 78);
    painter.drawLine(60, 78, 82, 118);
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(116, 50, 200, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ВЕРШИНА"));
    font.setPixelSize(24);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(QRect(116, 100, 200, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("продукты"));
    return picture;
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir data;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (QCoreApplication::arguments().size() != 2)
        return fail(QStringLiteral("Использование: screenshots ПАПКА"));
    const QDir out(QCoreApplication::arguments().at(1));
    if (!out.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("Не удалось создать папку ") + out.path());
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    setUpApplication(app);

    const DeviceLibrary library(DeviceLibrary::defaultFile(QCoreApplication::applicationDirPath()));
    if (!library.isLoaded())
        return fail(library.errorText());
    RecordingMessageBoxes boxes;
    RecordingFileDialogs dialogs;
    Tfm_Main window(library, boxes, dialogs, data.filePath(QStringLiteral("kkm.ini")));
    // Wide enough for every column of the goods grid.
    window.resize(1120, 640);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail(QStringLiteral("Окно не показано"));

    auto* port = window.findChild<QComboBox*>(QStringLiteral("cb_KKMPort"));
    port->setCurrentIndex(port->findText(QStringLiteral("EMULATOR")));
    window.findChild<QComboBox*>(QStringLiteral("cb_KKMPortSpeed"))->setCurrentIndex(7);
    window.findChild<QAbstractButton*>(QStringLiteral("sb_Connect"))->click();
    if (!window.link().connected)
        return fail(QStringLiteral("Нет соединения с эмулятором ККМ: ") + boxes.texts().join(u'\n'));

    // The window brings its controls up to date when its event queue runs empty, which a
    // program driving it from outside never lets happen.
    const auto settle = [&] {
        QCoreApplication::processEvents();
        window.MainformActionUpdate();
    };
    const auto button = [&](const char* name) {
        settle();
        return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    const auto save = [&](const char* name, QWidget* shown = nullptr) {
        settle();
        const QString file = out.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!(shown ? shown : &window)->grab().save(file))
            return fail(QStringLiteral("Не удалось записать ") + file);
        std::printf("%s\n", qPrintable(file));
        return 0;
    };

    int failed = save("main");
    button("sb_KKMOptions")->click();
    failed += save("options");

    // Two options changed on the page, compared with the register.
    for (const char* name : {"cb_CodeSell", "cb_MoneyBox"}) {
        auto* box = window.findChild<QCheckBox*>(QString::fromLatin1(name));
        box->setChecked(!box->isChecked());
    }
    window.safeWriter().showDialog = [&](CompareDialog& dialog) {
        dialog.show();
        failed += save("compare", &dialog);
        return false;
    };
    button("sb_Compare")->click();

    button("sb_KKMGoods")->click();
    window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsStart"))->setText(QStringLiteral("1"));
    window.findChild<QLineEdit*>(QStringLiteral("ed_GoodsEND"))->setText(QStringLiteral("20"));
    window.driver().sb_ReadTableFromKKMClick();
    failed += save("goods");

    button("sb_KKMLogo")->click();
    dialogs.answer = data.filePath(QStringLiteral("vershina.bmp"));
    if (!samplePicture().save(dialogs.answer))
        return fail(QStringLiteral("Не удалось записать ") + dialogs.answer);
    window.logoPage().bt_load_logoClick();
    failed += save("logo");

    // The exchange log opens docked at the bottom, showing the calls that led here.
    window.resize(1120, 800);
    button("sb_ExchangeLog")->click();
    failed += save("exchange-log");

    // The window on an 800 x 600 screen, the title bar and frame taken off: the pages scroll, the
    // message line and the status bar stay in view.
    button("sb_ExchangeLog")->click();
    window.resize(784, 552);
    button("sb_KKMOptions")->click();
    failed += save("small-screen");
    return failed ? 1 : 0;
}
