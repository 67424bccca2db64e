#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures that ship inside the program: its icon and its logo.
namespace quarnel {

// Starts decoding the pictures on a thread of their own, so that the start-up of the window
// need not wait for them; without it they are decoded when first asked for.
void readPicturesAhead();

QIcon programIcon();
QPixmap programIconPixmap(int size);
QPixmap logoPixmap();

} // namespace quarnel
