// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/aavso_extended.h"

#include "core/numeric_text.h"

#include <QHash>
#include <QRegularExpression>

#include <cmath>

namespace quillet::AavsoExtended {

namespace {

struct FieldSpec
{
    const char *name; // as AAVSO's format page names the field
    const char *column; // in the "#NAME,DATE,..." line
    int limit; // characters; 0: none
};

// AAVSO's limits (the format page): STARID 30, DATE 16, MAG 8, MERR 6, CNAME
// and KNAME 20, CMAG and KMAG 8, AMASS 7, CHART 20, GROUP 5.
constexpr FieldSpec Specs[FieldCount] = {
    {"STARID", "NAME", 30},
    {"DATE", "DATE", 16},
    {"MAG", "MAG", 8},
    {"MERR", "MERR", 6},
    {"FILT", "FILT", 0},
    {"TRANS", "TRANS", 0},
    {"MTYPE", "MTYPE", 0},
    {"CNAME", "CNAME", 20},
    {"CMAG", "CMAG", 8},
    {"KNAME", "KNAME", 20},
    {"KMAG", "KMAG", 8},
    {"AMASS", "AMASS", 7},
    {"GROUP", "GROUP", 5},
    {"CHART", "CHART", 20},
    {"NOTES", "NOTES", 0},
};

const FieldSpec &spec(Field field)
{
    return Specs[int(field)];
}

QString threeDecimals(double value)
{
    return QString::number(value, 'f', 3);
}

QString orNa(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("na") : text;
}

// A number worked out from the data (a slope, a scatter): six significant
// digits, which is more than the measured values it came from carry.
QString computed(double value)
{
    return QString::number(value, 'g', 6);
}

// The field a column name names; other programs write some of them otherwise.
std::optional<Field> fieldOfColumn(const QString &name)
{
    static const QHash<QString, Field> Known = [] {
        QHash<QString, Field> known;
        for (int f = 0; f < FieldCount; ++f)
            known.insert(QLatin1String(Specs[f].column), Field(f));
        known.insert(QStringLiteral("STARID"), Field::StarId);
        known.insert(QStringLiteral("MAGNITUDE"), Field::Mag);
        known.insert(QStringLiteral("MAGERR"), Field::Merr);
        known.insert(QStringLiteral("FILTER"), Field::Filt);
        known.insert(QStringLiteral("AIRMASS"), Field::Amass);
        return known;
    }();
    const auto found = Known.constFind(name.trimmed().toUpper());
    return found == Known.constEnd() ? std::nullopt : std::optional(*found);
}

bool isExtendedType(const QString &value)
{
    // ASTAP writes the BAA's variant of the same format as "AAVSO EXT BAA V1.00".
    static const QRegularExpression Baa(
        QStringLiteral("^AAVSO\\s+EXT\\b"), QRegularExpression::CaseInsensitiveOption);
    return value.compare(QLatin1String("Extended"), Qt::CaseInsensitive) == 0
        || Baa.match(value).hasMatch();
}

} // namespace

QString fieldName(Field field)
{
    return QLatin1String(spec(field).name);
}

QString columnName(Field field)
{
    return QLatin1String(spec(field).column);
}

int limit(Field field)
{
    return spec(field).limit;
}

std::optional<Overlong> overlong(const Fields &record)
{
    for (int f = 0; f < FieldCount; ++f) {
        const int most = Specs[f].limit;
        if (most > 0 && record[std::size_t(f)].size() > most)
            return Overlong {Field(f), most, record[std::size_t(f)].size()};
    }
    return std::nullopt;
}

bool magnitudeFits(double magnitude)
{
    return std::isfinite(magnitude) && threeDecimals(magnitude).size() <= limit(Field::Mag);
}

bool errorFits(double error)
{
    return std::isfinite(error) && error >= 0 && threeDecimals(error).size() <= limit(Field::Merr);
}

QString headerText(const Header &header)
{
    QStringList columns;
    for (int f = 0; f < FieldCount; ++f)
        columns << QLatin1String(Specs[f].column);
    return QStringLiteral("#TYPE=Extended\n#OBSCODE=%1\n#SOFTWARE=%2\n#DELIM=,\n#DATE=%3\n"
                          "#OBSTYPE=%4\n#%5\n")
        .arg(header.obscode, header.software,
            header.date == DateKind::Hjd ? QStringLiteral("HJD") : QStringLiteral("JD"),
            header.obstype, columns.join(u','));
}

QString line(const Fields &record)
{
    return QStringList(record.begin(), record.end()).join(u',');
}

Fields ensembleRecord(const SubmissionRecord::Record &submission, const CalibrationReport &report,
    const VariableEstimate &variable)
{
    const bool check = report.check && !submission.checkName.isEmpty();
    QString notes = QStringLiteral("|SLOPE=%1|N=%2|S=%3|VMAGINS=%4")
                        .arg(computed(report.slope))
                        .arg(report.n)
                        .arg(report.s ? computed(*report.s) : QStringLiteral("na"),
                            PlainNumberText(variable.measured));
    if (check)
        notes += QStringLiteral("|KMAGINS=%1|KREFMAG=%2")
                     .arg(PlainNumberText(report.check->measured),
                         PlainNumberText(report.check->catalogue));
    if (check && !submission.checkError.isEmpty())
        notes += QStringLiteral("|KREFERR=%1").arg(submission.checkError);
    Fields r;
    at(r, Field::StarId) = submission.star;
    at(r, Field::Date) = submission.jd.trimmed();
    at(r, Field::Mag) = threeDecimals(variable.magnitude);
    at(r, Field::Merr)
        = variable.predictionSe ? threeDecimals(*variable.predictionSe) : QStringLiteral("na");
    at(r, Field::Filt) = submission.filter;
    at(r, Field::Trans) = QStringLiteral("NO");
    at(r, Field::Mtype) = QStringLiteral("STD");
    at(r, Field::Cname) = QStringLiteral("ENSEMBLE");
    at(r, Field::Cmag) = QStringLiteral("na");
    // Under ENSEMBLE the check star's magnitude is the ensemble's standard one.
    at(r, Field::Kname) = check ? submission.checkName : QStringLiteral("na");
    at(r, Field::Kmag) = check ? threeDecimals(report.check->fitted) : QStringLiteral("na");
    at(r, Field::Amass) = orNa(submission.airmass);
    at(r, Field::Group) = QStringLiteral("na");
    at(r, Field::Chart) = orNa(submission.chart);
    at(r, Field::Notes) = notes;
    return r;
}

State::State()
{
    for (int f = 0; f < FieldCount; ++f)
        columns[std::size_t(f)] = f;
}

std::optional<QChar> delimiterOf(const QString &raw)
{
    if (raw.startsWith(u'\t'))
        return QChar(u'\t');
    const QString value = raw.trimmed();
    static const QHash<QString, QChar> Named {{QStringLiteral("TAB"), u'\t'},
        {QStringLiteral("COMMA"), u','}, {QStringLiteral("SEMICOLON"), u';'},
        {QStringLiteral("SEMI-COLON"), u';'}, {QStringLiteral("EXCLAMATION"), u'!'},
        {QStringLiteral("PIPE"), u'|'}};
    if (const auto named = Named.constFind(value.toUpper()); named != Named.constEnd())
        return *named;
    bool ok = false;
    const int code = value.toInt(&ok);
    if (ok && value.size() > 1)
        return (code == 9 || (code >= 32 && code <= 126 && code != '#'))
            ? std::optional(QChar(code))
            : std::nullopt;
    if (value.size() == 1 && value[0] != u'#' && value[0] != u' ')
        return value[0];
    return std::nullopt;
}

Reader::Reader(QByteArrayView bytes)
    : m_bytes(bytes)
{
    if (bytes.startsWith(ByteOrderMark)) {
        m_mark = true;
        m_at = 3;
    }
}

bool Reader::next()
{
    const qsizetype size = m_bytes.size();
    if (m_at >= size)
        return false;
    // The line ends at CR LF, LF or a CR alone.
    qsizetype end = m_at;
    const char *data = m_bytes.data();
    while (end < size && data[end] != '\n' && data[end] != '\r')
        ++end;
    const QByteArrayView raw = m_bytes.sliced(m_at, end - m_at);
    qsizetype after = end;
    if (end < size) {
        after = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
        if (m_lineEnd.isEmpty())
            m_lineEnd = m_bytes.sliced(end, after - end);
    }
    m_at = after;
    m_line = Line {m_line.number + 1, Line::Kind::Record, QString::fromUtf8(raw), {}};
    const QString trimmed = m_line.text.trimmed();
    if (trimmed.isEmpty())
        m_line.kind = Line::Kind::Blank;
    else if (trimmed.startsWith(u'#'))
        readParameter(m_line.text.mid(m_line.text.indexOf(u'#')));
    return true;
}

// A "#NAME=value" parameter, a "#NAME,DATE,..." line naming the columns, or a
// comment. From the "#": a tab after "#DELIM=" is the value.
void Reader::readParameter(const QString &text)
{
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0) {
        m_line.kind = Line::Kind::Comment;
        const QStringList names = text.mid(1).split(m_state.delimiter);
        if (fieldOfColumn(names.value(0)) != Field::StarId)
            return;
        State named = m_state;
        named.columns.fill(-1);
        named.unknownColumns.clear();
        for (int i = 0; i < names.size(); ++i) {
            if (const auto field = fieldOfColumn(names[i]))
                named.columns[std::size_t(*field)] = i;
            else
                named.unknownColumns << names[i].trimmed();
        }
        if (named.columns[std::size_t(Field::Date)] < 0
            || named.columns[std::size_t(Field::Mag)] < 0)
            return; // not a line that names a record's columns
        named.namedColumns = true;
        named.columnCount = names.size();
        m_state = named;
        return;
    }
    m_line.kind = Line::Kind::Parameter;
    const QString name = text.mid(1, equals - 1).trimmed().toUpper();
    const QString raw = text.mid(equals + 1);
    const QString value = raw.trimmed();
    if (name == QLatin1String("TYPE")) {
        m_state.typeText = value;
        m_state.type = isExtendedType(value) ? State::Type::Extended : State::Type::Other;
    } else if (name == QLatin1String("OBSCODE")) {
        m_state.obscode = value;
    } else if (name == QLatin1String("DELIM")) {
        if (const auto delimiter = delimiterOf(raw))
            m_state.delimiter = *delimiter;
        else
            m_line.badDelimiter = value;
    } else if (name == QLatin1String("DATE")) {
        const QString kind = value.toUpper();
        m_state.dateText = value;
        m_state.date = kind == QLatin1String("HJD") ? DateKind::Hjd
            : kind == QLatin1String("EXCEL")        ? DateKind::Excel
                                                    : DateKind::Jd;
    } else if (name == QLatin1String("OBSTYPE")) {
        m_state.obstype = value;
    }
}

QStringList Reader::fields() const
{
    return m_line.text.split(m_state.delimiter);
}

QString Reader::field(const QStringList &fields, Field field) const
{
    const int at = m_state.columns[std::size_t(field)];
    return at < 0 ? QString() : fields.value(at).trimmed();
}

} // namespace quillet::AavsoExtended
