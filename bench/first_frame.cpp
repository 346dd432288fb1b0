#include "first_frame.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1'000'000'000LL + ts.tv_nsec;
}

// Prints the moment the window has finished its first paint, then quits.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, [] {
                std::printf("%lld\n", monotonicNs());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

int runChild(int argc, char** argv, const ShowWindow& showWindow) {
    QApplication app(argc, argv);
    FirstPaint watcher;
    return showWindow(app, [&](QWidget& window) { window.installEventFilter(&watcher); });
}

struct Run {
    double firstFrameMs;
    double peakRssMb;
};

Run runOnce(const char* self) {
    int out[2];
    if (pipe(out) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char child[] = "--child";
    char* args[] = {const_cast<char*>(self), child, nullptr};
    const long long start = monotonicNs();
    pid_t pid = 0;
    if (posix_spawn(&pid, self, &actions, nullptr, args, environ) != 0)
        std::exit(1);
    close(out[1]);
    std::string text;
    char buf[64];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
        text.append(buf, size_t(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
        std::fprintf(stderr, "the window was not painted\n");
        std::exit(1);
    }
    return {double(std::stoll(text) - start) / 1e6, double(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int firstFrameMain(int argc, char** argv, const char* name, const ShowWindow& showWindow) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, showWindow);

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    constexpr int runs = 9;
    std::vector<double> frames;
    std::vector<double> rss;
    runOnce(argv[0]); // warms the file cache
    for (int i = 0; i < runs; ++i) {
        const Run run = runOnce(argv[0]);
        frames.push_back(run.firstFrameMs);
        rss.push_back(run.peakRssMb);
    }
    std::printf("%s_first_frame_ms: %.1f ms\n", name, median(frames));
    std::printf("%s_peak_rss_mb: %.1f MB\n", name, median(rss));
    return 0;
}
