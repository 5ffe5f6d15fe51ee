#pragma once

#include <chrono>

#include <QApplication>
#include <QElapsedTimer>
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

// Pixels of `image` inside `area` whose colour is close to `color`.
inline int CountPixels(const QImage& image, const QRect& area, const QColor& color,
                       int tolerance = 40) {
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) <= tolerance &&
                std::abs(pixel.green() - color.green()) <= tolerance &&
                std::abs(pixel.blue() - color.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

// Runs the GUI thread's events until `done` holds or the limit has passed.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limit.count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace vok::test
