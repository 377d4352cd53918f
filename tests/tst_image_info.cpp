// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times from images: FITS headers written here by CFITSIO, read back by the
// night library, against times and heliocentric corrections worked out
// without it.
#include "fits_support.h"
#include "report/image_info.h"
#include "test_support.h"

#include <QDate>
#include <QTest>

#include <cmath>

using namespace quillet;
using namespace quillet::test;

namespace {

using Cards = QStringList;

// The image in dir with the cards; empty when it could not be written.
QString writeImage(const QString &dir, const QString &name, const Cards &cards)
{
    const QString path = dir + u'/' + name;
    return writeFitsImage(path, cards) ? path : QString();
}

double julianDate(int y, int m, int d, double seconds)
{
    return double(QDate(y, m, d).toJulianDay()) - 0.5 + seconds / 86400.0;
}

// The heliocentric correction from the Sun's low-precision position (the
// Astronomical Almanac's formula, about 0.01 degree), taken to J2000: the
// light time along the star's direction, in days.
double lightTimeDays(double jd, double raDegrees, double decDegrees)
{
    const double rad = M_PI / 180;
    const double n = jd - 2451545.0;
    const double g = (357.528 + 0.9856003 * n) * rad;
    const double precession = 1.3970 * n / 36525; // degrees of general precession since J2000
    const double lambda
        = (280.460 + 0.9856474 * n + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g) - precession)
        * rad;
    const double r = 1.00014 - 0.01671 * std::cos(g) - 0.00014 * std::cos(2 * g);
    const double epsilon = 23.4393 * rad;
    // The Earth seen from the Sun is the Sun seen from the Earth, reversed.
    const double earth[3] = {-r * std::cos(lambda), -r * std::cos(epsilon) * std::sin(lambda),
        -r * std::sin(epsilon) * std::sin(lambda)};
    const double star[3] = {std::cos(decDegrees * rad) * std::cos(raDegrees * rad),
        std::cos(decDegrees * rad) * std::sin(raDegrees * rad), std::sin(decDegrees * rad)};
    const double au = earth[0] * star[0] + earth[1] * star[1] + earth[2] * star[2];
    return au * 499.004784 / 86400;
}

// 2026-12-07 21:34:12 UT and its middle 30 s later, the same moment in every row.
const double Start = julianDate(2026, 12, 7, 21 * 3600 + 34 * 60 + 12);
const double Middle = julianDate(2026, 12, 7, 21 * 3600 + 34 * 60 + 42);
const Cards SsCyg {QStringLiteral("OBJCTRA=21 42 42.80"), QStringLiteral("OBJCTDEC=+43 35 09.9")};
constexpr double SsCygRa = (21 + 42 / 60.0 + 42.80 / 3600) * 15;
constexpr double SsCygDec = 43 + 35 / 60.0 + 9.9 / 3600;

} // namespace

class TestImageInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void midExposure_data();
    void midExposure();
    void notATime_data();
    void notATime();
};

void TestImageInfo::midExposure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Cards>("cards");
    QTest::addColumn<double>("jd");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("exposure");
    const Cards exposure {QStringLiteral("EXPTIME:60")};
    QTest::newRow("DATE-AVG") << "a.fits" << Cards {"DATE-AVG=2026-12-07T21:34:42"} + exposure
                              << Middle << "DATE-AVG" << true;
    QTest::newRow("MJD-AVG")
        << "b.fits" << Cards {QStringLiteral("MJD-AVG:%1").arg(Middle - 2400000.5, 0, 'f', 10)}
        << Middle << "MJD-AVG" << false;
    QTest::newRow("DATE-OBS + EXPTIME/2")
        << "c.fits" << Cards {"DATE-OBS=2026-12-07T21:34:12.000"} + exposure + SsCyg << Middle
        << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("date alone, TIME-OBS, EXPOSURE")
        << "d.fit" << Cards {"DATE-OBS=2026-12-07", "TIME-OBS=21:34:12", "EXPOSURE:60"} << Middle
        << "DATE-OBS + TIME-OBS + EXPOSURE/2" << true;
    QTest::newRow("old date form and UT")
        << "e.fits" << Cards {"DATE-OBS=07/12/96", "UT=21:34:12"} + exposure
        << julianDate(1996, 12, 7, 21 * 3600 + 34 * 60 + 42) << "DATE-OBS + UT + EXPTIME/2" << true;
    QTest::newRow("MJD-OBS + EXPTIME/2")
        << "f.fits"
        << Cards {QStringLiteral("MJD-OBS:%1").arg(Start - 2400000.5, 0, 'f', 10)} + exposure
        << Middle << "MJD-OBS + EXPTIME/2" << true;
    QTest::newRow("JD + EXPTIME/2")
        << "g.fits" << Cards {QStringLiteral("JD:%1").arg(Start, 0, 'f', 8)} + exposure << Middle
        << "JD + EXPTIME/2" << true;
    // TT is 69.184 s ahead of UTC since 2017, TAI 37 s.
    QTest::newRow("TT") << "h.fits"
                        << Cards {"DATE-OBS=2026-12-07T21:35:21.184", "TIMESYS=TT"} + exposure
                        << Middle << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("TAI") << "i.fits"
                         << Cards {"DATE-OBS=2026-12-07T21:34:49", "TIMESYS=TAI"} + exposure
                         << Middle << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("no exposure time: the start")
        << "j.fits" << Cards {"DATE-OBS=2026-12-07T21:34:12"} + SsCyg << Start
        << "DATE-OBS（露出時間がないので開始時刻）" << false;
    QTest::newRow("gzip, RA and DEC in degrees")
        << "k.fits.gz"
        << Cards {"DATE-OBS=2026-12-07T21:34:12", QStringLiteral("RA:%1").arg(SsCygRa, 0, 'f', 6),
               QStringLiteral("DEC:%1").arg(SsCygDec, 0, 'f', 6)}
            + exposure
        << Middle << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("tile-compressed")
        << "l.fz" << Cards {"DATE-OBS=2026-12-07T21:34:12"} + exposure + SsCyg << Middle
        << "DATE-OBS + EXPTIME/2" << true;
}

// Each rule gives the mid-exposure UT within 0.1 s, and the HJD within 1 s of
// the Sun's light time worked out here.
void TestImageInfo::midExposure()
{
    QFETCH(QString, name);
    QFETCH(Cards, cards);
    QFETCH(double, jd);
    QFETCH(QString, from);
    QFETCH(bool, exposure);
    QTemporaryDir dir;
    const QString path = writeImage(dir.path(), name, cards + Cards {"FILTER=V", "OBJECT=SS Cyg"});
    QVERIFY(!path.isEmpty());
    const ImageInfo::Image info = ImageInfo::read(path);
    QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
    QVERIFY(info.jd);
    QVERIFY2(std::fabs(*info.jd - jd) * 86400 < 0.1, qPrintable(QString::number(*info.jd, 'f', 8)));
    QCOMPARE(info.timeFrom, from);
    QCOMPARE(info.exposure.has_value(), exposure);
    QCOMPARE(info.filter, std::optional<QString>(QStringLiteral("V")));
    QCOMPARE(info.object, std::optional<QString>(QStringLiteral("SS Cyg")));
    if (cards.filter(QRegularExpression(QStringLiteral("^(OBJCT)?RA"))).isEmpty()) {
        QVERIFY(!info.hjd);
    } else {
        QVERIFY(info.hjd);
        const double expected = *info.jd + lightTimeDays(*info.jd, SsCygRa, SsCygDec);
        QVERIFY2(std::fabs(*info.hjd - expected) * 86400 < 1.0,
            qPrintable(QString::number((*info.hjd - expected) * 86400)));
    }
}

void TestImageInfo::notATime_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: an image with the cards below
    QTest::addColumn<Cards>("cards");
    QTest::addColumn<QString>("error");
    QTest::newRow("not FITS") << QByteArray("P6 1 1 255\n\0\0\0", 14) << Cards {}
                              << "FITS 画像として読めません";
    QTest::newRow("truncated") << QByteArray("truncated") << Cards {"DATE-OBS=2026-12-07T21:34:12"}
                               << "FITS 画像として読めません";
    QTest::newRow("no time") << QByteArray() << Cards {"OBJECT=SS Cyg"} << "観測時刻のキーワード";
    QTest::newRow("a date that is not one")
        << QByteArray() << Cards {"DATE-OBS=2026-13-40T25:00:00"}
        << "DATE-OBS が日時ではありません: 2026-13-40T25:00:00";
    QTest::newRow("date without a time")
        << QByteArray() << Cards {"DATE-OBS=2026-12-07"} << "DATE-OBS は日付だけで";
    QTest::newRow("GPS time") << QByteArray()
                              << Cards {"DATE-OBS=2026-12-07T21:34:12", "TIMESYS=GPS"}
                              << "TIMESYS = GPS";
}

void TestImageInfo::notATime()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Cards, cards);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("x.fits"));
    if (bytes.isEmpty() || bytes == "truncated") {
        path = writeImage(dir.path(), QStringLiteral("x.fits"), cards);
        if (bytes == "truncated") {
            const QByteArray whole = readFile(path);
            writeFile(path, whole.left(1000));
        }
    } else {
        writeFile(path, bytes);
    }
    const ImageInfo::Image info = ImageInfo::read(path);
    QVERIFY(!info.jd);
    QVERIFY2(info.error.contains(error), qPrintable(info.error));
}

QTEST_GUILESS_MAIN(TestImageInfo)
#include "tst_image_info.moc"
