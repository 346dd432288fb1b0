#pragma once

#include <functional>

class QApplication;
class QWidget;

// Builds and shows a window in a child process: calls `watch` on the window before showing it
// and returns the application's exec().
using ShowWindow = std::function<int(QApplication& app, const std::function<void(QWidget&)>& watch)>;

// The time from starting a fresh process to its window's first paint, and the process's peak
// resident memory, offscreen. Each run is this executable started again with "--child", which
// makes the application and calls `showWindow`; one run warms the file cache, then the medians
// of 9 are printed as "<name>_first_frame_ms" and "<name>_peak_rss_mb". Returns main's result.
int firstFrameMain(int argc, char** argv, const char* name, const ShowWindow& showWindow);
