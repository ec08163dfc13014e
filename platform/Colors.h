#pragma once

#include <QColor>

// VCL's fixed colours, the ones that do not follow the system's scheme.
namespace platform {

inline constexpr QColor clBlack{0, 0, 0};
inline constexpr QColor clFuchsia{255, 0, 255};
inline constexpr QColor clYellow{255, 255, 0};
inline constexpr QColor clAqua{0, 255, 255};

} // namespace platform
