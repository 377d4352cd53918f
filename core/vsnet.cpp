// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/vsnet.h"

#include "core/julian_date.h"

#include <QDate>

#include <cmath>

namespace quillet::Vsnet {

namespace {

// Thousandths of a day since the Julian day's start at noon, rounded once, so
// that .9996 of a day carries into the next date.
long long thousandths(double julianDate)
{
    return std::llround((julianDate + 0.5) * 1000);
}

// The 88 constellations of the IAU.
const QStringList &constellations()
{
    static const QStringList Codes = QStringLiteral(
        "And Ant Aps Aqr Aql Ara Ari Aur Boo Cae Cam Cnc CVn CMa CMi Cap Car Cas Cen Cep Cet "
        "Cha Cir Col Com CrA CrB Crv Crt Cru Cyg Del Dor Dra Equ Eri For Gem Gru Her Hor Hya "
        "Hyi Ind Lac Leo LMi Lep Lib Lup Lyn Lyr Men Mic Mon Mus Nor Oct Oph Ori Pav Peg Per "
        "Phe Pic PsA Psc Pup Pyx Ret Sge Sgr Sco Scl Sct Ser Sex Tau Tel TrA Tri Tuc UMa UMi "
        "Vel Vir Vol Vul")
                                         .split(u' ');
    return Codes;
}

bool isConstellation(const QString &text)
{
    return constellations().contains(text, Qt::CaseInsensitive);
}

// Greek letters as VSNET spells them: their English names in lower case.
QString greekSpelledOut(const QString &name)
{
    static const char *const Names[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta",
        "theta", "iota", "kappa", "lambda", "mu", "nu", "xi", "omicron", "pi", "rho", "sigma",
        "sigma", "tau", "upsilon", "phi", "chi", "psi", "omega"};
    QString out;
    for (const QChar c : name) {
        const char16_t u = c.toLower().unicode();
        if (u >= u'α' && u <= u'ω')
            out += QLatin1String(Names[u - u'α']);
        else if (u == u'ϕ')
            out += QLatin1String("phi");
        else
            out += c;
    }
    return out;
}

bool isDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

Name starName(const QString &typed)
{
    const QStringList words = typed.simplified().split(u' ', Qt::SkipEmptyParts);
    const QString joined = words.join(QString());
    const auto padded = [&joined](int width) {
        const QString number = joined.mid(3);
        return joined.left(3).toUpper() + number.rightJustified(width, u'0');
    };
    // NSV 389, HIP 33789: the catalogue's number zero-padded.
    if (joined.startsWith(QLatin1String("NSV"), Qt::CaseInsensitive) && isDigits(joined.mid(3)))
        return {padded(5)};
    if (joined.startsWith(QLatin1String("HIP"), Qt::CaseInsensitive) && isDigits(joined.mid(3)))
        return {padded(6)};
    // Nova Aql 1995, Nova Aql 1995-2.
    if (words.size() == 3 && words[0].compare(QLatin1String("nova"), Qt::CaseInsensitive) == 0
        && isConstellation(words[1]) && isDigits(words[2].section(u'-', 0, 0))
        && (!words[2].contains(u'-') || isDigits(words[2].section(u'-', 1))))
        return {words[1].toUpper() + QLatin1String("nova") + words[2]};
    // NAME CON.
    if (words.size() >= 2 && isConstellation(words.last())) {
        return {words.last().toUpper()
            + greekSpelledOut(QStringList(words.begin(), words.end() - 1).join(QString()))};
    }
    // Already constellation first: CYGSS, HERalpha, AQLnova1995.
    if (words.size() == 1 && joined.size() > 3 && isConstellation(joined.left(3))
        && joined.left(3) == joined.left(3).toUpper())
        return {greekSpelledOut(joined)};
    return {greekSpelledOut(joined), false};
}

QString date(double julianDate)
{
    const long long count = thousandths(julianDate);
    const QDate day = QDate::fromJulianDay(count / 1000);
    return QStringLiteral("%1%2%3.%4")
        .arg(day.year(), 4, 10, QLatin1Char('0'))
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(count % 1000, 3, 10, QLatin1Char('0'));
}

QString line(const SubmissionRecord::Record &record, const VariableEstimate &variable)
{
    const auto jd = JulianDate::parse(record.jd);
    return QStringLiteral("%1 %2 %3%4 %5")
        .arg(starName(record.star).name, jd ? date(*jd) : QString(),
            QString::number(variable.magnitude, 'f', 3), record.filter, record.obscode);
}

} // namespace quillet::Vsnet
