// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messages.h"

#include <cstring>

namespace quillet::messages {

QString fileProblem(const ComparisonDataFile::Failure &failure, const QString &name)
{
    using ComparisonDataFile::Problem;
    switch (failure.problem) {
    case Problem::Folder:
        return QStringLiteral("%1 はフォルダです").arg(name);
    case Problem::NotRegularFile:
        return QStringLiteral("%1 は通常のファイルではありません（デバイス、パイプなど）")
            .arg(name);
    case Problem::BrokenLink:
        return QStringLiteral("%1 はリンクですが、リンク先がありません").arg(name);
    case Problem::NoPermission:
        return QStringLiteral("%1 を読み書きする権限がありません").arg(name);
    case Problem::ReadOnlyPlace:
        return QStringLiteral("書き込みできない場所です（読み取り専用）");
    case Problem::DiskFull:
        return QStringLiteral("ディスクの空きがありません");
    case Problem::TooLarge:
        return QStringLiteral("ファイルの大きさの上限を超えます");
    case Problem::FolderMissing:
        return QStringLiteral("作業フォルダがありません（削除または移動されました）");
    case Problem::Other:
        break;
    }
    // The system's own name for the error (EIO, ...) is the same in every locale.
    const char *code = strerrorname_np(failure.systemError);
    return QStringLiteral("入出力エラーです（%1）")
        .arg(code ? QString::fromLatin1(code) : QString::number(failure.systemError));
}

QString loadFailed(const ComparisonDataFile::Failure &failure, const QString &name)
{
    return QStringLiteral("比較星データを読み込めませんでした\r") + fileProblem(failure, name);
}

QString fileMissing(const QString &name)
{
    return QStringLiteral("比較星データを読み込めませんでした\r%1 がありません").arg(name);
}

QString measureProblem(MeasureProblem problem)
{
    switch (problem) {
    case MeasureProblem::NoVariableValue:
        return QStringLiteral("変光星の測光値を入力して下さい");
    case MeasureProblem::NoLine:
        return QStringLiteral(
            "近似直線を求められません\r測光値の異なる比較星を2個以上入力して下さい");
    case MeasureProblem::MagnitudeOutOfRange:
        break;
    }
    return QStringLiteral("変光星の等級を計算できません\r変光星の測光値が大きすぎます");
}

} // namespace quillet::messages
