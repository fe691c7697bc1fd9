#include "serial/neturl.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsHexDigit(QChar c)
{
    return IsDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

bool IsHostNameChar(QChar c)
{
    return IsDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_');
}

bool AllOf(const QString &text, bool (*test)(QChar))
{
    return std::all_of(text.begin(), text.end(), test);
}

bool IsIpv4(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3 || !AllOf(part, IsDigit) || part.toUInt() > 255)
            return false;
    }
    return true;
}

// How many 16-bit groups a run of ":"-separated groups stands for; -1 when it is malformed. The
// last group of the address may be an IPv4 address, which stands for two.
int Ipv6Groups(const QString &run, bool last)
{
    if (run.isEmpty())
        return 0;
    const QStringList groups = run.split(QLatin1Char(':'));
    for (int i = 0; i < groups.size(); ++i) {
        const QString &group = groups.at(i);
        if (last && i == groups.size() - 1 && group.contains(QLatin1Char('.')))
            return IsIpv4(group) ? groups.size() + 1 : -1;
        if (group.isEmpty() || group.size() > 4 || !AllOf(group, IsHexDigit))
            return -1;
    }
    return groups.size();
}

// An IPv6 address in lower case, without brackets or zone: eight groups, or fewer with one "::".
bool IsIpv6(const QString &text)
{
    const int gap = text.indexOf(QLatin1String("::"));
    if (gap < 0)
        return Ipv6Groups(text, true) == 8;
    if (text.indexOf(QLatin1String("::"), gap + 1) >= 0)
        return false;
    const int before = Ipv6Groups(text.left(gap), false);
    const int after = Ipv6Groups(text.mid(gap + 2), true);
    return before >= 0 && after >= 0 && before + after <= 7;
}

} // namespace

QString NetPortUrl::toString() const
{
    const QString name =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QLatin1String(scheme == Rfc2217 ? "rfc2217://" : "tcp://") + name + QLatin1Char(':') +
           QString::number(port);
}

std::optional<NetPortUrl> ParseNetPortUrl(const QString &text)
{
    NetPortUrl url;
    const int separator = text.indexOf(QLatin1String("://"));
    if (separator < 0)
        return std::nullopt;
    const QString scheme = text.left(separator).toLower();
    if (scheme == QLatin1String("rfc2217"))
        url.scheme = NetPortUrl::Rfc2217;
    else if (scheme == QLatin1String("tcp"))
        url.scheme = NetPortUrl::Tcp;
    else
        return std::nullopt;

    // The port follows the last colon, so an unbracketed IPv6 address is refused as a host.
    const QString address = text.mid(separator + 3).toLower();
    const int colon = address.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const QString portText = address.mid(colon + 1);
    if (portText.isEmpty() || portText.size() > 5 || !AllOf(portText, IsDigit))
        return std::nullopt;
    const uint port = portText.toUInt();
    if (port == 0 || port > 65535)
        return std::nullopt;
    url.port = quint16(port);

    const QString host = address.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        url.host = host.mid(1, host.size() - 2);
        if (!IsIpv6(url.host))
            return std::nullopt;
    } else {
        if (host.isEmpty() || host.size() > 253 || !AllOf(host, IsHostNameChar))
            return std::nullopt;
        url.host = host;
    }
    return url;
}

QList<NetPortUrl> SplitNetPorts(const QString &stored)
{
    QList<NetPortUrl> ports;
    QSet<QString> seen;
    for (const QString &entry : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const std::optional<NetPortUrl> url = ParseNetPortUrl(entry);
        if (url && !seen.contains(url->toString())) {
            seen.insert(url->toString());
            ports.append(*url);
        }
    }
    return ports;
}

QString JoinNetPorts(const QList<NetPortUrl> &ports)
{
    QStringList entries;
    for (const NetPortUrl &url : ports)
        entries.append(url.toString());
    return entries.join(QLatin1Char(' '));
}
