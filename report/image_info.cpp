// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/image_info.h"

#include "report/messages.h"
#include "report/report_text.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <erfa.h>
#include <erfam.h>
#include <fitsio.h>

namespace quillet::ImageInfo {

namespace {

using ImageTime::Cards;

// A card's value: a string without its quotes (a doubled quote is one) and
// trailing blanks; anything else as written.
QString cardValue(const char *raw)
{
    const QString value = QString::fromLatin1(raw).trimmed();
    if (!value.startsWith(u'\'') || value.size() < 2)
        return value;
    QString text = value.mid(1, value.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// The cards of the header the file is at.
void readCards(fitsfile *file, Cards &cards, int &status)
{
    int count = 0;
    if (fits_get_hdrspace(file, &count, nullptr, &status))
        return;
    for (int i = 1; i <= count; ++i) {
        char name[FLEN_KEYWORD] = {};
        char value[FLEN_VALUE] = {};
        char comment[FLEN_COMMENT] = {};
        if (fits_read_keyn(file, i, name, value, comment, &status))
            return;
        const QString keyword = QString::fromLatin1(name).trimmed().toUpper();
        if (!keyword.isEmpty() && value[0] != '\0')
            cards.insert(keyword, cardValue(value));
    }
}

// The primary header's cards, and over them those of the first image
// extension when the primary holds no image (a tile-compressed file, say).
QString readHeader(const QString &path, Cards &cards)
{
    fitsfile *file = nullptr;
    int status = 0;
    // Disk file: brackets in a name are no CFITSIO syntax; gzip is still read.
    if (fits_open_diskfile(&file, QFile::encodeName(path).constData(), READONLY, &status)) {
        char text[FLEN_STATUS] = {};
        fits_get_errstatus(status, text);
        return messages::notFits(path, QString::fromLatin1(text));
    }
    readCards(file, cards, status);
    int dimensions = 0;
    fits_get_img_dim(file, &dimensions, &status);
    int hdus = 0;
    fits_get_num_hdus(file, &hdus, &status);
    for (int hdu = 2; status == 0 && dimensions == 0 && hdu <= hdus; ++hdu) {
        int type = 0;
        if (fits_movabs_hdu(file, hdu, &type, &status) || type != IMAGE_HDU)
            continue;
        fits_get_img_dim(file, &dimensions, &status);
        if (dimensions > 0)
            readCards(file, cards, status);
    }
    QString problem;
    if (status != 0) {
        char text[FLEN_STATUS] = {};
        fits_get_errstatus(status, text);
        problem = messages::notFits(path, QString::fromLatin1(text));
    }
    int closing = 0;
    fits_close_file(file, &closing);
    return problem;
}

QJsonValue orNull(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue orNull(const std::optional<QString> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

double utcOf(double jd, ImageTime::TimeScale scale)
{
    if (scale == ImageTime::TimeScale::Utc)
        return jd;
    // In two parts, so that no precision is lost: the day's start and the rest.
    const double day = ERFA_DJM0;
    double tai1 = day, tai2 = jd - day;
    if (scale == ImageTime::TimeScale::Tt)
        eraTttai(day, jd - day, &tai1, &tai2);
    double utc1 = 0, utc2 = 0;
    eraTaiutc(tai1, tai2, &utc1, &utc2);
    return utc1 + utc2;
}

double heliocentricJulianDate(double jdUtc, const ImageTime::SkyPosition &position)
{
    // The Earth's heliocentric position at that moment (its ephemeris runs on TT).
    double tai1 = 0, tai2 = 0, tt1 = 0, tt2 = 0;
    eraUtctai(ERFA_DJM0, jdUtc - ERFA_DJM0, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    double heliocentric[2][3] = {};
    double barycentric[2][3] = {};
    eraEpv00(tt1, tt2, heliocentric, barycentric);
    // Light reaches the Earth that much before (or after) the Sun.
    double star[3] = {};
    eraS2c(position.ra * ERFA_DD2R, position.dec * ERFA_DD2R, star);
    const double au = eraPdp(heliocentric[0], star);
    return jdUtc + au * ERFA_AULT / ERFA_DAYSEC;
}

Image read(const QString &path, std::optional<ImageTime::SkyPosition> position)
{
    Image info;
    info.file = path;
    const QFileInfo file(path);
    // Only a regular file is opened: a pipe would block, a device is never read.
    if (!file.exists() || !file.isFile()) {
        info.error = messages::notFits(path,
            !file.exists() ? QStringLiteral("ファイルがありません")
                           : QStringLiteral("通常のファイルではありません"));
        return info;
    }
    Cards cards;
    info.error = readHeader(path, cards);
    if (!info.error.isEmpty())
        return info;
    const auto text = [&cards](const char *name) -> std::optional<QString> {
        const QString value = cards.value(QLatin1String(name)).trimmed();
        return value.isEmpty() ? std::nullopt : std::optional(value);
    };
    info.filter = text("FILTER");
    info.object = text("OBJECT");
    if (const auto airmass = text("AIRMASS"))
        info.airmass = ImageTime::number(*airmass);
    info.position = position ? position : ImageTime::position(cards);

    const ImageTime::TimeFound found = ImageTime::midExposure(cards);
    if (!found.time) {
        info.error = messages::imageTimeProblem(found);
        return info;
    }
    info.exposure = found.time->exposure;
    info.timeFrom = messages::imageTimeFrom(*found.time);
    info.jd = utcOf(found.time->jd, found.time->scale);
    if (info.position)
        info.hjd = heliocentricJulianDate(*info.jd, *info.position);
    return info;
}

QByteArray json(const QList<Image> &images)
{
    QJsonArray array;
    for (const Image &i : images) {
        array.append(QJsonObject {{QStringLiteral("file"), i.file},
            {QStringLiteral("jd"), orNull(i.jd)}, {QStringLiteral("hjd"), orNull(i.hjd)},
            {QStringLiteral("exposure"), orNull(i.exposure)},
            {QStringLiteral("filter"), orNull(i.filter)},
            {QStringLiteral("object"), orNull(i.object)},
            {QStringLiteral("airmass"), orNull(i.airmass)},
            {QStringLiteral("time_from"),
                i.timeFrom.isEmpty() ? QJsonValue() : QJsonValue(i.timeFrom)},
            {QStringLiteral("error"), i.error.isEmpty() ? QJsonValue() : QJsonValue(i.error)}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QString text(const QList<Image> &images)
{
    QString out;
    const auto jd = [](const std::optional<double> &v) {
        return v ? QString::number(*v, 'f', 6) : QStringLiteral("—");
    };
    for (const Image &i : images) {
        out += i.file + u'\n';
        if (!i.error.isEmpty()) {
            out += QStringLiteral("  時刻がありません: %1\n").arg(i.error);
            continue;
        }
        out += QStringLiteral("  JD %1（露出の中央、UT。%2）\n  HJD %3\n")
                   .arg(jd(i.jd), i.timeFrom, jd(i.hjd));
        out += QStringLiteral("  露出 %1 秒　フィルター %2　天体 %3　エアマス %4\n")
                   .arg(i.exposure ? ReportText::fixed(*i.exposure, 1) : QStringLiteral("—"),
                       i.filter.value_or(QStringLiteral("—")),
                       i.object.value_or(QStringLiteral("—")),
                       i.airmass ? ReportText::fixed(*i.airmass, 3) : QStringLiteral("—"));
    }
    return out;
}

} // namespace quillet::ImageInfo
