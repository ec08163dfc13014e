#include "tests/support/NetnsLab.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const QString NetnsDirectory = QStringLiteral("/run/netns");
const QString Prefix = QStringLiteral("quorvel-");

const QString Client = QStringLiteral("client");
const QString Router = QStringLiteral("router");

// Hosts behind the router, each on 198.18.<subnet>.0/24: the router is .1,
// the host .2 and on.
struct Host {
    QString Role;
    int Subnet;
};
const QString Muted = QStringLiteral("muted");
const QString Alternating = QStringLiteral("alternating");
const Host Hosts[] = {{QStringLiteral("answering"), 1}, {Muted, 2}, {Alternating, 3}};
constexpr int UnreachableSubnet = 4;

QString Name(const QString &role) { return Prefix + QString::number(getpid()) + '-' + role; }

QString Address(int subnet, int host, bool withPrefix = false)
{
    return QStringLiteral("198.18.%1.%2").arg(subnet).arg(host) + (withPrefix ? QStringLiteral("/24") : QString());
}

// iproute2 and friends live in sbin, which a test's PATH may lack.
QString Tool(const QString &name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin", "/usr/bin", "/bin"});
    return found;
}

// Not QProcess: it starts children with a clone that shares our memory, and
// ThreadSanitizer, seeing that clone, refuses every thread started after it.
QString Run(const QStringList &command)
{
    const QString shown = command.join(' ');
    std::vector<QByteArray> arguments;
    for (const QString &argument : command)
        arguments.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return shown + ": " + std::strerror(errno);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return shown + ": " + std::strerror(spawned);
    }

    QByteArray said;
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(output[0], chunk, sizeof chunk);
        if (got > 0)
            said.append(chunk, got);
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(output[0]);

    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return shown + ": " + std::strerror(errno);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("%1: %2 %3: %4")
            .arg(shown, WIFEXITED(status) ? QStringLiteral("exit") : QStringLiteral("signal"))
            .arg(WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status))
            .arg(QString::fromLocal8Bit(said).trimmed());
    return {};
}

QString Ip(const QStringList &arguments) { return Run(QStringList{Tool("ip")} + arguments); }

// Many ip commands for one namespace in a single process.
QString IpBatch(const QString &role, const QStringList &commands)
{
    QTemporaryFile file;
    if (!file.open() || file.write((commands.join('\n') + '\n').toLocal8Bit()) < 0 || !file.flush())
        return "cannot write the ip commands: " + file.errorString();
    return Ip({"-n", Name(role), "-batch", file.fileName()});
}

QString InNamespace(const QString &role, const QStringList &command)
{
    return Run(QStringList{Tool("ip"), "netns", "exec", Name(role)} + command);
}

QString Sysctl(const QString &role, const QStringList &settings)
{
    return InNamespace(role, QStringList{Tool("sysctl"), "-q", "-w"} + settings);
}

QString DeleteNamespace(const QString &name) { return Ip({"netns", "delete", name}); }

// A namespace that outlives its test shows up here, not as a failure.
void Discard(const QString &name)
{
    if (const QString failure = DeleteNamespace(name); !failure.isEmpty())
        qWarning("%s", qPrintable(failure));
}

QString CannotEnter(const QString &path, int error)
{
    return QStringLiteral("cannot enter %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

// Moves the calling thread into the network namespace a file stands for.
QString EnterNamespaceOf(const QString &path)
{
    const int fd = open(path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    const bool entered = fd >= 0 && setns(fd, CLONE_NEWNET) == 0;
    const int error = errno;
    if (fd >= 0)
        close(fd);
    return entered ? QString() : CannotEnter(path, error);
}

int SocketsListed(const QString &table)
{
    QFile file("/proc/thread-self/net/" + table);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    return static_cast<int>(lines.size()) - 1; // the first line names the columns
}

} // namespace

NetnsLab::~NetnsLab() { Remove(); }

QString NetnsLab::Unavailable()
{
    if (geteuid() != 0)
        return QStringLiteral("network namespaces need root");
    for (const char *tool : {"ip", "nft", "sysctl"})
        if (Tool(tool).isEmpty())
            return QStringLiteral("%1 is not installed").arg(tool);
    const QString probe = Name("probe");
    if (const QString failure = Ip({"netns", "add", probe}); !failure.isEmpty())
        return "no network namespace can be made here: " + failure;
    return DeleteNamespace(probe);
}

QString NetnsLab::Build(int addresses)
{
    Addresses = addresses;
    // A test that crashed leaves its namespaces behind; the pid tells whose.
    static const QRegularExpression ours("^" + QRegularExpression::escape(Prefix) + "(\\d+)-");
    for (const QString &name : QDir(NetnsDirectory).entryList(QDir::Files | QDir::System)) {
        const auto match = ours.match(name);
        if (!match.hasMatch())
            continue;
        const QString pid = match.captured(1);
        if (pid == QString::number(getpid()) || !QFileInfo::exists("/proc/" + pid))
            Discard(name);
    }

    QString failure;
    // Each step runs only while every earlier one succeeded.
    const auto ip = [&failure](const QStringList &arguments) {
        if (failure.isEmpty())
            failure = Ip(arguments);
    };
    const auto ipBatch = [&failure](const QString &role, const QStringList &commands) {
        if (failure.isEmpty())
            failure = IpBatch(role, commands);
    };
    const auto sysctl = [&failure](const QString &role, const QStringList &settings) {
        if (failure.isEmpty())
            failure = Sysctl(role, settings);
    };

    QStringList roles{Client, Router};
    for (const Host &host : Hosts)
        roles << host.Role;
    for (const QString &role : std::as_const(roles)) {
        ip({"netns", "add", Name(role)});
        if (!failure.isEmpty())
            break;
        Own << Name(role);
        ip({"-n", Name(role), "link", "set", "lo", "up"});
    }

    ip({"-n", Name(Client), "link", "add", "c0", "type", "veth", "peer", "name", "r0", "netns", Name(Router)});
    ip({"-n", Name(Client), "address", "add", Address(0, 2, true), "dev", "c0"});
    ip({"-n", Name(Client), "link", "set", "c0", "up"});
    ip({"-n", Name(Client), "route", "add", "default", "via", Address(0, 1)});
    // The router answers an unreachable route at most five times at once
    // per source, then once a second (route/error_burst and error_cost, which
    // no namespace has its own of): each unreachable address is reached from
    // a source of its own, .3 and on.
    QStringList unreachableRoutes;
    for (int i = 0; i < Addresses; ++i)
        unreachableRoutes << QStringLiteral("address add %1 dev c0").arg(Address(0, 3 + i, true))
                          << QStringLiteral("route add %1/32 via %2 src %3")
                                 .arg(Address(UnreachableSubnet, 2 + i), Address(0, 1), Address(0, 3 + i));
    ipBatch(Client, unreachableRoutes);
    ip({"-n", Name(Router), "address", "add", Address(0, 1, true), "dev", "r0"});
    ip({"-n", Name(Router), "link", "set", "r0", "up"});
    for (const Host &host : Hosts) {
        const QString side = "r" + QString::number(host.Subnet);
        ip({"-n", Name(Router), "link", "add", side, "type", "veth", "peer", "name", "h0", "netns", Name(host.Role)});
        ip({"-n", Name(Router), "address", "add", Address(host.Subnet, 1, true), "dev", side});
        ip({"-n", Name(Router), "link", "set", side, "up"});
        QStringList hostAddresses;
        for (int i = 0; i < Addresses; ++i)
            hostAddresses << QStringLiteral("address add %1 dev h0").arg(Address(host.Subnet, 2 + i, true));
        ipBatch(host.Role, hostAddresses);
        ip({"-n", Name(host.Role), "link", "set", "h0", "up"});
        ip({"-n", Name(host.Role), "route", "add", "default", "via", Address(host.Subnet, 1)});
    }
    ip({"-n", Name(Router), "route", "add", "unreachable", Address(UnreachableSubnet, 0, true)});
    // The error types in icmp_ratemask are metered per destination
    // (icmp_ratelimit) and for the whole namespace (icmp_msgs_per_sec,
    // icmp_msgs_burst); with an empty mask the router sends every error.
    sysctl(Router, {"net.ipv4.ip_forward=1", "net.ipv4.icmp_ratemask=0"});
    sysctl(Muted, {"net.ipv4.icmp_echo_ignore_all=1"});
    if (failure.isEmpty())
        failure = RestartAlternation();
    if (!failure.isEmpty())
        Remove();
    return failure;
}

void NetnsLab::Remove()
{
    if (const QString failure = LeaveClient(); !failure.isEmpty())
        qWarning("%s", qPrintable(failure));
    for (const QString &name : std::as_const(Own))
        Discard(name);
    Own.clear();
}

QString NetnsLab::HostAddress(const QString &first, int index)
{
    QStringList octets = first.split('.');
    octets.last() = QString::number(octets.last().toInt() + index);
    return octets.join('.');
}

QString NetnsLab::SelectSocketKind(SocketKind kind)
{
    // As root: an empty group range refuses datagram sockets, so the raw one opens.
    return Sysctl(
        Client, {kind == SocketKind::Raw ? "net.ipv4.ping_group_range=1 0" : "net.ipv4.ping_group_range=0 2147483647"});
}

QString NetnsLab::RestartAlternation()
{
    // One nft command line is one transaction. Each address has a rule, and
    // so a count, of its own; loading them afresh starts every count again
    // at zero, a drop.
    QString rules = QStringLiteral("flush ruleset; add table ip quorvel; "
                                   "add chain ip quorvel input { type filter hook input priority 0; }");
    for (int i = 0; i < Addresses; ++i)
        rules += QStringLiteral("; add rule ip quorvel input ip daddr %1 icmp type echo-request "
                                "numgen inc mod 2 == 0 drop")
                     .arg(HostAddress(AlternatingHost, i));
    return InNamespace(Alternating, {Tool("nft"), rules});
}

QString NetnsLab::RunInClient(const std::function<void()> &work) const
{
    QString failure;
    std::thread worker([&] {
        failure = EnterNamespaceOf(NetnsDirectory + '/' + Name(Client));
        if (failure.isEmpty())
            work();
    });
    worker.join();
    return failure;
}

QString NetnsLab::EnterClient()
{
    const QString home = QStringLiteral("/proc/thread-self/ns/net");
    if (HomeNamespace < 0)
        HomeNamespace = open(home.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (HomeNamespace < 0)
        return QStringLiteral("cannot keep %1: %2").arg(home, QString::fromLocal8Bit(std::strerror(errno)));
    return EnterNamespaceOf(NetnsDirectory + '/' + Name(Client));
}

QString NetnsLab::LeaveClient()
{
    if (HomeNamespace < 0)
        return {};
    const bool back = setns(HomeNamespace, CLONE_NEWNET) == 0;
    const int error = errno;
    close(HomeNamespace);
    HomeNamespace = -1;
    return back ? QString() : CannotEnter(QStringLiteral("this thread's own network namespace"), error);
}

std::optional<NetnsLab::SocketKind> NetnsLab::OpenEchoSocketKind()
{
    const int datagram = SocketsListed("icmp");
    const int raw = SocketsListed("raw");
    if (raw > 0 && datagram == 0)
        return SocketKind::Raw;
    if (datagram > 0 && raw == 0)
        return SocketKind::Datagram;
    return std::nullopt;
}
