#pragma once

#include <exception>
#include <string>

namespace platform {

// Base of every exception the system raises; the message is UTF-8 text.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char *what() const noexcept override { return Message.c_str(); }

private:
    std::string Message;
};

} // namespace platform
