// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/submission.h"

#include "core/numeric_text.h"
#include "report/messages.h"

namespace quillet::submission {

namespace {

using ReportFormats::Format;

enum class Field { Star, Date, Filter, Obscode, Chart, CheckName, Obstype };

QString fieldName(Field field, Interface asker)
{
    const bool cli = asker == Interface::CommandLine;
    switch (field) {
    case Field::Star:
        return cli ? QStringLiteral("--star") : QStringLiteral("星名");
    case Field::Date:
        return cli ? QStringLiteral("--jd") : QStringLiteral("JD");
    case Field::Filter:
        return cli ? QStringLiteral("--filter") : QStringLiteral("フィルター");
    case Field::Obscode:
        return cli ? QStringLiteral("--obscode") : QStringLiteral("観測者コード");
    case Field::Chart:
        return cli ? QStringLiteral("--chart") : QStringLiteral("チャート");
    case Field::CheckName:
        return cli ? QStringLiteral("--check-name") : QStringLiteral("チェック星名");
    case Field::Obstype:
        break;
    }
    return QStringLiteral("--obstype");
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
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("制御文字");
    }
    return {};
}

} // namespace

Checked check(Format format, const Typed &typed, Interface asker)
{
    Checked checked;
    ReportFormats::Submission &s = checked.submission;
    s.star = typed.star.trimmed();
    s.jd = typed.jd.trimmed();
    s.obscode = typed.obscode.trimmed();
    s.chart = typed.chart.trimmed();
    s.checkName = typed.checkName.trimmed();
    s.obstype = typed.obstype.trimmed();
    s.software = typed.software;
    const bool cli = asker == Interface::CommandLine;
    const auto name = [asker](Field field) { return fieldName(field, asker); };
    const auto fail = [&checked](const QString &why) {
        checked.problem = why;
        return checked;
    };

    const std::pair<Field, const QString &> required[]
        = {{Field::Star, s.star}, {Field::Date, s.jd}, {Field::Obscode, s.obscode}};
    for (const auto &[field, value] : required) {
        if (value.isEmpty())
            return fail(cli ? QStringLiteral("%1 が必要です").arg(name(field))
                            : QStringLiteral("%1がありません").arg(name(field)));
    }
    if (typed.filter.trimmed().isEmpty())
        return fail(
            cli ? QStringLiteral("--filter が必要です") : QStringLiteral("フィルターがありません"));
    if (!ReportFormats::julianDate(s.jd))
        return fail(cli ? QStringLiteral("--jd はユリウス日の数値です: %1").arg(s.jd)
                        : QStringLiteral("JD がユリウス日ではありません"));

    const std::pair<Field, const QString &> texts[]
        = {{Field::Star, s.star}, {Field::Obscode, s.obscode}, {Field::Chart, s.chart},
            {Field::CheckName, s.checkName}, {Field::Obstype, s.obstype}};
    for (const auto &[field, value] : texts) {
        const QString why = characterProblem(value, field == Field::Obscode);
        if (!why.isEmpty())
            return fail(QStringLiteral("%1 に使えない文字があります（%2）: %3")
                            .arg(name(field), why, messages::visible(value)));
    }
    for (const auto &[field, value] : {texts[1], texts[2]}) {
        if (value.contains(u' ') || value.contains(u'\u3000'))
            return fail(QStringLiteral("%1 に空白は使えません: %2").arg(name(field), value));
    }

    const auto filter = ReportFormats::filterCode(format, typed.filter);
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
                    typedFilter, ReportFormats::filterCodes(format).join(u", ")));
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
        if (s.star.size() > 30)
            return fail(messages::aavsoOverlong(QStringLiteral("STARID")));
        s.airmass = typed.airmass.trimmed();
        const auto airmass = ParseWholeNumber(s.airmass);
        if (!s.airmass.isEmpty() && (!airmass || !(*airmass > 0) || s.airmass.size() > 8))
            return fail(QStringLiteral("エアマスが数値ではありません: %1").arg(s.airmass));
    }
    return checked;
}

QString lineProblem(Format format, const ReportFormats::Submission &submission,
    const CalibrationReport &report, const VariableEstimate &variable)
{
    if (format != Format::Aavso)
        return {};
    const QString field = ReportFormats::aavsoOverlongField(submission, report, variable);
    return field.isEmpty() ? QString() : messages::aavsoOverlong(field);
}

QStringList lineWarnings(Format format, const VariableEstimate &variable)
{
    QStringList warnings;
    if (format == Format::Aavso && variable.predictionSe && *variable.predictionSe >= 1.0)
        warnings << messages::aavsoErrorTooLarge(variable.measured, *variable.predictionSe);
    return warnings;
}

QStringList reportWarnings(
    Format format, const ReportFormats::Submission &submission, const CalibrationReport &report)
{
    QStringList warnings;
    if (format == Format::Vsnet
        && !ReportFormats::vsnetStarName(submission.star).constellationFirst)
        warnings << messages::notVsnetForm(submission.star);
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
