#pragma once

#include "platform/Exception.h"

#include <string>

namespace platform {

// File and stream failures. File names are native (UTF-8) paths, so they go
// into the messages as they are.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string &fileName) : EStreamError("ファイル " + fileName + " は開けません") {}
};

class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string &fileName) : EStreamError("ファイル " + fileName + " を作成できません") {}
};

// Fewer bytes read than asked.
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("ストリームからの読み込みエラー") {}
};

// Fewer bytes written than asked.
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("ストリームへの書き込みエラー") {}
};

} // namespace platform
