// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_text.h"

#include "core/numeric_text.h"

#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace quillet::ReportText {

QString fixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // A negative value that rounds to zero is zero.
    if (text.startsWith(u'-') && std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) {
            return c == u'0' || c == u'.';
        }))
        text.remove(0, 1);
    return text;
}

QString errorText(double value)
{
    int decimals = 3;
    if (value != 0 && std::isfinite(value)) {
        // Two significant digits: 0.0012, 0.00034.
        const int exponent = int(std::floor(std::log10(std::fabs(value))));
        decimals = std::clamp(1 - exponent, 3, 17);
    }
    return fixed(value, decimals);
}

QString optionalNumber(std::optional<double> value, int decimals)
{
    if (!value)
        return QStringLiteral("—");
    if (std::isinf(*value))
        return *value > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    return fixed(*value, decimals);
}

QString optionalError(std::optional<double> value)
{
    return value ? errorText(*value) : QStringLiteral("—");
}

QString judgement(const ReportRow &row)
{
    if (row.flagged)
        return QStringLiteral("外れ (|t| > 3)");
    if (row.noted)
        return QStringLiteral("参考 (|t| > 3、ずれは小さい)");
    return {};
}

QString rowName(int row, const Labels &labels)
{
    const auto label = labels.constFind(row);
    return label == labels.constEnd() ? QString::number(row)
                                      : QStringLiteral("%1（%2）").arg(row).arg(*label);
}

QString readableHead(const CalibrationReport &r, const Labels &labels)
{
    QString out;
    QTextStream s(&out);
    s << QStringLiteral("比較星 %1 個（測光値の順）\n").arg(r.n);
    // A chart's labels stand in a column of their own after the row.
    const bool labelled = !labels.isEmpty();
    s << (labelled ? QStringLiteral(
              " 行  ﾗﾍﾞﾙ     測光値  ｶﾀﾛｸﾞ値    近似値      残差  除外残差         t  判定\n")
                   : QStringLiteral(
                       " 行     測光値  ｶﾀﾛｸﾞ値    近似値      残差  除外残差         t  判定\n"));
    for (const ReportRow &row : r.rows) {
        const QString first = labelled
            ? QStringLiteral("%1 %2").arg(row.row, 3).arg(labels.value(row.row), 5)
            : QStringLiteral("%1").arg(row.row, 3);
        const QString line = QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                                 .arg(first)
                                 .arg(fixed(row.measured), 10)
                                 .arg(fixed(row.catalogue), 9)
                                 .arg(fixed(row.fitted), 9)
                                 .arg(fixed(row.residual), 9)
                                 .arg(optionalNumber(row.deletedResidual), 9)
                                 .arg(optionalNumber(row.studentized, 2), 9)
                                 .arg(judgement(row));
        qsizetype end = line.size(); // no blanks after the last column
        while (end > 0 && line.at(end - 1) == u' ')
            --end;
        s << QStringView(line).left(end) << u'\n';
    }
    if (!r.leftOut.empty()) {
        QStringList rows;
        for (const int row : r.leftOut)
            rows << QString::number(row);
        s << QStringLiteral("行 %1 は近似に使っていません（測光値が 9999 以上）\n")
                 .arg(rows.join(QStringLiteral(", ")));
    }
    s << QStringLiteral("\n近似直線: 等級 = 傾き x 測光値 + 定数　傾き =%1　定数 =%2\n")
             .arg(SignedNumberText(r.slope), SignedNumberText(r.constant));
    s << QStringLiteral("測光ｴﾗｰ（残差の二乗平均の平方根、n で割る）: %1\n")
             .arg(errorText(r.rmsError));
    s << QStringLiteral("残差の標準偏差 s（n - 2 で割る）: %1\n").arg(optionalError(r.s));
    s << QStringLiteral("傾きの標準誤差: %1\n").arg(optionalError(r.slopeSe));
    if (r.n < 3)
        s << QStringLiteral(
            "（比較星が 2 個なので、s、標準誤差、除外残差、予測誤差はありません）\n");
    else if (r.n < 4)
        s << QStringLiteral("（比較星が 3 個なので、t（外部スチューデント化残差）はありません）\n");
    return out;
}

QString readableVariable(const VariableEstimate &v)
{
    QString out = QStringLiteral("\n変光星 %1: 等級 %2")
                      .arg(PlainNumberText(v.measured), fixed(v.magnitude));
    if (v.predictionSe && v.low95 && v.high95) {
        out += QStringLiteral(" ± %1（予測誤差）　95 % 区間 %2 ～ %3")
                   .arg(errorText(*v.predictionSe), fixed(*v.low95), fixed(*v.high95));
    }
    return out + u'\n';
}

QString readableTail(const CalibrationReport &r, const Labels &labels)
{
    if (!r.check)
        return {};
    return QStringLiteral(
        "\nチェック星（行 %1）: ｶﾀﾛｸﾞ値 %2　近似値 %3　O - C %4　(O - C) / 予測誤差 %5\n")
        .arg(rowName(r.check->row, labels))
        .arg(fixed(r.check->catalogue), fixed(r.check->fitted), fixed(r.check->oMinusC),
            optionalNumber(r.check->z, 2));
}

QString readableReport(const CalibrationReport &report, const Labels &labels)
{
    QString out = readableHead(report, labels);
    for (const VariableEstimate &v : report.variables)
        out += readableVariable(v);
    return out + readableTail(report, labels);
}

} // namespace quillet::ReportText
