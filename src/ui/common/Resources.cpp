#include "common/Resources.h"

// The resource file is compiled into a static library, so its registration has to be
// pulled in explicitly, once, from outside any namespace.
static void registerQuarnelResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(quarnel);
        return true;
    }();
    (void)done;
}

namespace quarnel {

// The images are PNG files of our own: read with that format named, rather than through
// QIcon::addFile, whose format detection loads and asks every image plugin. The icon is
// read once; the window, its start-up and the About box all set it.
QIcon programIcon() {
    registerQuarnelResources();
    static const QIcon icon = [] {
        QIcon read;
        for (const int size : {16, 32, 48, 64, 128})
            read.addPixmap(QPixmap(QStringLiteral(":/quarnel/icon-%1.png").arg(size), "PNG"));
        return read;
    }();
    return icon;
}

QPixmap programIconPixmap(int size) {
    return programIcon().pixmap(size, size);
}

QPixmap logoPixmap() {
    registerQuarnelResources();
    return QPixmap(QStringLiteral(":/quarnel/logo.png"), "PNG");
}

} // namespace quarnel
