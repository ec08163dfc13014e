#include "tests/support/NetnsLab.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
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
// the host .2.
struct Host {
    QString Role;
    int Subnet;
};
const QString Muted = QStringLiteral("muted");
const QString Alternating = QStringLiteral("alternating");
const Host Hosts[] = {{QStringLiteral("answering"), 1}, {Muted, 2}, {Alternating, 3}};
constexpr int UnreachableSubnet = 4;

// One nft command line is one transaction.
const char AlternationRules[] = "flush ruleset; add table ip quorvel; "
                                "add chain ip quorvel input { type filter hook input priority 0; }; "
                                "add rule ip quorvel input icmp type echo-request numgen inc mod 2 == 0 drop";

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

QString NetnsLab::Build()
{
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
    // The router meters unreachable errors per source, in a bucket that each
    // TTL expired error empties while icmp_ratelimit is 0; a source of their
    // own keeps them apart.
    ip({"-n", Name(Client), "address", "add", Address(0, 3, true), "dev", "c0"});
    ip({"-n", Name(Client), "route", "add", Address(UnreachableSubnet, 0, true), "via", Address(0, 1), "src",
        Address(0, 3)});
    ip({"-n", Name(Router), "address", "add", Address(0, 1, true), "dev", "r0"});
    ip({"-n", Name(Router), "link", "set", "r0", "up"});
    for (const Host &host : Hosts) {
        const QString side = "r" + QString::number(host.Subnet);
        ip({"-n", Name(Router), "link", "add", side, "type", "veth", "peer", "name", "h0", "netns", Name(host.Role)});
        ip({"-n", Name(Router), "address", "add", Address(host.Subnet, 1, true), "dev", side});
        ip({"-n", Name(Router), "link", "set", side, "up"});
        ip({"-n", Name(host.Role), "address", "add", Address(host.Subnet, 2, true), "dev", "h0"});
        ip({"-n", Name(host.Role), "link", "set", "h0", "up"});
        ip({"-n", Name(host.Role), "route", "add", "default", "via", Address(host.Subnet, 1)});
    }
    ip({"-n", Name(Router), "route", "add", "unreachable", Address(UnreachableSubnet, 0, true)});
    // Without a zero rate limit the router would stay silent for the later
    // of several quick errors.
    sysctl(Router, {"net.ipv4.ip_forward=1", "net.ipv4.icmp_ratelimit=0"});
    sysctl(Muted, {"net.ipv4.icmp_echo_ignore_all=1"});
    if (failure.isEmpty())
        failure = RestartAlternation();
    if (!failure.isEmpty())
        Remove();
    return failure;
}

void NetnsLab::Remove()
{
    for (const QString &name : std::as_const(Own))
        Discard(name);
    Own.clear();
}

QString NetnsLab::SelectSocketKind(SocketKind kind)
{
    // As root: an empty group range refuses datagram sockets, so the raw one opens.
    return Sysctl(Client, {kind == SocketKind::Raw ? "net.ipv4.ping_group_range=1 0"
                                                   : "net.ipv4.ping_group_range=0 2147483647"});
}

QString NetnsLab::RestartAlternation()
{
    // Loading the rule afresh starts its counter again at zero, a drop.
    return InNamespace(Alternating, {Tool("nft"), AlternationRules});
}

QString NetnsLab::RunInClient(const std::function<void()> &work) const
{
    const QByteArray path = (NetnsDirectory + '/' + Name(Client)).toLocal8Bit();
    QString failure;
    std::thread worker([&] {
        const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || setns(fd, CLONE_NEWNET) != 0) {
            failure = QStringLiteral("cannot enter %1: %2").arg(QString::fromLocal8Bit(path), std::strerror(errno));
            if (fd >= 0)
                close(fd);
            return;
        }
        close(fd);
        work();
    });
    worker.join();
    return failure;
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
