#pragma once

#include <QByteArray>
#include <QDateTime>

// "$" + body + "*" + checksum + CR LF, the checksum being the XOR of the body's bytes in two
// upper-case hex digits.
QByteArray nmeaSentence(const QByteArray &body);

// A GPS receiver walking slowly north-east: one fix per second, each reported as a GGA and an
// RMC sentence.
class NmeaSource
{
public:
    explicit NmeaSource(const QDateTime &startUtc);

    // The sentences of the next fix; every call moves the clock on by one second.
    QByteArray nextFix();

private:
    QDateTime time;
    // Ten-thousandths of an arc minute.
    qint64 latitude;
    qint64 longitude;
};
