#include "resources/Icons.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

static void RegisterVokIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace vok {

namespace {

// The window icon's sizes, for any window manager and panel.
constexpr int kWindowIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

void Icons::EnsureRegistered() {
    static const bool registered = [] {
        RegisterVokIcons();
        return true;
    }();
    (void)registered;
}

QString Icons::Path(int id) {
    return QStringLiteral(":/icons/%1.svg").arg(id);
}

bool Icons::Exists(int id) {
    EnsureRegistered();
    return QFile::exists(Path(id));
}

QPixmap Icons::Pixmap(int id, int size, qreal devicePixelRatio) {
    EnsureRegistered();
    QSvgRenderer renderer(Path(id));
    if (!renderer.isValid() || size <= 0) {
        return {};
    }
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon Icons::WindowIcon(int id) {
    QIcon icon;
    for (const int size : kWindowIconSizes) {
        const QPixmap pixmap = Pixmap(id, size);
        if (!pixmap.isNull()) {
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

}  // namespace vok
