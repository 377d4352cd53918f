// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/submission_record.h"

#include <QRegularExpression>

namespace quillet::SubmissionRecord {

namespace {

// AAVSO's codes (the AAVSO International Database's filter list).
const QStringList &aavsoCodes()
{
    static const QStringList Codes = QStringLiteral(
        "U B V R I RJ IJ J H K SU SG SR SI SZ STU STV STB STY STHBW STHBN MA MB MI ZS Y "
        "TB TG TR CV CR CBB HA HAC")
                                         .split(u' ');
    return Codes;
}

const QStringList &vsnetCodes()
{
    static const QStringList Codes = QStringLiteral("V B Rc Ic C CR").split(u' ');
    return Codes;
}

// Sloan's band a header names: "g", "gp", "g'", "sdss g", "Sloan r'", "SDSS-i".
// A bare letter counts in lower case only: upper-case R and I are Cousins'.
std::optional<QChar> sloanBand(const QString &name)
{
    static const QRegularExpression Prefixed(
        QStringLiteral("^(?:sdss|sloan)[ _-]?([ugriz])(?:p|')?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression Bare(QStringLiteral("^([ugriz])(?:p|')?$"));
    if (const auto prefixed = Prefixed.match(name); prefixed.hasMatch())
        return prefixed.captured(1).at(0).toLower();
    if (const auto bare = Bare.match(name); bare.hasMatch())
        return bare.captured(1).at(0);
    return std::nullopt;
}

} // namespace

std::optional<QString> filterCode(Format format, const QString &typed)
{
    const QString code = typed.trimmed();
    if (format == Format::Aavso) {
        if (code.compare(QLatin1String("Rc"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("R");
        if (code.compare(QLatin1String("Ic"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("I");
    } else {
        // AAVSO's codes where VSNET has a band of its own.
        if (code.compare(QLatin1String("R"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("Rc");
        if (code.compare(QLatin1String("I"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("Ic");
        if (code.compare(QLatin1String("CV"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("C");
    }
    for (const QString &known : filterCodes(format)) {
        if (code.compare(known, Qt::CaseInsensitive) == 0)
            return known;
    }
    return std::nullopt;
}

std::optional<QString> filterOfImage(Format format, const QString &name)
{
    const QString simple = name.simplified();
    if (const auto band = sloanBand(simple)) {
        if (format == Format::Vsnet)
            return std::nullopt;
        return QStringLiteral("S") + band->toUpper();
    }
    static const QStringList Clear {QStringLiteral("Clear"), QStringLiteral("L"),
        QStringLiteral("Luminance"), QStringLiteral("None")};
    if (Clear.contains(simple, Qt::CaseInsensitive))
        return filterCode(format, QStringLiteral("CV"));
    static const QStringList Names {QStringLiteral("U"), QStringLiteral("Johnson U"),
        QStringLiteral("V"), QStringLiteral("Johnson V"), QStringLiteral("B"),
        QStringLiteral("Johnson B"), QStringLiteral("R"), QStringLiteral("Rc"),
        QStringLiteral("Cousins R"), QStringLiteral("I"), QStringLiteral("Ic"),
        QStringLiteral("Cousins I")};
    if (!Names.contains(simple, Qt::CaseInsensitive))
        return std::nullopt;
    // The band is the name's last letter; R and I are Cousins' (Rc, Ic).
    return filterCode(format,
        simple.right(2).compare(u"Rc", Qt::CaseInsensitive) == 0
                || simple.right(2).compare(u"Ic", Qt::CaseInsensitive) == 0
            ? simple.right(2)
            : simple.right(1));
}

QStringList filterCodes(Format format)
{
    return format == Format::Aavso ? aavsoCodes() : vsnetCodes();
}

QStringList observationTypes()
{
    return {QStringLiteral("CCD"), QStringLiteral("DSLR"), QStringLiteral("PEP"),
        QStringLiteral("VISDIG")};
}

std::optional<QString> observationType(const QString &typed)
{
    for (const QString &known : observationTypes()) {
        if (typed.trimmed().compare(known, Qt::CaseInsensitive) == 0)
            return known;
    }
    return std::nullopt;
}

} // namespace quillet::SubmissionRecord
