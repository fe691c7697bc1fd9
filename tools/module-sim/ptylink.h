#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal whose slave end is reachable through a symlink, so the terminal can open the
// simulated module by a fixed path. The slave stays open here for the whole run: the master then
// never sees EIO or a hang-up when the terminal closes the port and opens it again.
class PtyLink
{
public:
    PtyLink() = default;
    ~PtyLink();
    PtyLink(const PtyLink &) = delete;
    PtyLink &operator=(const PtyLink &) = delete;

    // Opens a raw pty pair and points `linkPath` at its slave. An existing symlink there is
    // replaced (a simulator that was killed leaves one behind); anything else is left alone and
    // reported. False with `error` set on failure.
    bool open(const QString &linkPath, QString *error);
    // Removes the link unless another simulator has taken the path over since.
    void removeLink();

    int masterFd() const { return master; }

private:
    int master = -1;
    int slave = -1;
    QByteArray slaveName;
    QByteArray link;
};
