#pragma once

#include <QList>
#include <QString>

#include <optional>

// A serial port served over the network: "rfc2217://HOST:PORT" (Telnet with the COM-port option,
// which carries the line parameters and control lines) or "tcp://HOST:PORT" (the bytes only).
struct NetPortUrl
{
    enum Scheme { Rfc2217, Tcp };

    Scheme scheme = Rfc2217;
    // A host name or IPv4 address in lower case, or an IPv6 address without its brackets.
    QString host;
    quint16 port = 0;

    // The one spelling of this address: lower-case scheme and host, IPv6 in brackets, the port
    // without leading zeros. Parsing it gives the same address back.
    QString toString() const;
    bool operator==(const NetPortUrl &other) const
    {
        return scheme == other.scheme && host == other.host && port == other.port;
    }
    bool operator!=(const NetPortUrl &other) const { return !(*this == other); }
};

// Parses "SCHEME://HOST:PORT": the scheme rfc2217 or tcp (in any case), a host of letters,
// digits, ".", "-" and "_" or an IPv6 address in brackets, and a port 1 to 65535. Refuses
// anything else: a missing part, a space anywhere, a user, path or query around the host.
std::optional<NetPortUrl> ParseNetPortUrl(const QString &text);

// The stored list of network ports: their addresses separated by spaces. Splitting keeps the good
// entries in their order and drops malformed ones and repeats of an earlier one.
QList<NetPortUrl> SplitNetPorts(const QString &stored);
QString JoinNetPorts(const QList<NetPortUrl> &ports);
