// The echo library on Linux ICMP sockets: an unprivileged datagram ("ping")
// socket where the kernel allows one, else a raw socket.
#include "platform/IcmpLibrary.h"

#include "platform/IcmpPackets.h"
#include "platform/LastError.h"
#include "platform/StopSignal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct EchoSocket {
    int Fd = -1;
    bool Raw = false;
    uint16_t Identifier = 0; // ours on raw sockets; the kernel sets it on datagram sockets
    uint16_t Sequence = 0;
    int Ttl = -1;
    std::vector<uint8_t> Received;
};

// One echo in flight: what a packet must show to be its answer.
struct PendingEcho {
    EchoSocket &Socket;
    uint32_t Destination;
    uint16_t Sequence;
    SteadyClock::time_point Sent;
    uint8_t *ReplyBuffer;
    uint32_t ReplySize;
};

std::atomic<uint16_t> NextIdentifier{static_cast<uint16_t>(getpid() * 251)};

bool IsOurEcho(const PendingEcho &echo, const icmp::EchoHeader &header)
{
    return header.Sequence == echo.Sequence && (!echo.Socket.Raw || header.Identifier == echo.Socket.Identifier);
}

uint32_t ElapsedMilliseconds(const PendingEcho &echo)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - echo.Sent);
    return static_cast<uint32_t>(std::max<int64_t>(0, elapsed.count()));
}

void WriteRecord(void *replyBuffer, const TICMPECHO &record) { std::memcpy(replyBuffer, &record, sizeof record); }

bool OnlyOurRepliesPass(int fd, uint16_t identifier)
{
    icmp_filter types{};
    types.data = ~(1u << ICMP_ECHOREPLY);
    if (setsockopt(fd, SOL_RAW, ICMP_FILTER, &types, sizeof types) != 0)
        return false;
    // Drop other processes' replies in the kernel, so hundreds of sockets do
    // not each read every reply.
    sock_filter code[] = {
        BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, identifier, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFFFFFFu),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
    return setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program) == 0;
}

void DiscardQueue(int fd, int flags)
{
    uint8_t discarded;
    bool failedBefore = false;
    for (;;) {
        if (recv(fd, &discarded, sizeof discarded, flags | MSG_DONTWAIT) >= 0) {
            failedBefore = false;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK || failedBefore) {
            return;
        } else {
            failedBefore = true; // a pending ICMP error fails one read, then reading goes on
        }
    }
}

// Nothing queued before an echo is sent can answer it, yet it takes buffer
// room, and a full buffer makes the kernel drop the answer. A raw socket
// takes every ICMP packet on the host until its filters are in place, and
// every host's ICMP errors for good, since no filter reaches its error queue.
void DiscardQueued(int fd)
{
    DiscardQueue(fd, 0);
    DiscardQueue(fd, MSG_ERRQUEUE);
}

HANDLE IcmpCreateFile()
{
    bool raw = false;
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0 && (errno == EACCES || errno == EPROTONOSUPPORT || errno == EAFNOSUPPORT)) {
        fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        raw = true;
    }
    if (fd < 0) {
        SetLastError(errno);
        return INVALID_HANDLE_VALUE;
    }
    const int on = 1;
    bool ready = setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on) == 0;
    uint16_t identifier = 0;
    if (raw) {
        identifier = NextIdentifier.fetch_add(1);
        ready = ready && OnlyOurRepliesPass(fd, identifier);
    } else {
        ready = ready && setsockopt(fd, SOL_IP, IP_RECVTTL, &on, sizeof on) == 0;
    }
    if (!ready) {
        SetLastError(errno);
        close(fd);
        return INVALID_HANDLE_VALUE;
    }
    return new EchoSocket{fd, raw, identifier, 0, -1, {}};
}

bool IcmpCloseHandle(HANDLE handle)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return false;
    auto *socket = static_cast<EchoSocket *>(handle);
    close(socket->Fd);
    delete socket;
    return true;
}

uint8_t ReceivedTtl(msghdr &message)
{
    for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_IP && c->cmsg_type == IP_TTL && c->cmsg_len >= CMSG_LEN(sizeof(int))) {
            int ttl = 0;
            std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
            return static_cast<uint8_t>(ttl);
        }
    }
    return 0;
}

// Reads one packet; true when it was the reply to the pending echo.
bool ReadReply(const PendingEcho &echo)
{
    EchoSocket &socket = echo.Socket;
    sockaddr_in from{};
    iovec data{socket.Received.data(), socket.Received.size()};
    alignas(cmsghdr) char control[128];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = recvmsg(socket.Fd, &message, MSG_DONTWAIT);
    if (got < 0 || (message.msg_flags & MSG_TRUNC) || message.msg_namelen < sizeof from)
        return false;
    const auto size = static_cast<size_t>(got);
    const auto reply = socket.Raw ? icmp::ReadRawReply(socket.Received.data(), size)
                                  : icmp::ReadDatagramReply(socket.Received.data(), size);
    if (!reply || !IsOurEcho(echo, reply->Header) || from.sin_addr.s_addr != echo.Destination)
        return false;

    TICMPECHO record;
    record.Address = from.sin_addr.s_addr;
    record.Status = IP_SUCCESS;
    record.RTT = ElapsedMilliseconds(echo);
    record.DataSize = static_cast<uint16_t>(reply->DataSize);
    record.Data = sizeof record;
    record.Options.Ttl = socket.Raw ? reply->Ttl : ReceivedTtl(message);
    WriteRecord(echo.ReplyBuffer, record);
    const size_t room = echo.ReplySize - sizeof record;
    std::memcpy(echo.ReplyBuffer + sizeof record, socket.Received.data() + reply->DataOffset,
                std::min(room, reply->DataSize));
    return true;
}

int32_t StatusOfLocalError(int error)
{
    if (error == EHOSTUNREACH)
        return IP_DEST_HOST_UNREACHABLE;
    if (error == ENETUNREACH)
        return IP_DEST_NET_UNREACHABLE;
    return IP_GENERAL_FAILURE;
}

// Reads one entry of the error queue; true when it was about the pending
// echo. The entry quotes the ICMP header of the request it concerns.
bool ReadError(const PendingEcho &echo)
{
    uint8_t quoted[64];
    sockaddr_in target{};
    iovec data{quoted, sizeof quoted};
    alignas(cmsghdr) char control[256];
    msghdr message{};
    message.msg_name = &target;
    message.msg_namelen = sizeof target;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = recvmsg(echo.Socket.Fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (got < 0) {
        // The error stays pending, and the socket keeps polling as failed,
        // when the kernel had no room left to queue its details.
        int pending = 0;
        socklen_t size = sizeof pending;
        getsockopt(echo.Socket.Fd, SOL_SOCKET, SO_ERROR, &pending, &size);
        return false;
    }
    const auto header = icmp::ReadEchoHeader(quoted, static_cast<size_t>(got));
    if (!header || !IsOurEcho(echo, *header) || message.msg_namelen < sizeof target ||
        target.sin_addr.s_addr != echo.Destination)
        return false;

    for (cmsghdr *c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR || c->cmsg_len < CMSG_LEN(sizeof(sock_extended_err)))
            continue;
        sock_extended_err error;
        std::memcpy(&error, CMSG_DATA(c), sizeof error);
        TICMPECHO record;
        record.Status = error.ee_origin == SO_EE_ORIGIN_ICMP ? StatusOfIcmpError(error.ee_type, error.ee_code)
                                                             : StatusOfLocalError(static_cast<int>(error.ee_errno));
        const size_t offenderAt =
            reinterpret_cast<const uint8_t *>(SO_EE_OFFENDER(reinterpret_cast<sock_extended_err *>(CMSG_DATA(c)))) -
            reinterpret_cast<const uint8_t *>(c);
        if (c->cmsg_len >= offenderAt + sizeof(sockaddr_in)) {
            sockaddr_in offender;
            std::memcpy(&offender, reinterpret_cast<const uint8_t *>(c) + offenderAt, sizeof offender);
            if (offender.sin_family == AF_INET)
                record.Address = offender.sin_addr.s_addr;
        }
        record.RTT = ElapsedMilliseconds(echo);
        WriteRecord(echo.ReplyBuffer, record);
        return true;
    }
    return false;
}

bool SetTtl(EchoSocket &socket, uint8_t ttl)
{
    if (socket.Ttl == ttl)
        return true;
    const int value = ttl;
    if (setsockopt(socket.Fd, SOL_IP, IP_TTL, &value, sizeof value) != 0)
        return false;
    socket.Ttl = ttl;
    return true;
}

uint32_t Fail(int32_t status)
{
    SetLastError(status);
    return 0;
}

uint32_t IcmpSendEcho(HANDLE handle, uint32_t destination, void *requestData, uint16_t requestSize,
                      TIPINFO *requestOptions, void *replyBuffer, uint32_t replySize, uint32_t timeout)
{
    if (!replyBuffer || replySize < sizeof(TICMPECHO))
        return Fail(IP_BUF_TOO_SMALL);
    WriteRecord(replyBuffer, TICMPECHO{});
    if (!handle || handle == INVALID_HANDLE_VALUE || (requestSize && !requestData))
        return Fail(IP_GENERAL_FAILURE);
    EchoSocket &socket = *static_cast<EchoSocket *>(handle);
    if (!SetTtl(socket, requestOptions ? requestOptions->Ttl : 128))
        return Fail(IP_GENERAL_FAILURE);

    DiscardQueued(socket.Fd);
    const uint16_t sequence = ++socket.Sequence;
    const auto request =
        icmp::BuildEchoRequest(socket.Identifier, sequence, static_cast<const uint8_t *>(requestData), requestSize);
    socket.Received.resize(60 + icmp::EchoHeaderSize + requestSize + 1);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    const PendingEcho echo{socket,   destination, sequence, SteadyClock::now(), static_cast<uint8_t *>(replyBuffer),
                           replySize};
    if (sendto(socket.Fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0)
        return Fail(StatusOfLocalError(errno));

    const auto deadline = echo.Sent + std::chrono::milliseconds(timeout);
    pollfd waits[2] = {{socket.Fd, POLLIN, 0}, {StopSignalFd(), POLLIN, 0}};
    for (;;) {
        if (StopRequested())
            return Fail(IP_GENERAL_FAILURE);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0)
            return Fail(IP_REQ_TIMED_OUT);
        if (poll(waits, 2, static_cast<int>(std::min<int64_t>(left, INT_MAX))) <= 0)
            continue;
        if ((waits[0].revents & POLLERR) && ReadError(echo))
            return 1;
        if ((waits[0].revents & POLLIN) && ReadReply(echo))
            return 1;
    }
}

} // namespace

std::map<std::string, void *> IcmpEntryPoints()
{
    return {
        {"IcmpCreateFile", reinterpret_cast<void *>(&IcmpCreateFile)},
        {"IcmpCloseHandle", reinterpret_cast<void *>(&IcmpCloseHandle)},
        {"IcmpSendEcho", reinterpret_cast<void *>(&IcmpSendEcho)},
    };
}

} // namespace platform
