#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures that ship inside the program: its icon and its logo.
namespace quarnel {

QIcon programIcon();
QPixmap programIconPixmap(int size);
QPixmap logoPixmap();

} // namespace quarnel
