#include "support/ordinaryuser.h"

#include <QFile>

#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The uid and gid that Debian and most systems give "nobody" and "nogroup".
constexpr uid_t nobodyUid = 65534;
constexpr gid_t nobodyGid = 65534;

bool isRoot()
{
    return geteuid() == 0;
}

} // namespace

uid_t ordinaryUserId()
{
    return isRoot() ? nobodyUid : geteuid();
}

gid_t ordinaryGroupId()
{
    return isRoot() ? nobodyGid : getegid();
}

AsOrdinaryUser::AsOrdinaryUser()
{
    if (!isRoot()) {
        ordinary = true;
        return;
    }
    const int count = getgroups(0, nullptr);
    if (count < 0)
        return;
    groups.resize(count);
    if (getgroups(count, groups.data()) != count)
        return;
    dumpable = prctl(PR_GET_DUMPABLE);
    // The saved ids stay root's, the way back; glibc changes the ids of every thread.
    if (setgroups(0, nullptr) != 0)
        return;
    switched = true;
    if (setresgid(nobodyGid, nobodyGid, 0) != 0 || setresuid(nobodyUid, nobodyUid, 0) != 0)
        return;
    ordinary = true;
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (!switched)
        return;
    // The uid first: with it come back the capabilities that allow the rest.
    if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0 ||
        setgroups(size_t(groups.size()), groups.constData()) != 0)
        qFatal("cannot take root's ids back");
    // A change of ids leaves the process not dumpable, which the sanitizers' leak check minds.
    prctl(PR_SET_DUMPABLE, dumpable);
}

OrdinaryUserFolder::OrdinaryUserFolder()
{
    if (isValid() && isRoot())
        handToOrdinaryUser(path(), 0700);
}

bool handToOrdinaryUser(const QString &path, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    if (isRoot() && chown(name.constData(), nobodyUid, nobodyGid) != 0)
        return false;
    return chmod(name.constData(), mode) == 0;
}
