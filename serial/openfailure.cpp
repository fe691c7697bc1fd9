#include "serial/openfailure.h"

#include "app/texts.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString OpenFailureDetails(const QString &portName, const QString &reason,
                           const QString &deniedGroup)
{
    // With no name the port object tries "/dev/" itself, and "Is a directory" would mislead.
    if (portName.isEmpty())
        return Texts::NoPortSelected();
    if (deniedGroup.isEmpty())
        return reason;
    return reason + QLatin1Char('\n') + Texts::JoinGroup(deniedGroup);
}

QString DeniedDeviceGroup(const QString &portName)
{
#ifdef Q_OS_LINUX
    // The port object takes a bare name as a node below /dev.
    const bool isPath = portName.startsWith(QLatin1Char('/')) ||
                        portName.startsWith(QLatin1String("./")) ||
                        portName.startsWith(QLatin1String("../"));
    const QByteArray node =
        QFile::encodeName(isPath ? portName : QStringLiteral("/dev/") + portName);
    if (::faccessat(AT_FDCWD, node.constData(), R_OK | W_OK, AT_EACCESS) == 0 || errno != EACCES)
        return QString();
    struct stat status;
    if (::stat(node.constData(), &status) != 0)
        return QString();
    if (const group *owner = ::getgrgid(status.st_gid))
        return QString::fromLocal8Bit(owner->gr_name);
    return QString::number(status.st_gid);
#else
    Q_UNUSED(portName);
    return QString();
#endif
}
