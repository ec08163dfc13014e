#pragma once

#include <QFont>
#include <QStringList>

// The design font does not exist on Linux; IPAPGothic shares its metrics.
QFont JapaneseFont(int pixelSize);
