#include "echo/PqICMP.h"

#include "platform/Clock.h"
#include "platform/LastError.h"
#include "platform/Messages.h"
#include "platform/StopSignal.h"
#include "platform/Winsock.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

// No host name is longer; longer text is treated as a name never found.
constexpr size_t MaxAddressLength = 256;
constexpr uint8_t RequestFill = 0xA7;

std::string Trimmed(const std::string &text)
{
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t first = 0;
    size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string VersionText(uint16_t version)
{
    return std::to_string(version & 0xFF) + "." + std::to_string(version >> 8);
}

std::string NoEchoSocketMessage(int error)
{
    if (error == EACCES || error == EPERM)
        return "ICMP ソケットを開く権限がありません。sysctl の net.ipv4.ping_group_range "
               "にこのユーザーのグループを含めるか、setcap cap_net_raw+ep でプログラムに権限を与えて下さい。";
    return std::string("ICMP ソケットを開けません（") + std::strerror(error) + "）。";
}

template <typename Entry>
Entry Bound(platform::HMODULE library, const char *name)
{
    return reinterpret_cast<Entry>(platform::GetProcAddress(library, name));
}

} // namespace

TPqICMP::TPqICMP(QObject *AOwner) : QObject(AOwner)
{
    try {
        platform::WSAData data;
        if (platform::WSAStartup(0x0101, &data) != 0)
            throw EICMPError("Winsock の初期化が出来ませんでした。");
        if (data.wVersion != 0x0101)
            throw EICMPError("Winsock が v1.1 互換で動作できません。");
        WinsockVersion = VersionText(data.wVersion);
        WinsockHighVersion = VersionText(data.wHighVersion);
        WinsockDescription.assign(data.szDescription, strnlen(data.szDescription, sizeof data.szDescription));
        MaxSockets = data.iMaxSockets;
        MaxUdpDg = data.iMaxUdpDg;
        OpenICMP();
        CheckEchoHandle();
    } catch (...) {
        platform::WSACleanup();
        throw;
    }
}

TPqICMP::~TPqICMP()
{
    if (hICMP)
        IcmpCloseHandle(hICMP);
    platform::WSACleanup();
}

void TPqICMP::OpenICMP()
{
    hICMPdll = platform::LoadLibraryA("ICMP.DLL");
    if (!hICMPdll)
        throw EICMPError("必要なファイル ICMP.DLL が見つかりません。");
    IcmpCreateFile = Bound<platform::TIcmpCreateFile>(hICMPdll, "IcmpCreateFile");
    IcmpCloseHandle = Bound<platform::TIcmpCloseHandle>(hICMPdll, "IcmpCloseHandle");
    IcmpSendEcho = Bound<platform::TIcmpSendEcho>(hICMPdll, "IcmpSendEcho");
    if (!IcmpCreateFile || !IcmpCloseHandle || !IcmpSendEcho)
        throw EICMPError("ICMP.DLL のプロセスを取得出来ません。");
}

// Refuse to build where no echo handle opens at all, so the operator learns
// why instead of seeing every echo fail. Once a library has opened one, a
// later failure shows as "General failure" on the echoes themselves, so the
// probe is not repeated for every component of every sweep.
void TPqICMP::CheckEchoHandle()
{
    static std::mutex lock;
    static std::set<platform::HMODULE> opened;
    {
        std::lock_guard guard(lock);
        if (opened.count(hICMPdll))
            return;
    }
    const platform::HANDLE probe = IcmpCreateFile();
    if (!probe || probe == platform::INVALID_HANDLE_VALUE)
        throw EICMPError(NoEchoSocketMessage(platform::GetLastError()));
    IcmpCloseHandle(probe);
    std::lock_guard guard(lock);
    opened.insert(hICMPdll);
}

void TPqICMP::Report(int32_t status, const std::string &address, int32_t rtt, uint8_t ttl)
{
    if (OnReply)
        OnReply(this, status, address, rtt, ttl);
}

// The pause ends when Delay has passed, dispatching the thread's messages
// at least every 10 ms where it has any to dispatch.
void TPqICMP::Pause()
{
    const uint32_t start = platform::GetTickCount();
    for (;;) {
        const int64_t elapsed = static_cast<uint32_t>(platform::GetTickCount() - start);
        if (platform::StopRequested() || elapsed >= Delay)
            return;
        platform::ProcessMessages();
        platform::Sleep(platform::MessageInterval(static_cast<uint32_t>(Delay - elapsed)));
    }
}

void TPqICMP::Ping()
{
    const std::string target = Trimmed(Address);
    const bool nameTooLong = target.size() > MaxAddressLength;
    uint32_t address = nameTooLong ? platform::INADDR_NONE_VALUE : platform::inet_addr(target);
    bool resolved = address != platform::INADDR_NONE_VALUE;

    platform::TIPINFO options;
    options.Ttl = TTL;
    hICMP = IcmpCreateFile();
    // A size an IPv4 echo cannot carry is never sent: the 16-bit request
    // size would silently wrap.
    const bool sizeCarried = BlockSize >= 0 && BlockSize <= platform::MaxEchoDataSize;
    std::vector<uint8_t> request(sizeCarried ? static_cast<size_t>(BlockSize) : 0, RequestFill);
    std::vector<uint8_t> reply(request.size() + sizeof(platform::TICMPECHO));

    struct CleanUp {
        TPqICMP &Owner;
        ~CleanUp()
        {
            Owner.IcmpCloseHandle(Owner.hICMP);
            Owner.hICMP = nullptr;
        }
    } cleanUp{*this};

    for (int32_t remaining = NumberOfPings; remaining > 0 && !platform::StopRequested(); --remaining) {
        platform::ProcessMessages();
        if (!resolved && !nameTooLong) {
            if (const auto found = platform::gethostbyname(target)) {
                address = *found;
                resolved = true;
            }
        }
        platform::TICMPECHO record;
        if (!resolved) {
            record.Status = -1;
        } else if (!sizeCarried) {
            record.Status = platform::IP_BAD_REQ;
        } else {
            const uint32_t replies =
                IcmpSendEcho(hICMP, address, request.data(), static_cast<uint16_t>(request.size()), &options,
                             reply.data(), static_cast<uint32_t>(reply.size()), static_cast<uint32_t>(Timeout));
            std::memcpy(&record, reply.data(), sizeof record);
            if (replies == 0)
                record.Status = platform::WSAGetLastError();
        }
        if (platform::StopRequested())
            break;
        if (!resolved)
            Report(-1, "0.0.0.0", 0, 0);
        else
            Report(record.Status, platform::inet_ntoa(record.Address), static_cast<int32_t>(record.RTT),
                   record.Options.Ttl);
        Pause();
    }
}
