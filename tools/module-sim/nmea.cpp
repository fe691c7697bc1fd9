#include "nmea.h"

namespace {

constexpr qint64 unitsPerMinute = 10000;
constexpr qint64 unitsPerDegree = 60 * unitsPerMinute;

// Degrees and minutes as NMEA writes them: ddmm.mmmm, or dddmm.mmmm for longitudes. Whole
// units rather than floating point, so the minutes never round up to "60.0000".
QByteArray angle(qint64 units, int degreeDigits)
{
    const qint64 minutes = units % unitsPerDegree;
    return QByteArray::number(units / unitsPerDegree).rightJustified(degreeDigits, '0') +
           QByteArray::number(minutes / unitsPerMinute).rightJustified(2, '0') + '.' +
           QByteArray::number(minutes % unitsPerMinute).rightJustified(4, '0');
}

} // namespace

QByteArray nmeaSentence(const QByteArray &body)
{
    quint8 sum = 0;
    for (const char c : body)
        sum ^= quint8(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper() + "\r\n";
}

NmeaSource::NmeaSource(const QDateTime &startUtc)
    : time(startUtc.toUTC()), latitude(47 * unitsPerDegree + 229000),
      longitude(8 * unitsPerDegree + 325000)
{
}

QByteArray NmeaSource::nextFix()
{
    const QByteArray clock = time.toString(QStringLiteral("hhmmss.00")).toLatin1();
    const QByteArray date = time.toString(QStringLiteral("ddMMyy")).toLatin1();
    const QByteArray north = angle(latitude, 2);
    const QByteArray east = angle(longitude, 3);
    // A little jitter in the satellite count keeps consecutive fixes from looking pasted.
    const int satellites = 7 + int(time.time().second() % 3);

    const QByteArray gga = "GPGGA," + clock + ',' + north + ",N," + east + ",E,1," +
                           QByteArray::number(satellites).rightJustified(2, '0') +
                           ",0.9,408.2,M,47.4,M,,";
    const QByteArray rmc =
        "GPRMC," + clock + ",A," + north + ",N," + east + ",E,0.8,45.0," + date + ",,,A";

    time = time.addSecs(1);
    latitude += 3;
    longitude += 4;
    return nmeaSentence(gga) + nmeaSentence(rmc);
}
