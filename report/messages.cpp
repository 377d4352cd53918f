// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/messages.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "report/report_text.h"

#include <cstring>

namespace quillet::messages {

namespace {

// A limit in the unit people read it in: "64 KiB", "16 MiB".
QString sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes >= 1024 && bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 バイト").arg(bytes);
}

} // namespace

QString fileProblem(const FileState::Failure &failure, const QString &name)
{
    using FileState::Problem;
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
    case Problem::FolderNoPermission:
        return QStringLiteral("フォルダ %1 にファイルを作る権限がありません").arg(failure.folder);
    case Problem::ReadOnlyPlace:
        return QStringLiteral("書き込みできない場所です（読み取り専用）");
    case Problem::DiskFull:
        return QStringLiteral("ディスクの空きがありません");
    case Problem::TooLarge:
        return QStringLiteral("ファイルの大きさの上限を超えます");
    case Problem::WorkingFolderMissing:
        return QStringLiteral("作業フォルダがありません（削除または移動されました）");
    case Problem::FolderMissing:
        return QStringLiteral("フォルダ %1 がありません").arg(failure.folder);
    case Problem::TooManyLinks:
        return QStringLiteral("%1 のリンクが多すぎるか、輪になっています").arg(name);
    case Problem::OtherFileSystem:
        return QStringLiteral("別のファイルシステムにまたがって移動できません");
    case Problem::TooManyKeptCopies:
        return QStringLiteral("読み込めなかったファイルを残す名前（%1.unreadable から -%2 まで）が"
                              "すべて使われています\rいらないものを消して下さい")
            .arg(name)
            .arg(FileState::KeptCopiesLimit);
    case Problem::ReadCutShort:
        return QStringLiteral("%1 が大きすぎて、始めの %2 しか読めませんでした")
            .arg(name, sizeText(failure.limit));
    case Problem::OverLimit:
        return QStringLiteral("%1 が大きすぎます（%2 まで）").arg(name, sizeText(failure.limit));
    case Problem::Other:
        break;
    }
    // The system's own name for the error (EIO, ...) is the same in every locale.
    const char *code = strerrorname_np(failure.systemError);
    return QStringLiteral("入出力エラーです（%1）")
        .arg(code ? QString::fromLatin1(code) : QString::number(failure.systemError));
}

QString loadFailed(const FileState::Failure &failure, const QString &name)
{
    return QStringLiteral("比較星データを読み込めませんでした\r") + fileProblem(failure, name);
}

QString fileMissing(const QString &name)
{
    return QStringLiteral("比較星データを読み込めませんでした\r%1 がありません").arg(name);
}

QString folderRemovedAtStart(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("作業フォルダがありません（削除または移動されました）\r"
                              "比較星データはこのフォルダに保存できません");
    return QStringLiteral("作業フォルダ %1 がありません（削除または移動されました）\r"
                          "比較星データを保存するには、このフォルダを作り直して下さい")
        .arg(path);
}

QString changedSinceStart(const QString &name, const QString &writesTo)
{
    QString text = QStringLiteral("%1 は起動後にほかのプログラムが書き換えています").arg(name);
    if (!writesTo.isEmpty())
        text
            += QStringLiteral("\r%1 は今は %2 を指しています。保存するとそのファイルを置き換えます")
                   .arg(name, writesTo);
    return text + QStringLiteral("\rこの内容で置き換えて保存しますか");
}

QString saveFailed(const FileState::Failure &failure, const QString &keptAs, const QString &name)
{
    QString text
        = QStringLiteral("比較星データを保存できませんでした\r") + fileProblem(failure, name);
    if (!keptAs.isEmpty())
        text += QStringLiteral("\r読み込めなかった元のファイルは %1 として残してあります")
                    .arg(keptAs);
    return text;
}

QString keptAside(const QString &name, const QString &keptAs, bool defaultMode)
{
    QString text = QStringLiteral("読み込めなかった %1 を %2 として残しました").arg(name, keptAs);
    if (defaultMode)
        text
            += QStringLiteral("\r新しい %1 には、新しいファイルの標準の権限を付けました").arg(name);
    return text;
}

QString savedButNotSynced(const FileState::Failure &failure)
{
    return QStringLiteral(
               "比較星データは保存しましたが、フォルダをディスクに書き込めませんでした\r")
        + fileProblem(failure) + QStringLiteral("\r停電などがあると、保存が失われることがあります");
}

QString reportProblem(ReportProblem problem)
{
    switch (problem) {
    case ReportProblem::NoLine:
        return measureProblem(MeasureProblem::NoLine);
    case ReportProblem::MagnitudeOutOfRange:
        return measureProblem(MeasureProblem::MagnitudeOutOfRange);
    case ReportProblem::CheckMagnitudeOutOfRange:
        return QStringLiteral("チェック星の等級を計算できません\rチェック星の測光値が大きすぎます");
    case ReportProblem::CheckRowOutOfRange:
    case ReportProblem::CheckRowVacant:
        break;
    }
    return QStringLiteral("チェック星の行にデータがありません");
}

QString notANumber(const QString &value)
{
    return QStringLiteral("測光値が数値ではありません: %1").arg(visible(value));
}

QString aavsoUnfiltered()
{
    return QStringLiteral("AAVSO に C というフィルターはありません: 無フィルターは "
                          "CV（V 等級に合わせた）か CR（R 等級に合わせた）です");
}

QString aavsoOverlong(const AavsoExtended::Overlong &over)
{
    return QStringLiteral("AAVSO の %1 欄は %2 文字までです（%3 文字あります）")
        .arg(AavsoExtended::fieldName(over.field))
        .arg(over.limit)
        .arg(over.length);
}

QString aavsoErrorTooLarge(double measured, double error)
{
    return QStringLiteral(
        "警告: 変光星 %1 の誤差 %2 は 1 等以上です（AAVSO はこの行を受け付けません）")
        .arg(PlainNumberText(measured))
        .arg(error, 0, 'f', 3);
}

QString notVsnetForm(const QString &star)
{
    return QStringLiteral("警告: 星名 %1 は VSNET の形（星座の略符が先、例 CYGSS）ではありません")
        .arg(star);
}

QString flaggedRows(const QStringList &rows)
{
    return QStringLiteral("注意: 行 %1 の比較星が近似直線から外れています（診断で確かめて下さい）")
        .arg(rows.join(QStringLiteral(", ")));
}

QString visible(const QString &text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool paired = QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate();
        switch (c) {
        case 0:
            shown += QLatin1String("\\0");
            break;
        case u'\r':
            shown += QLatin1String("\\r");
            break;
        case u'\n':
            shown += QLatin1String("\\n");
            break;
        case u'\t':
            shown += QLatin1String("\\t");
            break;
        default:
            // C0 and C1 control characters; a byte of a file name that was
            // not UTF-8 (FileLayer::decodeName keeps it as U+DC80..U+DCFF).
            if (c < 0x20 || (c >= 0x7f && c <= 0x9f))
                shown += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
            else if (c >= 0xDC80 && c <= 0xDCFF && !paired)
                shown += QStringLiteral("\\x%1").arg(int(c) - 0xDC00, 2, 16, QLatin1Char('0'));
            else
                shown += text[i];
        }
    }
    return shown;
}

QString notFits(const QString &path, const QString &why)
{
    return QStringLiteral("%1 を FITS 画像として読めません（%2）").arg(path, why);
}

QString imageTimeProblem(const ImageTime::TimeFound &found)
{
    using ImageTime::TimeProblem;
    switch (found.problem) {
    case TimeProblem::NotATime:
        return QStringLiteral("%1 が日時ではありません: %2").arg(found.keyword, found.value);
    case TimeProblem::DateWithoutTime:
        return QStringLiteral("DATE-OBS は日付だけで、時刻（TIME-OBS, UT, UTSTART）がありません");
    case TimeProblem::UnknownTimeScale:
        return QStringLiteral("時刻系 TIMESYS = %1 には対応していません（UTC, TT, TAI）")
            .arg(found.value);
    case TimeProblem::BadExposure:
        return QStringLiteral("露出時間 %1 = %2 が秒数ではありません")
            .arg(found.keyword, found.value);
    case TimeProblem::OutOfRange:
        return QStringLiteral("%1 が示す時刻（JD %2）は観測の日時の範囲（1582 年 10 月 15 日から "
                              "9999 年まで）の外です")
            .arg(found.keyword, found.value);
    case TimeProblem::NoTimeKeyword:
        break;
    }
    return QStringLiteral(
        "観測時刻のキーワード（DATE-OBS, DATE-AVG, MJD-OBS, JD など）がありません");
}

QString imageTimeFrom(const ImageTime::Time &time)
{
    QString from = time.from;
    if (time.startOnly)
        from += QStringLiteral("（露出時間がないので開始時刻）");
    if (time.oldDateForm)
        from += QStringLiteral("（DATE-OBS が DD/MM/YY の古い形なので %1 年とします）")
                    .arg(JulianDate::timeText(time.jd).left(4));
    if (!time.startDoubt.isEmpty())
        from += QStringLiteral("（DATE-OBS の注記は「%1」: 露出の開始とは限りませんが、開始として"
                               "読みます）")
                    .arg(visible(time.startDoubt));
    return from;
}

QString tableDoubt(const TableDoubts::Doubt &doubt, const QMap<int, QString> &labels)
{
    using TableDoubts::Kind;
    const QString row = ReportText::rowName(doubt.row, labels);
    switch (doubt.kind) {
    case Kind::MeasuredNotANumber:
        return QStringLiteral("行 %1 の測光値「%2」は数値ではありません（%3 として計算されます）")
            .arg(row, visible(doubt.text), PlainNumberText(ParseNumber(doubt.text)));
    case Kind::CatalogueNotANumber:
        return QStringLiteral("行 %1 のｶﾀﾛｸﾞ値「%2」は数値ではありません（%3 として計算されます）")
            .arg(row, visible(doubt.text), PlainNumberText(ParseNumber(doubt.text)));
    case Kind::NoCatalogue:
        return QStringLiteral("行 %1 はｶﾀﾛｸﾞ値が空です（0 等として計算されます）").arg(row);
    case Kind::NotMeasured:
        break;
    }
    return QStringLiteral("行 %1 はまだ測光していません（測光値 0 として計算されます）").arg(row);
}

QString changedChartRows(const QList<int> &rows)
{
    QStringList names;
    for (const int row : rows)
        names << QString::number(row);
    return QStringLiteral("行 %1 はｶﾀﾛｸﾞ値を手で変えたので、チャートの星ではありません")
        .arg(names.join(QStringLiteral(", ")));
}

QString importResult(int found, const std::vector<int> &keptRows)
{
    if (found == 0)
        return QStringLiteral("貼り付けた文に測光値（Magnitude の後の値）がありませんでした");
    QString text = QStringLiteral("取り込んだ測光値 %1 個").arg(found);
    if (found > 15)
        text += QStringLiteral("（16 個目からは表に入りません）");
    if (!keptRows.empty()) {
        QStringList rows;
        for (const int row : keptRows)
            rows << QString::number(row);
        text += QStringLiteral("。行 %1 は取り込む前の測光値のままです")
                    .arg(rows.join(QStringLiteral(", ")));
    }
    return text;
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

// Why the night's file took no record, in words.
QString appendRefused(
    const QString &path, const NightFile::Appended &appended, const AavsoExtended::Header &header)
{
    using AavsoFile::Refusal;
    if (appended.failure) {
        QString why = fileProblem(*appended.failure, path);
        if (appended.incomplete)
            why += QStringLiteral(
                "\r書きかけの記録を取り除けませんでした。%1 の最後の行を確かめて下さい")
                       .arg(path);
        return why;
    }
    switch (*appended.refusal) {
    case Refusal::NotAavso:
        return QStringLiteral("%1 は AAVSO Extended のファイルではありません").arg(path);
    case Refusal::OtherObscode:
        return QStringLiteral("%1 の観測者コードは %2 です（今の観測者コードは %3）")
            .arg(path, appended.detail, header.obscode);
    case Refusal::BadDelimiter:
        return QStringLiteral("%1 の #DELIM=%2 は区切り文字を示していません")
            .arg(path, visible(appended.detail));
    case Refusal::OtherDateKind:
        return QStringLiteral("%1 の日付は %2 です（この記録は %3）")
            .arg(path, appended.detail,
                header.date == AavsoExtended::DateKind::Hjd ? QStringLiteral("HJD")
                                                            : QStringLiteral("JD"));
    case Refusal::OtherObstype:
        return QStringLiteral("%1 の観測の種類は %2 です（この記録は %3）")
            .arg(path, appended.detail, header.obstype);
    case Refusal::UnknownColumn:
        return QStringLiteral("%1 には AAVSO にない欄 %2 があります").arg(path, appended.detail);
    case Refusal::MissingColumn:
        return QStringLiteral("%1 には %2 の欄がありません").arg(path, appended.detail);
    case Refusal::DelimiterInField:
        return QStringLiteral("記録の %1 欄に %2 の区切り文字があります")
            .arg(appended.detail, path);
    case Refusal::Duplicate:
        break;
    }
    return QStringLiteral("%1 には同じ記録がすでにあります").arg(path);
}

} // namespace quillet::messages
