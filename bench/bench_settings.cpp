// The settings file through its buttons, on the eight configuration pages: the load of the example
// snapshot (2.5 KB), and the load of and save into a file of 1 MB that holds the same snapshot
// after the sections of other programs. Median of 9 runs each.
#include "advert_page.h"
#include "device_fixture.h"
#include "devices_page.h"
#include "discount_page.h"
#include "operators_page.h"
#include "options_page.h"
#include "print_options_page.h"
#include "recording_file_dialogs.h"
#include "sections_page.h"
#include "settings_exchange.h"
#include "taxes_page.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <vector>

namespace {

constexpr int runs = 9;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("the example settings file is missing");
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail("could not write a settings file");
}

// Sections of ten entries each before the snapshot, up to `size` bytes in all.
QByteArray padded(const QByteArray& snapshot, qsizetype size) {
    QByteArray bytes;
    for (int section = 1; bytes.size() + snapshot.size() < size - 400; ++section) {
        bytes += "[Other" + QByteArray::number(section) + "]\r\n";
        for (int key = 1; key <= 10; ++key)
            bytes += "Key" + QByteArray::number(key) + "=a value another program keeps\r\n";
    }
    return bytes + snapshot;
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QTemporaryDir dir;
    DeviceFixture device;
    QWidget pages;
    auto* layout = new QVBoxLayout(&pages);
    for (QWidget* page : std::initializer_list<QWidget*>{
             new OptionsPage(device.link, device.errors), new PrintOptionsPage(device.link, device.errors),
             new AdvertPage(device.link, device.errors), new DiscountPage(device.link, device.errors),
             new DevicesPage(device.link, device.errors), new OperatorsPage(device.link, device.errors),
             new SectionsPage(device.link, device.errors), new TaxesPage(device.link, device.errors)})
        layout->addWidget(page);
    auto* progress = new QProgressBar;
    auto* message = new QLabel;
    layout->addWidget(progress);
    layout->addWidget(message);
    RecordingFileDialogs dialogs;
    SettingsExchange exchange(SettingsControls{&pages, progress, message}, device.errors, device.boxes, dialogs);

    const QByteArray example = readAll(QStringLiteral(PROFILE_EXAMPLE));
    const QString small = dir.filePath(QStringLiteral("example.sav"));
    const QString big = dir.filePath(QStringLiteral("big.sav"));
    writeAll(small, example);
    writeAll(big, padded(example, 1000 * 1000));

    const auto timed = [&](void (SettingsExchange::*click)(), const QString& path, const QString& done) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            dialogs.answer = path;
            QElapsedTimer timer;
            timer.start();
            (exchange.*click)();
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (message->text() != done)
                fail("the settings file was not handled");
        }
        return median(times);
    };
    const QString loaded = QStringLiteral("Загрузка завершена!");
    std::printf("settings_load_example_ms: %.2f ms\n", timed(&SettingsExchange::b_LoadSettingsClick, small, loaded));
    std::printf("settings_load_1mb_ms: %.2f ms\n", timed(&SettingsExchange::b_LoadSettingsClick, big, loaded));
    std::printf("settings_save_1mb_ms: %.2f ms\n",
                timed(&SettingsExchange::b_SaveSettingsClick, big, QStringLiteral("Сохранение завершено.")));
    return 0;
}
