#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a module on a UART: the program opens the slave end by
// its path, the test reads and writes the master end.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isOpen() const { return master >= 0; }
    QString slavePath() const { return path; }
    int masterFd() const { return master; }
    // The test's own descriptor of the slave end, open for the pair's lifetime. What is written
    // to it reaches the master after everything the program wrote to the slave before.
    int slaveFd() const { return slave; }

    // Closes the master end, as if the module were unplugged: the slave's device node goes away
    // and the program's descriptor of it is hung up. isOpen() is false afterwards.
    void closeMaster();

    // Writes all bytes to the master end (the program receives them).
    bool write(const QByteArray &bytes);
    // Collects what the program sent until `count` bytes have arrived or `timeoutMs` passed,
    // handling application events meanwhile so the program keeps running.
    QByteArray readAtLeast(int count, int timeoutMs = 5000);
    // Everything the program has sent so far, without waiting.
    QByteArray readAvailable();

private:
    int master = -1;
    int slave = -1;
    QString path;
};
