// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/image_time.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What an image's FITS header tells of the night: the mid-exposure time as a
// Julian date (UT), the heliocentric Julian date where the star's position is
// known, the exposure, filter, object and airmass. CFITSIO reads the header
// (plain, gzip-compressed or tile-compressed); ERFA converts time scales and
// computes the heliocentric correction.
namespace quillet::ImageInfo {

// At most this much of a file is read (after gzip): far more than any header.
inline constexpr qsizetype HeaderLimit = 64 * 1024 * 1024;

struct Image
{
    QString file; // as given
    std::optional<double> jd; // mid-exposure, UT
    std::optional<double> hjd;
    std::optional<double> exposure; // seconds
    std::optional<QString> filter;
    std::optional<QString> object;
    std::optional<double> airmass; // 1 or more, as AMASS holds it
    QString airmassProblem; // an AIRMASS card that gives none: "AIRMASS = -1.2"
    std::optional<ImageTime::SkyPosition> position;
    QString timeFrom; // the keywords the time came from, in words
    bool oldDateForm = false; // DATE-OBS was "DD/MM/YY", taken as 19YY
    QString error; // why there is no time; empty when there is one
};

// The header of the file at path: the primary header, or the first image
// extension's when the primary holds no image (its cards over the primary's).
// position, when given, is used for HJD instead of the header's. Only a
// regular file is read, only its headers (through gzip, HeaderLimit bytes at
// most), and a tile-compressed extension's keywords are checked before
// CFITSIO reads them.
Image read(const QString &path, std::optional<ImageTime::SkyPosition> position = std::nullopt);

// The UTC Julian date of a Julian date in another time scale (leap seconds
// included); nothing where ERFA finds the date dubious or impossible, or the
// result is outside JulianDate::inRange.
std::optional<double> utcOf(double jd, ImageTime::TimeScale scale);

// The heliocentric Julian date of a UTC Julian date for a star at position
// (J2000): the Earth's heliocentric position from ERFA, and the light time
// along the star's direction; nothing for a date ERFA cannot take.
std::optional<double> heliocentricJulianDate(double jdUtc, const ImageTime::SkyPosition &position);

// quillet3-report --image-info: one JSON array, one object per file.
QByteArray json(const QList<Image> &images);
// The same for people.
QString text(const QList<Image> &images);

} // namespace quillet::ImageInfo
