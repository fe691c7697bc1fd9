#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The modem lines that the preload library (support/modemlines/preload.cpp) plays for pty slaves
// in the tests listed in SERMORA_MODEMLINES_TESTS (tests/CMakeLists.txt): the test sets the
// input lines and the requests to refuse, and reads what the program asked for. What one object
// sets holds for the whole process (and the programs it starts) until another changes it.
class ModemLines
{
public:
    // One request or event on a pty slave, as the library recorded it.
    struct Change
    {
        qint64 time = 0; // CLOCK_MONOTONIC in ns
        QString line;    // "OPEN", "CLOSE", "DTR", "RTS", "BREAK", "TX" or "GET"
        int value = -1;  // DTR, RTS, BREAK: the level asked for; TX: bytes written; else -1
        bool refused = false;

        // "OPEN", "DTR 1", "TX 3", "RTS 0 refused"
        QString toString() const;
    };

    // Starts with nothing recorded, the input lines low and nothing refused.
    ModemLines();

    // Whether this process runs with the library preloaded and recording.
    bool isLoaded() const { return !directory.isEmpty(); }

    void setInputs(bool cts, bool dsr, bool dcd, bool ri);
    // Makes every request on the lines named ("DTR", "RTS", "BREAK", "GET" for reading them all)
    // fail with ENOTTY, as a driver without them does; an empty list refuses nothing.
    void failLines(const QStringList &lines);

    // Forgets what was recorded; inputs and refusals stay.
    void clear();
    QList<Change> changes() const;
    // The recorded events as toString() gives them, in order: those of `lines` if named, all but
    // the reads ("GET") otherwise.
    QStringList history(const QStringList &lines = {}) const;

private:
    void writeInputs();

    QString directory;
    QString inputs = QStringLiteral("CTS=0 DSR=0 DCD=0 RI=0");
    QString refusals;
};
