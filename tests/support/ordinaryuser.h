#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <sys/types.h>

// The cases about permissions run as an ordinary user, also where the suite runs as root (as CI
// does), for whom every mode bit is open. As root the process takes the ids of the unprivileged
// user "nobody" while an AsOrdinaryUser lives: real and effective uid and gid 65534, no
// supplementary groups, and with them no capabilities, so the kernel checks each open, and each
// access() the toolkit makes, as it does for that user. The window and its event loop go on as
// usual meanwhile. Run as anyone else nothing changes: that user already is an ordinary one.

// The ids of the ordinary user: nobody's as root, otherwise the current ones.
uid_t ordinaryUserId();
gid_t ordinaryGroupId();

class AsOrdinaryUser
{
public:
    AsOrdinaryUser();
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

    // False when root could not take nobody's ids (a user namespace that maps no other id, say);
    // nothing was changed then, and the case cannot be tested as an ordinary user.
    bool isOrdinary() const { return ordinary; }

private:
    bool ordinary = false;
    bool switched = false;
    QVector<gid_t> groups;
    int dumpable = 1;
};

// An empty folder that the ordinary user owns and can reach, in the temporary directory (which
// every user can pass through, unlike a root-owned working directory), removed with everything in
// it when this goes.
class OrdinaryUserFolder : public QTemporaryDir
{
public:
    OrdinaryUserFolder();
};

// Gives the file or folder to the ordinary user and sets its mode; false when that fails.
bool handToOrdinaryUser(const QString &path, mode_t mode);
