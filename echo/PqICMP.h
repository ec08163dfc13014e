#pragma once

#include "platform/Exception.h"
#include "platform/IcmpLibrary.h"
#include "platform/Libraries.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

// Raised when an echo component cannot be built.
class EICMPError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// One report per echo: Status 0 answered, -1 name not resolved, else the
// echo library's status. IPAddress is code page 932 text (dotted decimal).
using TOnReply =
    std::function<void(QObject *Sender, int32_t Status, const std::string &IPAddress, int32_t RTT, uint8_t TTL)>;

// Sends a series of ICMP echo requests to one IPv4 host and reports each.
// Ping runs on the calling thread; properties are set before it runs.
class TPqICMP : public QObject {
    Q_OBJECT

public:
    explicit TPqICMP(QObject *AOwner);
    ~TPqICMP() override;

    void Ping();
    std::string GetMessageString(int32_t Status) const;

    TOnReply OnReply;
    std::string Address;
    int32_t BlockSize = 64;
    uint8_t TTL = 255;
    int32_t Timeout = 5000;
    int32_t Delay = 1000;
    int32_t NumberOfPings = 3;

    std::string WinsockVersion;
    std::string WinsockHighVersion;
    std::string WinsockDescription;
    int32_t MaxSockets = 0;
    int32_t MaxUdpDg = 0;

private:
    void OpenICMP();
    void CheckEchoHandle();
    void Report(int32_t status, const std::string &address, int32_t rtt, uint8_t ttl);
    void Pause();

    platform::HMODULE hICMPdll = nullptr;
    platform::TIcmpCreateFile IcmpCreateFile = nullptr;
    platform::TIcmpCloseHandle IcmpCloseHandle = nullptr;
    platform::TIcmpSendEcho IcmpSendEcho = nullptr;
    platform::HANDLE hICMP = nullptr;
};

// The text of a reported status; empty text means the echo succeeded.
std::string GetMessageString(int32_t Status);
