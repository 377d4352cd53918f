// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillet3-report: what the windows cannot hold, from the same table and the same
// core. Reads compdata.txt (or --table FILE) with the windows' reader and the
// variable's measured values (arguments, or one per line on standard input), and
// writes a readable report, JSON, AAVSO Extended lines or VSNET lines, and a
// plot. It never writes compdata.txt.
#include "app/startup.h"
#include "core/calibration_report.h"
#include "core/comparison_data_file.h"
#include "core/numeric_text.h"
#include "core/report_formats.h"
#include "quillet3_version.h"
#include "ui/calibration_plot.h"
#include "ui/messages.h"
#include "ui/report_text.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace quillet;

namespace {

constexpr int BadTable = 2; // unreadable or degenerate table: the windows' messages
constexpr int BadUsage = 64; // EX_USAGE

const char UsageText[] = R"(使い方: quillet3-report [オプション] [変光星の測光値 ...]

比較星の表（compdata.txt）から近似直線を求め、比較星ごとの外れ具合、直線の
誤差を含む予測誤差と 95 % 区間、チェック星の O - C を出力します。測光値を
引数に書かないときは、標準入力から 1 行に 1 つずつ読みます。

  --table FILE        比較星の表（既定: カレントフォルダの compdata.txt）
  --check K           K 行目（1 - 15）の比較星をチェック星として近似から外す
  --format text|json  出力の形式（既定: text）
  --aavso             AAVSO Extended File Format 1.2 で出力
  --vsnet             VSNET の報告行で出力
  --plot FILE         グラフを FILE.png または FILE.svg に描く
  --star NAME         変光星の名前（--aavso, --vsnet）
  --jd JD             観測時刻のユリウス日（--aavso, --vsnet）
  --filter F          フィルター（--aavso, --vsnet; 大文字小文字は問わない）
                        --aavso: AAVSO のコード %1
                                 （Rc, Ic は R, I として書く。無フィルターは CV か CR）
                        --vsnet: %2（R, I は Rc, Ic として書く）
  --obscode CODE      観測者コード（--aavso, --vsnet）
  --obstype TYPE      観測の種類（--aavso, 既定: CCD）
  --chart ID          比較星のチャート（--aavso）
  --check-name NAME   チェック星の名前（--aavso の KNAME）
  --help              この説明
  --version           版番号
)";

QString usage()
{
    using ReportFormats::Format;
    return QString::fromUtf8(UsageText).arg(ReportFormats::filterCodes(Format::Aavso).join(u' '),
        ReportFormats::filterCodes(Format::Vsnet).join(QStringLiteral(", ")));
}

void printLine(FILE *stream, const QString &text)
{
    // Messages made for the message boxes separate their lines by CR alone.
    QString shown = text;
    shown.replace(u'\r', u'\n');
    std::fprintf(stream, "%s\n", shown.toUtf8().constData());
}

[[noreturn]] void usageError(const QString &why)
{
    printLine(stderr, QStringLiteral("quillet3-report: ") + why);
    std::fputs(usage().toUtf8().constData(), stderr);
    std::exit(BadUsage);
}

struct Options
{
    QString table = QString::fromLatin1(ComparisonDataFile::FileName);
    std::optional<int> check;
    enum class Output { Text, Json, Aavso, Vsnet } output = Output::Text;
    QString plot;
    ReportFormats::Submission submission;
    QStringList variables;
};

Options parse(const QStringList &arguments)
{
    Options options;
    options.submission.software
        = QStringLiteral("quillet3-report %1").arg(QLatin1String(QUILLET3_VERSION));
    bool json = false, aavso = false, vsnet = false;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        // Measured values are often negative: anything not "--name" is a value.
        if (optionsEnd || !argument.startsWith(QLatin1String("--"))) {
            if (argument.isEmpty())
                usageError(QStringLiteral("空の測光値があります"));
            options.variables.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (argument == QLatin1String("--help")) {
            std::fputs(usage().toUtf8().constData(), stdout);
            std::exit(0);
        }
        if (argument == QLatin1String("--version")) {
            std::printf("quillet3-report %s\n", QUILLET3_VERSION);
            std::exit(0);
        }
        if (argument == QLatin1String("--aavso")) {
            aavso = true;
            continue;
        }
        if (argument == QLatin1String("--vsnet")) {
            vsnet = true;
            continue;
        }
        static const QStringList WithValue {QStringLiteral("--table"), QStringLiteral("--check"),
            QStringLiteral("--format"), QStringLiteral("--plot"), QStringLiteral("--star"),
            QStringLiteral("--jd"), QStringLiteral("--filter"), QStringLiteral("--obscode"),
            QStringLiteral("--obstype"), QStringLiteral("--chart"), QStringLiteral("--check-name")};
        if (!WithValue.contains(argument))
            usageError(QStringLiteral("知らないオプションです: %1").arg(argument));
        if (i + 1 >= arguments.size())
            usageError(QStringLiteral("%1 の値がありません").arg(argument));
        const QString value = arguments[++i];
        if (argument == QLatin1String("--table")) {
            options.table = value;
        } else if (argument == QLatin1String("--check")) {
            bool ok = false;
            const int row = value.toInt(&ok);
            if (!ok || row < 1 || row > 15)
                usageError(QStringLiteral("--check は 1 から 15 の行番号です: %1").arg(value));
            options.check = row;
        } else if (argument == QLatin1String("--format")) {
            if (value != QLatin1String("text") && value != QLatin1String("json"))
                usageError(QStringLiteral("--format は text か json です: %1").arg(value));
            json = value == QLatin1String("json");
        } else if (argument == QLatin1String("--plot")) {
            if (!value.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
                && !value.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
                usageError(QStringLiteral("--plot のファイル名は .png か .svg で終わります: %1")
                               .arg(value));
            options.plot = value;
        } else if (argument == QLatin1String("--star")) {
            options.submission.star = value;
        } else if (argument == QLatin1String("--jd")) {
            if (!ReportFormats::julianDate(value))
                usageError(QStringLiteral("--jd はユリウス日の数値です: %1").arg(value));
            options.submission.jd = value;
        } else if (argument == QLatin1String("--filter")) {
            options.submission.filter = value; // checked for the format below
        } else if (argument == QLatin1String("--obscode")) {
            options.submission.obscode = value;
        } else if (argument == QLatin1String("--obstype")) {
            options.submission.obstype = value;
        } else if (argument == QLatin1String("--chart")) {
            options.submission.chart = value;
        } else if (argument == QLatin1String("--check-name")) {
            options.submission.checkName = value;
        }
    }
    if (int(json) + int(aavso) + int(vsnet) > 1)
        usageError(QStringLiteral("--format json, --aavso, --vsnet はどれか 1 つです"));
    options.output = json ? Options::Output::Json
        : aavso           ? Options::Output::Aavso
        : vsnet           ? Options::Output::Vsnet
                          : Options::Output::Text;
    if (aavso || vsnet) {
        ReportFormats::Submission &s = options.submission;
        const std::pair<const char *, QString> required[] = {
            {"--star", s.star}, {"--jd", s.jd}, {"--filter", s.filter}, {"--obscode", s.obscode}};
        for (const auto &[name, value] : required) {
            if (value.isEmpty())
                usageError(QStringLiteral("%1 が必要です").arg(QLatin1String(name)));
        }
        using ReportFormats::Format;
        const Format format = aavso ? Format::Aavso : Format::Vsnet;
        const auto filter = ReportFormats::filterCode(format, s.filter);
        if (!filter && aavso && s.filter.trimmed().compare(u"C", Qt::CaseInsensitive) == 0)
            usageError(messages::aavsoUnfiltered());
        if (!filter)
            usageError(QStringLiteral("%1 のフィルターではありません: %2（%3）")
                           .arg(aavso ? QStringLiteral("AAVSO") : QStringLiteral("VSNET"), s.filter,
                               ReportFormats::filterCodes(format).join(QStringLiteral(", "))));
        s.filter = *filter;
        // Field and line separators would break the lines.
        for (const QString &field : {s.star, s.obscode, s.chart, s.checkName, s.obstype}) {
            if (field.contains(u',') || field.contains(u'\n') || field.contains(u'\r'))
                usageError(QStringLiteral("名前やコードに , や改行は使えません: %1").arg(field));
        }
    }
    return options;
}

// Qt's notes about its own set-up are no concern of a report's reader; real
// warnings still reach stderr.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || startup::isSetUpNote(text))
        return;
    printLine(stderr, text);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const Options options = parse(arguments);

    // The report shows no window: the plot is drawn off screen, by Qt Charts,
    // which needs the widgets' application object.
    startup::installFailureHandler("quillet3-report", quietHandler);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startup::preferJapaneseFaces(); // the plot's labels
    std::unique_ptr<QCoreApplication> app;
    if (options.plot.isEmpty())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    QStringList variables = options.variables;
    if (variables.isEmpty() && !isatty(STDIN_FILENO)) {
        QTextStream in(stdin);
        for (QString line; in.readLineInto(&line);) {
            if (!line.trimmed().isEmpty())
                variables.append(line);
        }
    }
    // A value that is not a number in full would be read as its leading number
    // (0 for "abc", 1 for "1O.5") and give a plausible but wrong line.
    for (const QString &value : std::as_const(variables)) {
        if (!ParseWholeNumber(value.trimmed()))
            usageError(messages::notANumber(value));
    }

    const auto loaded = ComparisonDataFile::load(options.table);
    if (loaded.failure) {
        printLine(stderr, messages::loadFailed(*loaded.failure, options.table));
        return BadTable;
    }
    if (!loaded.snapshot.exists) {
        printLine(stderr, messages::fileMissing(options.table));
        return BadTable;
    }

    const ReportOutcome outcome
        = MakeCalibrationReport(loaded.tableTexts, variables, options.check);
    if (outcome.problem == ReportProblem::CheckRowVacant)
        usageError(QStringLiteral("--check %1 の行にはデータがありません").arg(*options.check));
    if (outcome.problem) {
        printLine(stderr, messages::reportProblem(*outcome.problem));
        return BadTable;
    }
    const CalibrationReport &report = outcome.report;

    if (!options.plot.isEmpty()) {
        // Drawn whole first, then put in place atomically: never half a picture,
        // and never into a pipe, a device or a folder.
        const bool svg = options.plot.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
        const QByteArray plot = calibrationPlot(report, svg);
        if (plot.isEmpty()) {
            printLine(stderr, QStringLiteral("quillet3-report: グラフを描けませんでした"));
            return 1;
        }
        const auto saved = ComparisonDataFile::writeFile(options.plot, plot);
        if (saved.failure) {
            printLine(stderr,
                QStringLiteral("quillet3-report: %1 に書き込めませんでした\r").arg(options.plot)
                    + messages::fileProblem(*saved.failure, options.plot));
            return 1;
        }
    }

    QTextStream out(stdout);
    switch (options.output) {
    case Options::Output::Text:
        out << messages::readableReport(report);
        break;
    case Options::Output::Json:
        out << QString::fromUtf8(ReportFormats::json(report));
        break;
    case Options::Output::Aavso:
        // A field WebObs would refuse is refused here, before anything is written.
        for (const VariableEstimate &v : report.variables) {
            const QString field = ReportFormats::aavsoOverlongField(options.submission, v);
            if (!field.isEmpty())
                usageError(messages::aavsoOverlong(field)
                    + QStringLiteral("（変光星 %1）").arg(PlainNumberText(v.measured)));
        }
        out << ReportFormats::aavsoHeader(options.submission);
        for (const VariableEstimate &v : report.variables) {
            out << ReportFormats::aavsoLine(options.submission, report, v) << u'\n';
            // AAVSO's validation refuses an error of a magnitude or more.
            if (v.predictionSe && *v.predictionSe >= 1.0)
                printLine(stderr,
                    QStringLiteral("quillet3-report: ")
                        + messages::aavsoErrorTooLarge(v.measured, *v.predictionSe));
        }
        break;
    case Options::Output::Vsnet:
        if (!ReportFormats::vsnetStarName(options.submission.star).constellationFirst)
            printLine(stderr,
                QStringLiteral("quillet3-report: ")
                    + messages::notVsnetForm(options.submission.star));
        for (const VariableEstimate &v : report.variables)
            out << ReportFormats::vsnetLine(options.submission, v) << u'\n';
        break;
    }
    out.flush();

    return 0;
}
