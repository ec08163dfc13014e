#include "tests/support/SilentLoopback.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

QString Failed(const QString &what) { return what + ": " + std::strerror(errno); }

QString BringLoopbackUp()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Failed("socket");
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    QString failure;
    if (ioctl(fd, SIOCGIFFLAGS, &request) != 0)
        failure = Failed("reading the flags of lo");
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    if (failure.isEmpty() && ioctl(fd, SIOCSIFFLAGS, &request) != 0)
        failure = Failed("bringing lo up");
    close(fd);
    return failure;
}

// /proc/sys/net shows the namespace of the thread that opens it.
QString Sysctl(const QString &name, const QByteArray &value)
{
    QFile file("/proc/sys/net/ipv4/" + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(value) != value.size() || !file.flush())
        return QStringLiteral("setting %1 to %2: %3").arg(name, QString::fromLatin1(value), file.errorString());
    return {};
}

} // namespace

QString RunInSilentLoopback(NetnsLab::SocketKind kind, const std::function<void()> &work)
{
    QString failure;
    std::thread inside([&] {
        if (unshare(CLONE_NEWNET) != 0) {
            failure = Failed("no network namespace can be made here");
            return;
        }
        failure = BringLoopbackUp();
        if (failure.isEmpty())
            failure = Sysctl("icmp_echo_ignore_all", "1");
        // As root: an empty group range refuses datagram sockets, so the raw one opens.
        if (failure.isEmpty())
            failure = Sysctl("ping_group_range", kind == NetnsLab::SocketKind::Raw ? "1 0" : "0 2147483647");
        if (failure.isEmpty())
            work();
    });
    inside.join();
    return failure;
}
