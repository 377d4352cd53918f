// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report_text.h"

#include "core/numeric_text.h"

#include <QTextStream>

namespace quillet::messages {

QString optionalNumber(std::optional<double> value, int decimals)
{
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("—");
}

QString readableReport(const CalibrationReport &r)
{
    QString out;
    QTextStream s(&out);
    s << QStringLiteral("比較星 %1 個（測光値の順）\n").arg(r.n);
    s << QStringLiteral(" 行     測光値  ｶﾀﾛｸﾞ値    近似値      残差  除外残差         t  判定\n");
    for (const ReportRow &row : r.rows) {
        const QString line = QStringLiteral("%1 %2 %3 %4 %5 %6 %7  %8")
                                 .arg(row.row, 3)
                                 .arg(QString::number(row.measured, 'f', 3), 10)
                                 .arg(QString::number(row.catalogue, 'f', 3), 9)
                                 .arg(QString::number(row.fitted, 'f', 3), 9)
                                 .arg(QString::number(row.residual, 'f', 3), 9)
                                 .arg(optionalNumber(row.deletedResidual), 9)
                                 .arg(optionalNumber(row.studentized, 2), 9)
                                 .arg(row.flagged ? QStringLiteral("外れ (|t| > 3)") : QString());
        qsizetype end = line.size(); // no blanks after the last column
        while (end > 0 && line.at(end - 1) == u' ')
            --end;
        s << QStringView(line).left(end) << u'\n';
    }
    s << QStringLiteral("\n近似直線: 等級 = 傾き x 測光値 + 定数　傾き =%1　定数 =%2\n")
             .arg(SignedNumberText(r.slope), SignedNumberText(r.constant));
    s << QStringLiteral("測光ｴﾗｰ（残差の二乗平均の平方根、n で割る）: %1\n")
             .arg(r.rmsError, 0, 'f', 3);
    s << QStringLiteral("残差の標準偏差 s（n - 2 で割る）: %1\n").arg(optionalNumber(r.s));
    s << QStringLiteral("傾きの標準誤差: %1\n").arg(optionalNumber(r.slopeSe));
    if (r.n < 3)
        s << QStringLiteral(
            "（比較星が 2 個なので、s、標準誤差、除外残差、予測誤差はありません）\n");
    else if (r.n < 4)
        s << QStringLiteral("（比較星が 3 個なので、t（外部スチューデント化残差）はありません）\n");
    for (const VariableEstimate &v : r.variables) {
        s << QStringLiteral("\n変光星 %1: 等級 %2")
                 .arg(PlainNumberText(v.measured))
                 .arg(v.magnitude, 0, 'f', 3);
        if (v.predictionSe && v.low95 && v.high95) {
            s << QStringLiteral(" ± %1（予測誤差）　95 % 区間 %2 ～ %3")
                     .arg(*v.predictionSe, 0, 'f', 3)
                     .arg(*v.low95, 0, 'f', 3)
                     .arg(*v.high95, 0, 'f', 3);
        }
        s << u'\n';
    }
    if (r.check) {
        s << QStringLiteral(
            "\nチェック星（行 %1）: ｶﾀﾛｸﾞ値 %2　近似値 %3　O - C %4　(O - C) / 予測誤差 %5\n")
                 .arg(r.check->row)
                 .arg(r.check->catalogue, 0, 'f', 3)
                 .arg(r.check->fitted, 0, 'f', 3)
                 .arg(r.check->oMinusC, 0, 'f', 3)
                 .arg(optionalNumber(r.check->z, 2));
    }
    return out;
}

} // namespace quillet::messages
