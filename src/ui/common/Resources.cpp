#include "common/Resources.h"

#include <QImage>
#include <array>
#include <future>
#include <system_error>
#include <utility>

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

namespace {

struct Pictures {
    std::array<QImage, 5> icon; // 16, 32, 48, 64 and 128 pixels
    QImage logo;
};

// The images are PNG files of our own: read with that format named, rather than through
// QIcon::addFile, whose format detection loads and asks every image plugin. QImage, unlike
// QPixmap, may be read on any thread.
Pictures readPictures() {
    Pictures read;
    const std::array<int, 5> sizes = {16, 32, 48, 64, 128};
    for (std::size_t i = 0; i < sizes.size(); ++i)
        read.icon[i] = QImage(QStringLiteral(":/quarnel/icon-%1.png").arg(sizes[i]), "PNG");
    read.logo = QImage(QStringLiteral(":/quarnel/logo.png"), "PNG");
    return read;
}

// Set once, on the main thread, before anything asks for a picture.
std::future<Pictures>& picturesAhead() {
    static std::future<Pictures> ahead;
    return ahead;
}

// Read once: the window, its start-up and the About box all use them.
Pictures& pictures() {
    registerQuarnelResources();
    static Pictures read = picturesAhead().valid() ? picturesAhead().get() : readPictures();
    return read;
}

} // namespace

void readPicturesAhead() {
    registerQuarnelResources();
    try {
        picturesAhead() = std::async(std::launch::async, readPictures);
    } catch (const std::system_error&) {
        // No thread to spare: the pictures are read when first asked for.
    }
}

QIcon programIcon() {
    static const QIcon icon = [] {
        // The images become the icon's pixmaps rather than being kept beside them.
        QIcon made;
        for (QImage& image : pictures().icon)
            made.addPixmap(QPixmap::fromImage(std::move(image)));
        return made;
    }();
    return icon;
}

QPixmap programIconPixmap(int size) {
    return programIcon().pixmap(size, size);
}

QPixmap logoPixmap() {
    return QPixmap::fromImage(pictures().logo);
}

} // namespace quarnel
