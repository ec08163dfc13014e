#pragma once

#include <QPixmap>

// The information sign: a yellow disc with a black outline and a black
// lower-case i, 30 x 30, its white corners transparent.
QPixmap InfoSign();
