// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_options.h"

#include "core/comparison_data_file.h"
#include "core/numeric_text.h"
#include "core/report_formats.h"
#include "platform/star_fields.h"

#include <QFile>

#include <cmath>
#include <functional>

namespace quillet::report {

namespace {

const char UsageText[] = R"(使い方: quillet3-report [オプション] [変光星の測光値 ...]

比較星の表（compdata.txt）から近似直線を求め、比較星ごとの外れ具合、直線の
誤差を含む予測誤差と 95 % 区間、チェック星の O - C（近似値 - ｶﾀﾛｸﾞ値）を出力
します。測光値を引数に書かないときは、標準入力から 1 行に 1 つずつ読み、読んだ
順に結果を出します。

比較星は、t（外部スチューデント化残差）の絶対値が 3 を超え、しかも除外残差が
0.05 等（--flag-mag）以上のとき「外れ」、t だけが 3 を超えるときは「参考」と
します。

  --table FILE        比較星の表（既定: カレントフォルダの compdata.txt）
  --field NAME        星野 NAME の表（データフォルダ ~/Quillet3 か QUILLET3_HOME の
                      NAME/compdata.txt）
  --check K           K 行目（1 - 15）の比較星をチェック星として近似から外す
  --flag-mag M        「外れ」とする除外残差の大きさ（既定: 0.05 等）
  --format text|json  出力の形式（既定: text）
  --aavso             AAVSO Extended File Format 1.2 で出力
  --vsnet             VSNET の報告行で出力
  --plot FILE         グラフを FILE.png または FILE.svg に描く
  --star NAME         変光星の名前（--aavso, --vsnet）
  --jd JD             観測時刻のユリウス日（--aavso, --vsnet）
  --filter F          フィルター（--aavso, --vsnet; 大文字小文字は問わない）
                        --aavso: AAVSO のコード %1
                                 （Rc, Ic は R, I として書く。無フィルターは CV か CR）
                        --vsnet: %2（R, I, CV は Rc, Ic, C として書く）
  --obscode CODE      観測者コード（--aavso, --vsnet）
  --obstype TYPE      観測の種類（--aavso, 既定: CCD）
  --chart ID          比較星のチャート（--aavso）
  --check-name NAME   チェック星の名前（--aavso の KNAME。--check と一緒に使う）
  --image FILE        FITS 画像のヘッダーから日時（露出の中央）、フィルター、星名、
                      エアマスを取る（--aavso, --vsnet。オプションで書いたものが優先）
  --date jd|hjd       --aavso の日付を JD か HJD（太陽中心）で書く（既定: jd）
  --ra RA             星の赤経（時分秒 21:42:42.8 か度）: HJD の計算に使う
  --dec DEC           星の赤緯（度分秒 +43:35:09.9 か度）
  --image-info FILE...     FITS 画像のヘッダーが示す日時などを一覧にする
  --light-curve FILE...    AAVSO Extended のファイルを星とフィルターごとにまとめる
                           （--plot で光度曲線を描く）
  --help              この説明
  --version           版番号
)";

using Setter = std::function<QString(Options &, const QByteArray &)>;

QString text(const QByteArray &value)
{
    return QString::fromUtf8(value); // bytes that are not UTF-8 become U+FFFD
}

// Each option that takes a value, and what it does with it; an error in words.
const std::vector<std::pair<const char *, Setter>> &valueOptions()
{
    static const std::vector<std::pair<const char *, Setter>> Table {
        {"--table",
            [](Options &o, const QByteArray &v) {
                if (!o.table.isEmpty())
                    return QStringLiteral("--table と --field はどちらか 1 つです");
                o.table = QFile::decodeName(v);
                return QString();
            }},
        {"--field",
            [](Options &o, const QByteArray &v) {
                if (!o.table.isEmpty())
                    return QStringLiteral("--table と --field はどちらか 1 つです");
                if (StarField::nameProblem(text(v)))
                    return QStringLiteral("--field は星野の名前です: %1").arg(text(v));
                o.table = StarField::dataFolder() + u'/' + text(v).trimmed() + u'/'
                    + QLatin1String(ComparisonDataFile::FileName);
                return QString();
            }},
        {"--check",
            [](Options &o, const QByteArray &v) {
                bool ok = false;
                const int row = text(v).toInt(&ok);
                if (o.check)
                    return QStringLiteral("--check は 1 回だけ使えます");
                if (!ok || row < 1 || row > 15)
                    return QStringLiteral("--check は 1 から 15 の行番号です: %1").arg(text(v));
                o.check = row;
                return QString();
            }},
        {"--flag-mag",
            [](Options &o, const QByteArray &v) {
                const auto m = ParseWholeNumber(text(v));
                if (!m || !(*m > 0) || *m > 100)
                    return QStringLiteral("--flag-mag は正の等級の数値です: %1").arg(text(v));
                o.flagMagnitude = *m;
                return QString();
            }},
        {"--format",
            [](Options &o, const QByteArray &v) {
                if (v != "text" && v != "json")
                    return QStringLiteral("--format は text か json です: %1").arg(text(v));
                if (v == "json")
                    o.output = Output::Json;
                return QString();
            }},
        {"--plot",
            [](Options &o, const QByteArray &v) {
                const QString path = QFile::decodeName(v);
                if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
                    && !path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
                    return QStringLiteral("--plot のファイル名は .png か .svg で終わります: %1")
                        .arg(path);
                o.plot = path;
                return QString();
            }},
        {"--jd",
            [](Options &o, const QByteArray &v) {
                if (!ReportFormats::julianDate(text(v)))
                    return QStringLiteral("--jd はユリウス日の数値です: %1").arg(text(v));
                o.typed.jd = text(v);
                return QString();
            }},
        {"--star",
            [](Options &o, const QByteArray &v) {
                o.typed.star = text(v);
                return QString();
            }},
        {"--filter",
            [](Options &o, const QByteArray &v) {
                o.typed.filter = text(v);
                return QString();
            }},
        {"--obscode",
            [](Options &o, const QByteArray &v) {
                o.typed.obscode = text(v);
                return QString();
            }},
        {"--obstype",
            [](Options &o, const QByteArray &v) {
                o.typed.obstype = text(v);
                return QString();
            }},
        {"--chart",
            [](Options &o, const QByteArray &v) {
                o.typed.chart = text(v);
                return QString();
            }},
        {"--check-name",
            [](Options &o, const QByteArray &v) {
                o.typed.checkName = text(v);
                return QString();
            }},
        {"--image",
            [](Options &o, const QByteArray &v) {
                o.image = QFile::decodeName(v);
                return QString();
            }},
        {"--date",
            [](Options &o, const QByteArray &v) {
                if (v != "jd" && v != "hjd")
                    return QStringLiteral("--date は jd か hjd です: %1").arg(text(v));
                o.hjd = v == "hjd";
                return QString();
            }},
        {"--ra",
            [](Options &o, const QByteArray &v) {
                const auto ra = ImageHeader::rightAscension(text(v), true);
                if (!ra)
                    return QStringLiteral("--ra は赤経（時分秒か度）です: %1").arg(text(v));
                o.position = ImageHeader::SkyPosition {*ra, o.position ? o.position->dec : NAN};
                return QString();
            }},
        {"--dec",
            [](Options &o, const QByteArray &v) {
                const auto dec = ImageHeader::declination(text(v));
                if (!dec)
                    return QStringLiteral("--dec は赤緯（度分秒か度）です: %1").arg(text(v));
                o.position = ImageHeader::SkyPosition {o.position ? o.position->ra : NAN, *dec};
                return QString();
            }},
    };
    return Table;
}

// Options that make sense only together.
QString combinationError(const Options &o, int formats)
{
    const bool submitting = o.output == Output::Aavso || o.output == Output::Vsnet;
    if (formats > 1)
        return QStringLiteral("--format json, --aavso, --vsnet はどれか 1 つです");
    if (!o.typed.checkName.isEmpty() && o.output != Output::Aavso)
        return QStringLiteral("--check-name は --aavso の KNAME です（--aavso と使います）");
    if (o.position && (std::isnan(o.position->ra) || std::isnan(o.position->dec)))
        return QStringLiteral("--ra と --dec は一緒に使います");
    if (!o.image.isEmpty() && !submitting)
        return QStringLiteral("--image は --aavso か --vsnet と使います");
    if (o.hjd && o.output != Output::Aavso)
        return QStringLiteral("--date hjd は --aavso だけです（VSNET の日付は UT）");
    if (o.mode != Mode::Report) {
        if (submitting || o.check || !o.image.isEmpty() || o.hjd)
            return QStringLiteral("--image-info と --light-curve は --format と --plot のほかの"
                                  "オプションと使えません");
        if (o.mode == Mode::ImageInfo && !o.plot.isEmpty())
            return QStringLiteral("--image-info は --plot と使えません");
        if (o.files.isEmpty())
            return QStringLiteral("ファイルがありません");
    }
    return {};
}

} // namespace

QString usage()
{
    using ReportFormats::Format;
    return QString::fromUtf8(UsageText).arg(ReportFormats::filterCodes(Format::Aavso).join(u' '),
        ReportFormats::filterCodes(Format::Vsnet).join(QStringLiteral(", ")));
}

Parsed parseArguments(const QByteArrayList &arguments)
{
    Parsed parsed;
    Options &o = parsed.options;
    const auto fail = [&parsed](const QString &why) {
        parsed.usageError = why;
        return parsed;
    };
    int formats = 0;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (optionsEnd || !argument.startsWith("--")) {
            if (argument.isEmpty())
                return fail(QStringLiteral("空の測光値があります"));
            o.variables.append(text(argument));
            o.files.append(QFile::decodeName(argument));
        } else if (argument == "--image-info" || argument == "--light-curve") {
            const Mode mode = argument == "--image-info" ? Mode::ImageInfo : Mode::LightCurve;
            if (o.mode != Mode::Report && o.mode != mode)
                return fail(QStringLiteral("--image-info と --light-curve はどちらか 1 つです"));
            o.mode = mode;
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--help") {
            o.help = true;
        } else if (argument == "--version") {
            o.version = true;
        } else if (argument == "--aavso" || argument == "--vsnet") {
            o.output = argument == "--aavso" ? Output::Aavso : Output::Vsnet;
            ++formats;
        } else {
            const auto &options = valueOptions();
            const auto option = std::find_if(options.begin(), options.end(),
                [&argument](const auto &entry) { return argument == entry.first; });
            if (option == options.end())
                return fail(QStringLiteral("知らないオプションです: %1").arg(text(argument)));
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("%1 の値がありません").arg(text(argument)));
            if (argument == "--format" && arguments[i + 1] == "json")
                ++formats;
            const QString why = option->second(o, arguments[++i]);
            if (!why.isEmpty())
                return fail(why);
        }
    }
    const QString why = combinationError(o, formats);
    return why.isEmpty() ? parsed : fail(why);
}

} // namespace quillet::report
