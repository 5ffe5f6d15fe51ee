#pragma once

#include <chrono>
#include <thread>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "wizard/DialogFonts.h"

namespace vok::test {

// The one QApplication of a GUI test program, made on first use on the
// thread that runs the tests.
inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "vok-gui-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv);
        DialogFonts::InstallSubstitutes();
        return made;
    }();
    return *app;
}

// Pixels of `image` whose colour is close to `color`.
inline int CountPixels(const QImage& image, const QColor& color, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - color.red()) <= tolerance &&
                     std::abs(pixel.green() - color.green()) <= tolerance &&
                     std::abs(pixel.blue() - color.blue()) <= tolerance;
        }
    }
    return count;
}

// Runs the GUI thread's events until `done` holds or the limit has passed.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Waits until `done` holds or the limit has passed without running the GUI
// thread's events, as a GUI thread busy elsewhere would.
template <typename Predicate>
bool WaitWithoutEvents(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace vok::test
