#pragma once

#include <QImage>

class QWidget;

// A window as the README shows it: what the widget paints, under a plain
// caption bar with its title, since offscreen windows have no frame.
QImage WindowPicture(QWidget &window);
