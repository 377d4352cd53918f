// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/submission.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "core/vsnet.h"
#include "report/messages.h"

namespace quillet::submission {

namespace {

using AavsoExtended::Field;

// The inputs as the interface names them.
enum class Input { Star, Date, Filter, Obscode, Chart, CheckName, Obstype };

QString inputName(Input field, Interface asker)
{
    const bool cli = asker == Interface::CommandLine;
    switch (field) {
    case Input::Star:
        return cli ? QStringLiteral("--star") : QStringLiteral("星名");
    case Input::Date:
        return cli ? QStringLiteral("--jd") : QStringLiteral("JD");
    case Input::Filter:
        return cli ? QStringLiteral("--filter") : QStringLiteral("フィルター");
    case Input::Obscode:
        return cli ? QStringLiteral("--obscode") : QStringLiteral("観測者コード");
    case Input::Chart:
        return cli ? QStringLiteral("--chart") : QStringLiteral("チャート");
    case Input::CheckName:
        return cli ? QStringLiteral("--check-name") : QStringLiteral("チェック星名");
    case Input::Obstype:
        break;
    }
    return cli ? QStringLiteral("--obstype") : QStringLiteral("観測の種類");
}

// Why a field's text would break the line or the file, or nothing.
QString characterProblem(const QString &text, bool mayStartWithHash)
{
    if (!mayStartWithHash && text.startsWith(u'#'))
        return QStringLiteral("先頭の #（コメントの行になります）");
    for (const QChar c : text) {
        if (c == u',')
            return QStringLiteral("区切りの ,");
        if (c == u'\r' || c == u'\n')
            return QStringLiteral("改行");
        if (c == QChar::ReplacementCharacter)
            return QStringLiteral("UTF-8 ではないバイト");
        // C0 and C1 controls alike: an image's OBJECT may bring either.
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f))
            return QStringLiteral("制御文字");
    }
    return {};
}

// A field of the AAVSO record over its limit, or nothing.
std::optional<AavsoExtended::Overlong> overLimit(Field field, const QString &value)
{
    if (value.size() > AavsoExtended::limit(field))
        return AavsoExtended::Overlong {field, AavsoExtended::limit(field), value.size()};
    return std::nullopt;
}

} // namespace

Checked check(Format format, const Typed &typed, Interface asker)
{
    Checked checked;
    SubmissionRecord::Record &s = checked.record;
    s.star = typed.star.trimmed();
    s.jd = typed.jd.trimmed();
    s.obscode = typed.obscode.trimmed();
    s.chart = typed.chart.trimmed();
    s.checkName = typed.checkName.trimmed();
    s.obstype = typed.obstype.trimmed();
    s.software = typed.software;
    const bool cli = asker == Interface::CommandLine;
    const auto name = [asker](Input field) { return inputName(field, asker); };
    const auto fail = [&checked](const QString &why) {
        checked.problem = why;
        return checked;
    };

    const std::pair<Input, const QString &> required[]
        = {{Input::Star, s.star}, {Input::Date, s.jd}, {Input::Obscode, s.obscode}};
    for (const auto &[field, value] : required) {
        if (value.isEmpty())
            return fail(cli ? QStringLiteral("%1 が必要です").arg(name(field))
                            : QStringLiteral("%1がありません").arg(name(field)));
    }
    if (typed.filter.trimmed().isEmpty())
        return fail(
            cli ? QStringLiteral("--filter が必要です") : QStringLiteral("フィルターがありません"));
    if (!JulianDate::parse(s.jd))
        return fail(cli ? QStringLiteral("--jd はユリウス日の数値です: %1").arg(s.jd)
                        : QStringLiteral("JD がユリウス日ではありません"));

    const std::pair<Input, const QString &> texts[]
        = {{Input::Star, s.star}, {Input::Obscode, s.obscode}, {Input::Chart, s.chart},
            {Input::CheckName, s.checkName}, {Input::Obstype, s.obstype}};
    for (const auto &[field, value] : texts) {
        const QString why = characterProblem(value, field == Input::Obscode);
        if (!why.isEmpty())
            return fail(QStringLiteral("%1 に使えない文字があります（%2）: %3")
                            .arg(name(field), why, messages::visible(value)));
    }
    for (const auto &[field, value] : {texts[1], texts[2]}) {
        if (value.contains(u' ') || value.contains(u'\u3000'))
            return fail(QStringLiteral("%1 に空白は使えません: %2").arg(name(field), value));
    }

    const auto filter = SubmissionRecord::filterCode(format, typed.filter);
    if (!filter) {
        const QString typedFilter = typed.filter.trimmed();
        if (format == Format::Aavso && typedFilter.compare(u"C", Qt::CaseInsensitive) == 0)
            return fail(messages::aavsoUnfiltered());
        if (!cli)
            return fail(format == Format::Vsnet
                    ? QStringLiteral("VSNET には %1 に当たるフィルターがありません")
                          .arg(typedFilter)
                    : QStringLiteral("AAVSO のフィルターではありません: %1").arg(typedFilter));
        return fail(
            QStringLiteral("%1 のフィルターではありません: %2（%3）")
                .arg(format == Format::Aavso ? QStringLiteral("AAVSO") : QStringLiteral("VSNET"),
                    typedFilter, SubmissionRecord::filterCodes(format).join(u", ")));
    }
    s.filter = *filter;

    if (format == Format::Aavso) {
        if (!s.checkName.isEmpty() && !typed.check)
            return fail(cli
                    ? QStringLiteral("--check-name は --check と一緒に使います")
                    : QStringLiteral("チェック星名がありますが、チェック星が選ばれていません"));
        if (typed.check && s.checkName.isEmpty())
            return fail(cli ? QStringLiteral("--aavso で --check を使うときは --check-name "
                                             "（KNAME）も必要です")
                            : QStringLiteral("チェック星名がありません（AAVSO の KNAME）"));
        const auto obstype = SubmissionRecord::observationType(s.obstype);
        if (!obstype)
            return fail(QStringLiteral("%1 は %2 のどれかです: %3")
                            .arg(name(Input::Obstype),
                                SubmissionRecord::observationTypes().join(QStringLiteral(", ")),
                                typed.obstype.trimmed()));
        s.obstype = *obstype;
        s.airmass = typed.airmass.trimmed();
        const std::pair<Field, const QString &> limited[]
            = {{Field::StarId, s.star}, {Field::Date, s.jd}, {Field::Chart, s.chart},
                {Field::Kname, s.checkName}, {Field::Amass, s.airmass}};
        for (const auto &[field, value] : limited) {
            if (const auto over = overLimit(field, value))
                return fail(messages::aavsoOverlong(*over));
        }
        const auto airmass = ParseWholeNumber(s.airmass);
        if (!s.airmass.isEmpty() && (!airmass || !(*airmass > 0)))
            return fail(QStringLiteral("エアマスが数値ではありません: %1").arg(s.airmass));
    }
    return checked;
}

Line line(Format format, const SubmissionRecord::Record &record, const CalibrationReport &report,
    const VariableEstimate &variable)
{
    Line line;
    if (format == Format::Vsnet) {
        line.text = Vsnet::line(record, variable);
        return line;
    }
    line.fields = AavsoExtended::ensembleRecord(record, report, variable);
    if (const auto over = AavsoExtended::overlong(line.fields))
        line.problem = messages::aavsoOverlong(*over);
    else
        line.text = AavsoExtended::line(line.fields);
    return line;
}

QStringList lineWarnings(Format format, const VariableEstimate &variable)
{
    QStringList warnings;
    if (format == Format::Aavso && variable.predictionSe && *variable.predictionSe >= 1.0)
        warnings << messages::aavsoErrorTooLarge(variable.measured, *variable.predictionSe);
    return warnings;
}

QStringList reportWarnings(
    Format format, const SubmissionRecord::Record &record, const CalibrationReport &report)
{
    QStringList warnings;
    if (format == Format::Vsnet && !Vsnet::starName(record.star).constellationFirst)
        warnings << messages::notVsnetForm(record.star);
    QStringList flagged;
    for (const ReportRow &row : report.rows) {
        if (row.flagged)
            flagged << QString::number(row.row);
    }
    if (!flagged.isEmpty())
        warnings << messages::flaggedRows(flagged);
    return warnings;
}

} // namespace quillet::submission
