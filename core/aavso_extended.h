// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "core/submission_record.h"

#include <QByteArrayView>
#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The AAVSO Extended File Format 1.2, in one place: the fields of a record and
// their limits, the header and the record this program writes, and the one
// reader of what a file says (its parameters in any case, its delimiter, the
// columns its "#NAME,..." line names, its line ends and byte-order mark) that
// the light curve and the night file's append both read files with.
namespace quillet::AavsoExtended {

// A record's fields, in AAVSO's order.
enum class Field {
    StarId,
    Date,
    Mag,
    Merr,
    Filt,
    Trans,
    Mtype,
    Cname,
    Cmag,
    Kname,
    Kmag,
    Amass,
    Group,
    Chart,
    Notes,
};
inline constexpr int FieldCount = 15;
using Fields = std::array<QString, FieldCount>;

inline QString &at(Fields &fields, Field field)
{
    return fields[std::size_t(field)];
}
inline const QString &at(const Fields &fields, Field field)
{
    return fields[std::size_t(field)];
}

// The field as AAVSO's format page names it ("STARID", "KNAME"), the name of
// its column in the "#NAME,DATE,..." line ("NAME"), and its length limit in
// characters (0: none).
QString fieldName(Field field);
QString columnName(Field field);
int limit(Field field);
// The limit of #SOFTWARE=.
inline constexpr int SoftwareLimit = 255;

// A field longer than AAVSO takes: which, its limit and its length.
struct Overlong
{
    Field field;
    int limit;
    qsizetype length;
};
// The first field of the record over its limit; nothing when all fit.
std::optional<Overlong> overlong(const Fields &record);

// A magnitude and an error as this program writes them (three decimals)
// within the MAG and MERR limits: the range the validator and the reader share.
bool magnitudeFits(double magnitude);
bool errorFits(double error);

enum class DateKind { Jd, Hjd, Excel };

// What the header of a file this program writes says.
struct Header
{
    QString obscode;
    QString software;
    QString obstype = QStringLiteral("CCD");
    DateKind date = DateKind::Jd;
};
// "#TYPE=Extended" ... "#OBSTYPE=", then the line naming the columns; each
// line ended by "\n", the delimiter ",".
QString headerText(const Header &header);
// The fields joined by ",".
QString line(const Fields &record);

// The record of one variable's estimate from an ensemble of comparison stars:
// MAG its magnitude, MERR its prediction error; under ENSEMBLE, CMAG is na
// and KMAG is the check star's magnitude from the same line, with its
// measured and catalogue values in NOTES (KMAGINS, KREFMAG, and the
// catalogue's error KREFERR where a chart gives it) beside the line's SLOPE,
// N, S and the variable's measured value VMAGINS.
Fields ensembleRecord(const SubmissionRecord::Record &submission, const CalibrationReport &report,
    const VariableEstimate &variable);

// ---- Reading ----

// UTF-8's byte-order mark, which some programs put before the first line.
inline constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

// The parameters in force at a line of a file: what the lines above it said.
struct State
{
    enum class Type { Unnamed, Extended, Other };
    Type type = Type::Unnamed; // Unnamed: no #TYPE= yet (read as extended)
    QString typeText; // as written
    QString obscode;
    QChar delimiter = u',';
    DateKind date = DateKind::Jd;
    QString dateText; // as written: "JD", "BJD", ...
    QString obstype;
    // Where each field stands in a record: AAVSO's order, or the one a
    // "#NAME,DATE,..." line gave (-1: no such column).
    std::array<int, FieldCount> columns {};
    bool namedColumns = false;
    QStringList unknownColumns; // named columns that are no field of the format
    qsizetype columnCount = FieldCount;
    State();
};

struct Line
{
    enum class Kind { Blank, Parameter, Comment, Record };
    int number = 0; // 1-based
    Kind kind = Kind::Blank;
    QString text; // without its line end
    QString badDelimiter; // a #DELIM= on this line that names no character (its value)
};

// A file's lines one by one, with the parameters in force at each. Line ends
// may be CR LF, LF or CR alone; a UTF-8 byte-order mark is passed over.
class Reader
{
public:
    explicit Reader(QByteArrayView bytes);
    // The next line; false after the last.
    bool next();
    const Line &line() const { return m_line; }
    const State &state() const { return m_state; }
    // A record line's fields, split by the delimiter in force.
    QStringList fields() const;
    // One field of them, blanks around it dropped; empty when the file has no
    // such column or the record is shorter.
    QString field(const QStringList &fields, Field field) const;
    bool byteOrderMark() const { return m_mark; }
    // The first line end met ("\r\n", "\n" or "\r"); empty when there is none.
    QByteArrayView lineEnd() const { return m_lineEnd; }

private:
    void readParameter(const QString &text);

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    bool m_mark = false;
    QByteArrayView m_lineEnd;
    Line m_line;
    State m_state;
};

// The delimiter a #DELIM= value names: the character, "tab", "comma", its
// name in words, or its ASCII code number (32 to 126, or 9).
std::optional<QChar> delimiterOf(const QString &raw);

} // namespace quillet::AavsoExtended
