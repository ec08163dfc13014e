#pragma once

#include <QString>
#include <string>

namespace platform {

// The one conversion between the model's code page 932 bytes and the
// widgets' text. Every call builds its own converter, so any thread may call.
QString FromCp932(const std::string &bytes);
// Characters code page 932 lacks become substitute bytes; check with
// Cp932CanHold before storing text a user typed.
std::string ToCp932(const QString &text);
// True when the text survives the trip to code page 932 and back unchanged.
bool Cp932CanHold(const QString &text);

} // namespace platform
