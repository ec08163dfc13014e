#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Test hosts in network namespaces named after this process: a client, and
// behind one router a host that answers, one that never answers, one that
// answers every other echo, and a subnet the router calls unreachable. Each
// of the four can have several addresses.
// Every method that can fail returns what failed, or empty text.
class NetnsLab {
public:
    // The ICMP socket an echo component opens in the client namespace.
    enum class SocketKind { Raw, Datagram };

    static inline const QString RouterClientSide = QStringLiteral("198.18.0.1");
    static inline const QString AnsweringHost = QStringLiteral("198.18.1.2");
    static inline const QString MutedHost = QStringLiteral("198.18.2.2");
    static inline const QString AlternatingHost = QStringLiteral("198.18.3.2");
    static inline const QString UnreachableHost = QStringLiteral("198.18.4.2");

    NetnsLab() = default;
    ~NetnsLab();
    NetnsLab(const NetnsLab &) = delete;
    NetnsLab &operator=(const NetnsLab &) = delete;

    // Why no lab can be built here, or empty text.
    static QString Unavailable();

    // Removes namespaces left by processes that died, then builds the lab,
    // with this many addresses for each of the four.
    QString Build(int addresses = 1);
    // Brings the thread that entered the client back first.
    void Remove();
    // One of the four addresses above, moved on by index (0 gives it).
    static QString HostAddress(const QString &first, int index);

    QString SelectSocketKind(SocketKind kind);
    // Each alternating address drops the next echo it sees, then answers one.
    QString RestartAlternation();

    // Runs work on a thread of its own inside the client namespace.
    QString RunInClient(const std::function<void()> &work) const;
    // Moves the calling thread into the client namespace until it leaves;
    // the threads it starts there stay there.
    QString EnterClient();
    QString LeaveClient();
    // Called inside a namespace: the kind of the ICMP sockets open there,
    // if they are all of one kind.
    static std::optional<SocketKind> OpenEchoSocketKind();

private:
    QStringList Own;
    int Addresses = 1;
    // The namespace the thread in the client came from.
    int HomeNamespace = -1;
};
