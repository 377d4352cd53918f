// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report_options.h"

#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "core/series_table.h"
#include "core/submission_record.h"
#include "platform/file_layer.h"
#include "platform/star_fields.h"

#include <algorithm>
#include <cmath>

namespace quillet::ReportOptions {

namespace {

const char Introduction[] = R"(使い方: quillet3-report [オプション] [変光星の測光値 ...]

比較星の表（compdata.txt）から近似直線を求め、比較星ごとの外れ具合、直線の
誤差を含む予測誤差と 95 % 区間、チェック星の O - C（近似値 - ｶﾀﾛｸﾞ値）を出力
します。測光値を引数に書かないときは、標準入力から 1 行に 1 つずつ読み、読んだ
順に結果を出します。

比較星は、t（外部スチューデント化残差）の絶対値が 3 を超え、しかも除外残差が
0.05 等（--flag-mag）以上のとき「外れ」、t だけが 3 を超えるときは「参考」と
します。

)";

// Where the name and its argument end and the help begins.
constexpr int HelpColumn = 22;

QString text(const QByteArray &value)
{
    return QString::fromUtf8(value); // bytes that are not UTF-8 become U+FFFD
}

QString fileName(const QByteArray &value)
{
    return FileLayer::decodeName(value);
}

QString tableOnce(Options &o, const QString &table)
{
    if (!o.table.isEmpty())
        return QStringLiteral("--table と --field はどちらか 1 つです");
    o.table = table;
    o.tableGiven = true;
    return {};
}

// A run is about one thing: the option that names it, once.
QString setMode(Options &o, Mode mode)
{
    if (o.mode != Mode::Report && o.mode != mode)
        return QStringLiteral("--image-info, --light-curve, --vsp, --series はどれか 1 つです");
    o.mode = mode;
    return {};
}

// A setter that keeps the text in one of the typed fields.
std::function<QString(Options &, const QByteArray &)> typedField(QString submission::Typed::*field)
{
    return [field](Options &o, const QByteArray &v) {
        o.typed.*field = text(v);
        return QString();
    };
}

const std::vector<Mode> ReportOnly {Mode::Report};
const std::vector<Mode> AllModes {
    Mode::Report, Mode::ImageInfo, Mode::LightCurve, Mode::Chart, Mode::Series};
const std::vector<Mode> WithTable {Mode::Report, Mode::Chart, Mode::Series};
// What a record needs, for one image or the night's.
const std::vector<Mode> Records {Mode::Report, Mode::Series};

// "1,4,7": whole numbers from 1, each at most most.
std::optional<QList<int>> numbers(const QString &text, int most)
{
    QList<int> list;
    for (const QString &part : text.split(u',')) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > most)
            return std::nullopt;
        list.append(n);
    }
    return list;
}

std::vector<Option> makeOptions()
{
    using SubmissionRecord::Format;
    const QString aavsoCodes = SubmissionRecord::filterCodes(Format::Aavso).join(u' ');
    const QString vsnetCodes = SubmissionRecord::filterCodes(Format::Vsnet).join(u", ");
    return {
        {"--table", "FILE", QStringLiteral("比較星の表（既定: カレントフォルダの compdata.txt）"),
            WithTable, [](Options &o, const QByteArray &v) { return tableOnce(o, fileName(v)); }},
        {"--field", "NAME",
            QStringLiteral("星野 NAME の表（データフォルダ ~/Quillet3 か QUILLET3_HOME の\n"
                           "NAME/compdata.txt）"),
            WithTable,
            [](Options &o, const QByteArray &v) {
                if (StarField::nameProblem(text(v)))
                    return QStringLiteral("--field は星野の名前です: %1").arg(text(v));
                return tableOnce(o,
                    StarFields::tablePath(
                        StarFields::fieldFolder(StarFields::dataFolder(), text(v))));
            }},
        {"--check", "K", QStringLiteral("K 行目（1 - 15）の比較星をチェック星として近似から外す"),
            Records,
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
        {"--flag-mag", "M",
            QStringLiteral("「外れ」とする除外残差の大きさ、--series ではドリフトとする一晩の\n"
                           "ずれの大きさ（既定: 0.05 等）"),
            Records,
            [](Options &o, const QByteArray &v) {
                const auto m = ParseWholeNumber(text(v));
                if (!m || !(*m > 0) || *m > 100)
                    return QStringLiteral("--flag-mag は正の等級の数値です: %1").arg(text(v));
                o.flagMagnitude = *m;
                return QString();
            }},
        {"--format", "text|json", QStringLiteral("出力の形式（既定: text）"), AllModes,
            [](Options &o, const QByteArray &v) {
                if (v != "text" && v != "json")
                    return QStringLiteral("--format は text か json です: %1").arg(text(v));
                if (v == "json")
                    o.output = Output::Json;
                return QString();
            }},
        {"--aavso", nullptr, QStringLiteral("AAVSO Extended File Format 1.2 で出力"), Records,
            [](Options &o, const QByteArray &) {
                o.output = Output::Aavso;
                return QString();
            }},
        {"--vsnet", nullptr, QStringLiteral("VSNET の報告行で出力"), Records,
            [](Options &o, const QByteArray &) {
                o.output = Output::Vsnet;
                return QString();
            }},
        {"--plot", "FILE", QStringLiteral("グラフを FILE.png または FILE.svg に描く"),
            {Mode::Report, Mode::LightCurve, Mode::Series},
            [](Options &o, const QByteArray &v) {
                const QString path = fileName(v);
                if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
                    && !path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
                    return QStringLiteral("--plot のファイル名は .png か .svg で終わります: %1")
                        .arg(path);
                o.plot = path;
                return QString();
            }},
        {"--star", "NAME", QStringLiteral("変光星の名前（--aavso, --vsnet）"), Records,
            typedField(&submission::Typed::star)},
        {"--jd", "JD", QStringLiteral("観測時刻のユリウス日（--aavso, --vsnet）"), ReportOnly,
            [](Options &o, const QByteArray &v) {
                if (!JulianDate::parse(text(v)))
                    return QStringLiteral("--jd はユリウス日（1582 年 10 月 15 日から 9999 年 "
                                          "まで）の数値です: %1")
                        .arg(text(v));
                o.typed.jd = text(v);
                return QString();
            }},
        {"--filter", "F",
            QStringLiteral(
                "フィルター（--aavso, --vsnet; 大文字小文字は問わない）\n"
                "  --aavso: AAVSO のコード %1\n"
                "           （Rc, Ic は R, I として書く。無フィルターは CV か CR）\n"
                "  --vsnet: %2（R, I, CV は Rc, Ic, C として書く）\n"
                "  --vsp: チャートのバンド（V, CV, TG は V、B, TB は B、R, CR, TR は Rc、"
                "I は Ic）")
                .arg(aavsoCodes, vsnetCodes),
            WithTable, typedField(&submission::Typed::filter)},
        {"--obscode", "CODE", QStringLiteral("観測者コード（--aavso, --vsnet）"), Records,
            typedField(&submission::Typed::obscode)},
        {"--obstype", "TYPE",
            QStringLiteral("観測の種類（--aavso）: %1（既定: CCD。カラーカメラは DSLR）")
                .arg(SubmissionRecord::observationTypes().join(QStringLiteral(", "))),
            Records, typedField(&submission::Typed::obstype)},
        {"--chart", "ID", QStringLiteral("比較星のチャート（--aavso）"), Records,
            typedField(&submission::Typed::chart)},
        {"--check-name", "NAME",
            QStringLiteral("チェック星の名前（--aavso の KNAME。--check と一緒に使う）"), Records,
            typedField(&submission::Typed::checkName)},
        {"--image", "FILE",
            QStringLiteral("FITS 画像のヘッダーから日時（露出の中央）、フィルター、星名、\n"
                           "エアマスを取る（--aavso, --vsnet。オプションで書いたものが優先）"),
            ReportOnly,
            [](Options &o, const QByteArray &v) {
                o.image = fileName(v);
                return QString();
            }},
        {"--date", "jd|hjd",
            QStringLiteral("--aavso の日付を JD か HJD（太陽中心）で書く（既定: jd）"), Records,
            [](Options &o, const QByteArray &v) {
                if (v != "jd" && v != "hjd")
                    return QStringLiteral("--date は jd か hjd です: %1").arg(text(v));
                o.hjd = v == "hjd";
                return QString();
            }},
        {"--ra", "RA", QStringLiteral("星の赤経（時分秒 21:42:42.8 か度）: HJD の計算に使う"),
            {Mode::Report, Mode::ImageInfo, Mode::Series},
            [](Options &o, const QByteArray &v) {
                const auto ra = ImageTime::rightAscension(text(v), true);
                if (!ra)
                    return QStringLiteral("--ra は赤経（時分秒か度）です: %1").arg(text(v));
                o.position = ImageTime::SkyPosition {*ra, o.position ? o.position->dec : NAN};
                return QString();
            }},
        {"--dec", "DEC", QStringLiteral("星の赤緯（度分秒 +43:35:09.9 か度）"),
            {Mode::Report, Mode::ImageInfo, Mode::Series},
            [](Options &o, const QByteArray &v) {
                const auto dec = ImageTime::declination(text(v));
                if (!dec)
                    return QStringLiteral("--dec は赤緯（度分秒か度）です: %1").arg(text(v));
                o.position = ImageTime::SkyPosition {o.position ? o.position->ra : NAN, *dec};
                return QString();
            }},
        {"--image-info", "FILE...", QStringLiteral("FITS 画像のヘッダーが示す日時などを一覧にする"),
            AllModes, [](Options &o, const QByteArray &) { return setMode(o, Mode::ImageInfo); }},
        {"--light-curve", "FILE...",
            QStringLiteral("AAVSO Extended のファイルを星とフィルターごとにまとめる\n"
                           "（--plot で光度曲線を描く）"),
            AllModes, [](Options &o, const QByteArray &) { return setMode(o, Mode::LightCurve); }},
        {"--vsp", "FILE",
            QStringLiteral("AAVSO の VSP が出すチャートの測光表（JSON）: 比較星の一覧を出す"),
            AllModes,
            [](Options &o, const QByteArray &v) {
                o.chart = fileName(v);
                return setMode(o, Mode::Chart);
            }},
        {"--import", nullptr,
            QStringLiteral("--vsp の比較星を --field の星野の表に入れる（ｶﾀﾛｸﾞ値、測光値は空）"),
            {Mode::Chart},
            [](Options &o, const QByteArray &) {
                o.import = true;
                return QString();
            }},
        {"--labels", "L1,L2",
            QStringLiteral("--import で入れる星のラベル（既定: 明るい順に 15 個まで）"),
            {Mode::Chart},
            [](Options &o, const QByteArray &v) {
                o.labels = text(v).split(u',', Qt::SkipEmptyParts);
                for (QString &label : o.labels)
                    label = label.trimmed();
                if (o.labels.isEmpty() || o.labels.size() > 15)
                    return QStringLiteral("--labels は 1 個から 15 個のラベルです: %1")
                        .arg(text(v));
                return QString();
            }},
        {"--series", "FILE",
            QStringLiteral("測光ソフトの表（AstroImageJ の Measurements か、JD, HJD, DATE-OBS の\n"
                           "列と星ごとの列の表）: 画像ごとに近似し、一晩のドリフトを出す"),
            AllModes,
            [](Options &o, const QByteArray &v) {
                o.series = fileName(v);
                return setMode(o, Mode::Series);
            }},
        {"--target", "COLUMN", QStringLiteral("--series の変光星の列（既定: AstroImageJ の T1）"),
            {Mode::Series},
            [](Options &o, const QByteArray &v) {
                o.target = text(v).trimmed();
                return QString();
            }},
        {"--comp", "COLUMN=ROW",
            QStringLiteral(
                "--series の比較星の列を表の行（番号、チャートのラベルか AUID）に\n"
                "割り当てる（何度でも。既定: AstroImageJ の C2, C3, ... を行 1, 2, ...）"),
            {Mode::Series},
            [](Options &o, const QByteArray &v) {
                if (!text(v).contains(u'='))
                    return QStringLiteral("--comp は 列=行 です: %1").arg(text(v));
                o.comps << text(v);
                return QString();
            }},
        {"--exclude-image", "N,N",
            QStringLiteral("--series で使わない画像（表の何枚目か、1 から）"), {Mode::Series},
            [](Options &o, const QByteArray &v) {
                const auto list = numbers(text(v), SeriesTable::RowLimit);
                if (!list)
                    return QStringLiteral("--exclude-image は 1 からの画像の番号です: %1")
                        .arg(text(v));
                o.excludedImages += *list;
                return QString();
            }},
        {"--exclude-row", "K", QStringLiteral("--series のどの画像の近似にも使わない比較星の行"),
            {Mode::Series},
            [](Options &o, const QByteArray &v) {
                const auto list = numbers(text(v), 15);
                if (!list)
                    return QStringLiteral("--exclude-row は 1 から 15 の行番号です: %1")
                        .arg(text(v));
                o.excludedRows += *list;
                return QString();
            }},
        {"--help", nullptr, QStringLiteral("この説明"), AllModes,
            [](Options &o, const QByteArray &) {
                o.help = true;
                return QString();
            }},
        {"--version", nullptr, QStringLiteral("版番号"), AllModes,
            [](Options &o, const QByteArray &) {
                o.version = true;
                return QString();
            }},
    };
}

// The modes' own names, as their options name them.
QString modeName(Mode mode)
{
    switch (mode) {
    case Mode::ImageInfo:
        return QStringLiteral("--image-info");
    case Mode::LightCurve:
        return QStringLiteral("--light-curve");
    case Mode::Chart:
        return QStringLiteral("--vsp");
    case Mode::Series:
        return QStringLiteral("--series");
    case Mode::Report:
        break;
    }
    return QStringLiteral("比較星の表の報告");
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
    if ((o.mode == Mode::ImageInfo || o.mode == Mode::LightCurve) && o.files.isEmpty())
        return QStringLiteral("ファイルがありません");
    if (o.mode == Mode::Chart && !o.variables.isEmpty())
        return QStringLiteral("--vsp は測光値もファイルも取りません: %1").arg(o.variables.first());
    if (o.import && !o.tableGiven)
        return QStringLiteral("--import には --field（または --table）が要ります");
    if (!o.labels.isEmpty() && !o.import)
        return QStringLiteral("--labels は --import と使います");
    if (o.mode == Mode::Series && !o.variables.isEmpty())
        return QStringLiteral("--series は測光値を取りません: %1").arg(o.variables.first());
    return {};
}

} // namespace

const std::vector<Option> &options()
{
    static const std::vector<Option> Table = makeOptions();
    return Table;
}

QString usage()
{
    QString text = QString::fromUtf8(Introduction);
    for (const Option &option : options()) {
        QString head = QStringLiteral("  ") + QLatin1String(option.name);
        if (option.argument)
            head += u' ' + QLatin1String(option.argument);
        const QStringList lines = option.help.split(u'\n');
        text += head.size() + 1 < HelpColumn
            ? head.leftJustified(HelpColumn) + lines.first()
            : head + u'\n' + QString(HelpColumn, u' ') + lines.first();
        for (const QString &line : lines.mid(1))
            text += u'\n' + QString(HelpColumn, u' ') + line;
        text += u'\n';
    }
    return text;
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
    std::vector<const Option *> given;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        if (optionsEnd || !argument.startsWith("--")) {
            if (argument.isEmpty())
                return fail(QStringLiteral("空の測光値があります"));
            o.variables.append(text(argument));
            o.files.append(fileName(argument));
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
            continue;
        }
        const auto &all = options();
        const auto option = std::find_if(all.begin(), all.end(),
            [&argument](const Option &entry) { return argument == entry.name; });
        if (option == all.end())
            return fail(QStringLiteral("知らないオプションです: %1").arg(text(argument)));
        QByteArray value;
        if (option->argument && !QByteArray(option->argument).endsWith("...")) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("%1 の値がありません").arg(text(argument)));
            value = arguments[++i];
        }
        if (argument == "--format" ? value == "json"
                                   : argument == "--aavso" || argument == "--vsnet")
            ++formats;
        if (const QString why = option->set(o, value); !why.isEmpty())
            return fail(why);
        given.push_back(&*option);
    }
    // Every option given must mean something in the run's mode.
    for (const Option *option : given) {
        if (std::find(option->modes.begin(), option->modes.end(), o.mode) == option->modes.end())
            return fail(QStringLiteral("%1 は %2 では使えません")
                            .arg(QLatin1String(option->name), modeName(o.mode)));
    }
    const QString why = combinationError(o, formats);
    return why.isEmpty() ? parsed : fail(why);
}

} // namespace quillet::ReportOptions
