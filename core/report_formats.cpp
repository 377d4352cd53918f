// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report_formats.h"

#include "core/numeric_text.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace quillet::ReportFormats {

namespace {

QJsonValue value(std::optional<double> number)
{
    return number && std::isfinite(*number) ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

// Shortest text that reads back as the same double.
QString shortest(double number)
{
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString threeDecimals(double number)
{
    return QString::number(number, 'f', 3);
}

// Thousandths of a day since the Julian day's start at noon, rounded once, so
// that .9996 of a day carries into the next date.
long long vsnetThousandths(double julianDate)
{
    return std::llround((julianDate + 0.5) * 1000);
}

// The day (a Julian day number, counted from midnight) whose date vsnetDate writes.
qint64 vsnetDay(double julianDate)
{
    return vsnetThousandths(julianDate) / 1000;
}

QString orNa(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("na") : text;
}

} // namespace

QByteArray jsonHead(const CalibrationReport &report)
{
    QJsonArray rows;
    for (const ReportRow &row : report.rows) {
        rows.append(QJsonObject {{QStringLiteral("row"), row.row},
            {QStringLiteral("measured"), row.measured},
            {QStringLiteral("catalogue"), row.catalogue}, {QStringLiteral("fitted"), row.fitted},
            {QStringLiteral("residual"), row.residual},
            {QStringLiteral("deleted_residual"), value(row.deletedResidual)},
            {QStringLiteral("studentized"), value(row.studentized)},
            {QStringLiteral("flagged"), row.flagged}, {QStringLiteral("noted"), row.noted}});
    }
    QJsonArray leftOut;
    for (const int row : report.leftOut)
        leftOut.append(row);
    QJsonValue check(QJsonValue::Null);
    if (report.check) {
        check = QJsonObject {{QStringLiteral("row"), report.check->row},
            {QStringLiteral("catalogue"), report.check->catalogue},
            {QStringLiteral("fitted"), report.check->fitted},
            {QStringLiteral("o_minus_c"), report.check->oMinusC},
            {QStringLiteral("z"), value(report.check->z)}};
    }
    // "variables" sorts last of the keys: the text up to its "[" is the head.
    const QJsonObject root {{QStringLiteral("n"), report.n},
        {QStringLiteral("slope"), report.slope}, {QStringLiteral("constant"), report.constant},
        {QStringLiteral("rms_error"), report.rmsError}, {QStringLiteral("s"), value(report.s)},
        {QStringLiteral("slope_se"), value(report.slopeSe)}, {QStringLiteral("rows"), rows},
        {QStringLiteral("left_out"), leftOut}, {QStringLiteral("check"), check},
        {QStringLiteral("variables"), QJsonArray()}};
    const QByteArray whole = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return whole.left(whole.lastIndexOf('[') + 1);
}

QByteArray jsonVariable(const VariableEstimate &variable, bool first)
{
    const QJsonObject object {{QStringLiteral("measured"), variable.measured},
        {QStringLiteral("magnitude"), variable.magnitude},
        {QStringLiteral("prediction_se"), value(variable.predictionSe)},
        {QStringLiteral("low95"), value(variable.low95)},
        {QStringLiteral("high95"), value(variable.high95)}};
    QByteArray text = first ? "\n" : ",\n";
    // Indented as the array's elements are.
    for (const QByteArray &line :
        QJsonDocument(object).toJson(QJsonDocument::Indented).split('\n')) {
        if (!line.isEmpty())
            text += "        " + line + '\n';
    }
    text.chop(1);
    return text;
}

QByteArray jsonEnd()
{
    return "\n    ]\n}\n";
}

QByteArray json(const CalibrationReport &report)
{
    QByteArray text = jsonHead(report);
    for (std::size_t i = 0; i < report.variables.size(); ++i)
        text += jsonVariable(report.variables[i], i == 0);
    return text + jsonEnd();
}

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
    static const QStringList Clear {QStringLiteral("Clear"), QStringLiteral("L"),
        QStringLiteral("Luminance"), QStringLiteral("None")};
    if (Clear.contains(simple, Qt::CaseInsensitive))
        return filterCode(format, QStringLiteral("CV"));
    static const QStringList Names {QStringLiteral("V"), QStringLiteral("Johnson V"),
        QStringLiteral("B"), QStringLiteral("Johnson B"), QStringLiteral("R"), QStringLiteral("Rc"),
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

VsnetName vsnetStarName(const QString &typed)
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

std::optional<double> julianDate(const QString &text)
{
    const auto jd = ParseWholeNumber(text.trimmed());
    // From the first Gregorian day to the last one whose date vsnetDate writes
    // with a four-digit year, its rounding included.
    if (!jd || *jd < 2299160.5 || QDate::fromJulianDay(vsnetDay(*jd)).year() > 9999)
        return std::nullopt;
    return jd;
}

QString aavsoHeader(const Submission &submission)
{
    return QStringLiteral(
        "#TYPE=Extended\n#OBSCODE=%1\n#SOFTWARE=%2\n#DELIM=,\n#DATE=%4\n#OBSTYPE=%3\n"
        "#NAME,DATE,MAG,MERR,FILT,TRANS,MTYPE,CNAME,CMAG,KNAME,KMAG,AMASS,GROUP,"
        "CHART,NOTES\n")
        .arg(submission.obscode, submission.software, submission.obstype,
            submission.hjd ? QStringLiteral("HJD") : QStringLiteral("JD"));
}

QString aavsoLine(
    const Submission &submission, const CalibrationReport &report, const VariableEstimate &variable)
{
    const bool check = report.check && !submission.checkName.isEmpty();
    const QString notes = QStringLiteral("|SLOPE=%1|N=%2|S=%3|VMAGINS=%4")
                              .arg(shortest(report.slope))
                              .arg(report.n)
                              .arg(report.s ? shortest(*report.s) : QStringLiteral("na"))
                              .arg(shortest(variable.measured));
    const QStringList fields {
        submission.star,
        submission.jd.trimmed(),
        threeDecimals(variable.magnitude),
        variable.predictionSe ? threeDecimals(*variable.predictionSe) : QStringLiteral("na"),
        submission.filter,
        QStringLiteral("NO"),
        QStringLiteral("STD"),
        QStringLiteral("ENSEMBLE"),
        QStringLiteral("na"),
        check ? submission.checkName : QStringLiteral("na"),
        check ? threeDecimals(report.check->measured) : QStringLiteral("na"),
        orNa(submission.airmass),
        QStringLiteral("na"),
        orNa(submission.chart),
        notes,
    };
    return fields.join(u',');
}

QString vsnetDate(double julianDate)
{
    const long long thousandths = vsnetThousandths(julianDate);
    const QDate date = QDate::fromJulianDay(thousandths / 1000);
    return QStringLiteral("%1%2%3.%4")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
}

QString aavsoOverlongField(
    const Submission &submission, const CalibrationReport &report, const VariableEstimate &variable)
{
    if (submission.star.size() > 30)
        return QStringLiteral("STARID");
    if (threeDecimals(variable.magnitude).size() > 8)
        return QStringLiteral("MAG");
    if (variable.predictionSe && threeDecimals(*variable.predictionSe).size() > 6)
        return QStringLiteral("MERR");
    if (report.check && !submission.checkName.isEmpty()
        && threeDecimals(report.check->measured).size() > 8)
        return QStringLiteral("KMAG");
    return QString();
}

QString vsnetLine(const Submission &submission, const VariableEstimate &variable)
{
    const QString star = vsnetStarName(submission.star).name;
    const double jd = julianDate(submission.jd).value_or(0);
    return QStringLiteral("%1 %2 %3%4 %5")
        .arg(star, vsnetDate(jd), threeDecimals(variable.magnitude), submission.filter,
            submission.obscode);
}

} // namespace quillet::ReportFormats
