// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Times from images: FITS headers written here by CFITSIO, read back by the
// night library, against times and heliocentric corrections worked out
// without it.
#include "fits_support.h"
#include "report/image_info.h"
#include "test_support.h"

#include <QDate>
#include <QFile>
#include <QTest>

#include <cmath>
#include <zlib.h>

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
    void headerTexts();
    void sexagesimal_data();
    void sexagesimal();
    void compressionKeywordsChecked();
    void onlyTheHeaderIsRead();
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
        << julianDate(1996, 12, 7, 21 * 3600 + 34 * 60 + 42)
        << "DATE-OBS + UT + EXPTIME/2（DATE-OBS が DD/MM/YY の古い形なので 1996 年とします）"
        << true;
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
    // As acquisition programs write them.
    QTest::newRow("INDI: a trailing Z")
        << "m.fits" << Cards {"DATE-OBS=2026-12-07T21:34:12.000Z"} + exposure + SsCyg << Middle
        << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("MaxIm DL with ACP: DATE-HP to the millisecond")
        << "n.fits"
        << Cards {"DATE-OBS=2026-12-07T21:34:11", "DATE-HP=2026-12-07T21:34:11.750"} + exposure
        << julianDate(2026, 12, 7, 21 * 3600 + 34 * 60 + 41.75) << "DATE-HP + EXPTIME/2" << true;
    QTest::newRow("DATE-HP of another second is not taken")
        << "o.fits"
        << Cards {"DATE-OBS=2026-12-07T21:34:12", "DATE-HP=2026-12-07T21:36:00.500"} + exposure
        << Middle << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("DWARF II: EXP")
        << "p.fits" << Cards {"DATE-OBS=2026-12-07T21:34:12", "EXP:60|[s] Sub Exposure Time"}
        << Middle << "DATE-OBS + EXP/2" << true;
    QTest::newRow("RA in hours by its comment")
        << "q.fits"
        << Cards {"DATE-OBS=2026-12-07T21:34:12",
               QStringLiteral("RA:%1|[h] Right ascension").arg(SsCygRa / 15, 0, 'f', 8),
               QStringLiteral("DEC:%1|[deg]").arg(SsCygDec, 0, 'f', 6)}
            + exposure
        << Middle << "DATE-OBS + EXPTIME/2" << true;
    QTest::newRow("SharpCap: DATE-OBS when the frame was grabbed")
        << "r.fits"
        << Cards {"DATE-OBS=2026-12-07T21:34:12.0000000|System Clock-Frame Grabbed"} + exposure
        << Middle
        << "DATE-OBS + EXPTIME/2（DATE-OBS の注記は「System Clock-Frame Grabbed」: 露出の開始とは"
           "限りませんが、開始として読みます）"
        << true;
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
    const Cards start {"DATE-OBS=2026-12-07T21:34:12"};
    QTest::newRow("EXPTIME NaN") << QByteArray() << start + Cards {"EXPTIME=NaN"}
                                 << "露出時間 EXPTIME = NaN が秒数ではありません";
    QTest::newRow("EXPTIME negative") << QByteArray() << start + Cards {"EXPTIME~-5"}
                                      << "露出時間 EXPTIME = -5 が秒数ではありません";
    QTest::newRow("EXPTIME 1E30") << QByteArray() << start + Cards {"EXPTIME~1E30"}
                                  << "DATE-OBS + EXPTIME/2 が示す時刻";
    QTest::newRow("EXPTIME 1E999")
        << QByteArray() << start + Cards {"EXPTIME~1E999"} << "DATE-OBS + EXPTIME/2 が示す時刻";
    QTest::newRow("MJD-OBS 1E300")
        << QByteArray() << Cards {"MJD-OBS~1E300"} << "MJD-OBS が示す時刻";
    QTest::newRow("JD 0") << QByteArray() << Cards {"JD~0"} << "JD が示す時刻（JD 0）";
    QTest::newRow("MJD-OBS -1E7 in TT")
        << QByteArray() << Cards {"MJD-OBS~-1E7", "TIMESYS=TT"} << "MJD-OBS が示す時刻";
    QTest::newRow("year 1") << QByteArray() << Cards {"DATE-OBS=0001-01-01T00:00:00"}
                            << "DATE-OBS が日時ではありません";
    QTest::newRow("a date TT cannot take")
        << QByteArray() << Cards {"DATE-OBS=1583-01-01T00:00:00", "TIMESYS=TT"}
        << "DATE-OBS（TIMESYS = TT） が示す時刻";
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

// What the header names: UTF-8 where it is that, Latin-1 otherwise, a long
// string whole; an airmass that is none said, not used.
void TestImageInfo::headerTexts()
{
    QTemporaryDir dir;
    const QString object = QStringLiteral("V1500 Cyg (Nova Cygni 1975), field centred 2 arcmin "
                                          "north of the nova, for the comparison stars of chart X");
    const QString path = writeImage(dir.path(), QStringLiteral("t.fits"),
        {"DATE-OBS=2026-12-07T21:34:12", QStringLiteral("OBJECT=") + object, "AIRMASS:-1.2",
            QStringLiteral("OBSERVER~'\u304B\u306B\u5EA7 TT'")});
    QVERIFY(!path.isEmpty());
    const ImageInfo::Image info = ImageInfo::read(path);
    QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
    QCOMPARE(*info.object, object);
    QVERIFY(!info.airmass);
    QCOMPARE(info.airmassProblem, QStringLiteral("AIRMASS = -1.2"));
    // An OBJECT in UTF-8, and one a program wrote in Latin-1.
    for (const auto &[bytes, text] :
        {std::pair {QByteArray("'\xE3\x81\x8B\xE3\x81\xAB\xE5\xBA\xA7 TT'"),
             QStringLiteral("\u304B\u306B\u5EA7 TT")},
            std::pair {QByteArray("'Caf\xE9'"), QStringLiteral("Caf\u00E9")}}) {
        QByteArray file = readFile(path);
        const qsizetype at = file.indexOf("OBJECT  = ");
        QVERIFY(at >= 0);
        // The long OBJECT's cards become one short one and blank ones.
        qsizetype end = at + 80;
        while (file.mid(end, 8) == "CONTINUE")
            end += 80;
        file.replace(at, end - at,
            ("OBJECT  = " + bytes).leftJustified(80, ' ') + QByteArray(int(end - at - 80), ' '));
        writeFile(path, file);
        QCOMPARE(*ImageInfo::read(path).object, text);
    }
}

void TestImageInfo::sexagesimal_data()
{
    QTest::addColumn<QString>("ra");
    QTest::addColumn<double>("degrees"); // -1: refused, as a declination too when malformed
    QTest::newRow("blanks") << "21 42 42.80" << SsCygRa;
    QTest::newRow("colons") << "21:42:42.8" << SsCygRa;
    QTest::newRow("minutes with a fraction") << "21:42.71333333" << SsCygRa;
    QTest::newRow("degrees") << "325.678333" << 325.678333;
    QTest::newRow("a fraction before the last part") << "12.5:30:00" << -1.0;
    QTest::newRow("an empty part") << "12::30" << -1.0;
    QTest::newRow("60 minutes") << "12:60:00" << -1.0;
    QTest::newRow("24 hours") << "24:00:00" << -1.0;
}

void TestImageInfo::sexagesimal()
{
    QFETCH(QString, ra);
    QFETCH(double, degrees);
    const auto found = ImageTime::rightAscension(ra, true);
    QCOMPARE(found.has_value(), degrees >= 0);
    if (found)
        QVERIFY(std::fabs(*found - degrees) < 1e-5);
    if (degrees < 0 && QByteArray(QTest::currentDataTag()).contains("part"))
        QVERIFY(!ImageTime::declination(ra));
}

// A tile size of 0 would have CFITSIO divide by it: the file gets its own
// error, never reaches CFITSIO, and the next file is read.
void TestImageInfo::compressionKeywordsChecked()
{
    QTemporaryDir dir;
    const QString path = writeImage(
        dir.path(), QStringLiteral("bad.fz"), {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60"});
    QVERIFY(!path.isEmpty());
    const QByteArray good = readFile(path);
    for (const char *keyword : {"ZTILE1  = ", "ZNAXIS1 = ", "ZBITPIX = "}) {
        QByteArray bytes = good;
        const qsizetype at = bytes.indexOf(keyword);
        QVERIFY(at > 0);
        bytes.replace(
            at, 80, (QByteArray(keyword) + "                   0").leftJustified(80, ' '));
        writeFile(path, bytes);
        const ImageInfo::Image bad = ImageInfo::read(path);
        QVERIFY(!bad.jd);
        QVERIFY2(bad.error.contains(QStringLiteral("圧縮画像のキーワードが正しくありません（%1 0）")
                                        .arg(QString::fromLatin1(keyword).simplified())),
            qPrintable(bad.error));
    }
}

namespace {

// The peak of this process's resident memory, in KiB.
qint64 peakKiB()
{
    const QByteArray status = readFile(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("VmHWM:");
    return status.mid(at + 6).trimmed().split(' ').value(0).toLongLong();
}

// bytes gzip-compressed, with more bytes of one value after them.
QByteArray gzipped(const QByteArray &head, char fill, qint64 fillBytes)
{
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("x.gz")));
    gzFile file = gzopen(name.constData(), "wb1");
    gzwrite(file, head.constData(), unsigned(head.size()));
    const QByteArray chunk(1 << 20, fill);
    for (qint64 done = 0; done < fillBytes; done += chunk.size())
        gzwrite(file, chunk.constData(), unsigned(chunk.size()));
    gzclose(file);
    return readFile(dir.filePath(QStringLiteral("x.gz")));
}

} // namespace

// Only the header is read: 512 MiB of an image's zeros behind it, or a header
// of 256 MiB that never ends, cost no more than the 64 MiB a header may take.
void TestImageInfo::onlyTheHeaderIsRead()
{
    QTemporaryDir dir;
    const QString plain = writeImage(
        dir.path(), QStringLiteral("p.fits"), {"DATE-OBS=2026-12-07T21:34:12", "EXPTIME:60"});
    const QByteArray header = readFile(plain).left(2880);
    const qint64 before = peakKiB();
    const QString bomb = dir.filePath(QStringLiteral("bomb.fits.gz"));
    writeFile(bomb, gzipped(header, '\0', qint64(512) << 20));
    const ImageInfo::Image image = ImageInfo::read(bomb);
    QVERIFY2(image.jd && std::fabs(*image.jd - Middle) * 86400 < 0.1, qPrintable(image.error));
    const QString endless = dir.filePath(QStringLiteral("endless.fits.gz"));
    writeFile(endless, gzipped(header.left(80), ' ', qint64(256) << 20));
    const ImageInfo::Image none = ImageInfo::read(endless);
    QVERIFY(!none.jd);
    QVERIFY2(none.error.contains(QStringLiteral("64 MiB")), qPrintable(none.error));
    QVERIFY2(peakKiB() - before < 80 * 1024, qPrintable(QString::number(peakKiB() - before)));
}

QTEST_GUILESS_MAIN(TestImageInfo)
#include "tst_image_info.moc"
