// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// quillet3-report: what the windows cannot hold, from the same table and the same
// core. Reads compdata.txt (or --table FILE) with the windows' reader and the
// variable's measured values (arguments, or one per line on standard input), and
// writes a readable report, JSON, AAVSO Extended lines or VSNET lines, and a
// plot. It never writes compdata.txt.
#include "app/report_options.h"
#include "core/comparison_data_file.h"
#include "core/comparison_table.h"
#include "core/julian_date.h"
#include "core/numeric_text.h"
#include "core/report_formats.h"
#include "core/vsnet.h"
#include "platform/file_layer.h"
#include "platform/startup.h"
#include "quillet3_version.h"
#include "report/calibration_plot.h"
#include "report/field_chart.h"
#include "report/image_info.h"
#include "report/light_curve.h"
#include "report/light_curve_plot.h"
#include "report/messages.h"
#include "report/night_plot.h"
#include "report/night_report.h"
#include "report/report_text.h"
#include "report/submission.h"

#include <QApplication>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>
#include <variant>

using namespace quillet;
using namespace quillet::ReportOptions;

namespace {

// What the program's end tells the shell.
enum class Exit {
    Ok = 0,
    Failed = 1, // the plot could not be drawn or written, or the output could not be written
    BadTable = 2, // unreadable or degenerate table: the windows' messages
    Usage = 64, // EX_USAGE: a bad option or value
    NoInput = 66, // EX_NOINPUT: standard input cannot be read (a folder, say)
};

// A line of standard input longer than this is no measured value.
constexpr qsizetype LineLimit = 4096;
// Values kept for a plot, which needs them all; without a plot none is kept.
constexpr qsizetype PlotValuesLimit = 100000;

void printLine(FILE *stream, const QString &text)
{
    // Messages made for the message boxes separate their lines by CR alone;
    // anything else a terminal would act on (a name from a file) is shown.
    QStringList lines = text.split(u'\r');
    for (QString &line : lines)
        line = messages::visible(line);
    std::fprintf(stream, "%s\n", lines.join(u'\n').toUtf8().constData());
}

Exit usageError(const QString &why)
{
    printLine(stderr, QStringLiteral("quillet3-report: ") + why);
    std::fputs(usage().toUtf8().constData(), stderr);
    return Exit::Usage;
}

Exit failure(Exit exit, const QString &why)
{
    printLine(stderr, why);
    return exit;
}

// Writes text to standard output at once, a line at a time even into a pipe.
// False when it cannot be written (the reader has gone).
bool put(const QByteArray &text)
{
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size())
        && std::fflush(stdout) == 0;
}

// What each output writes: before the values, for each, after them.
struct Printer
{
    std::function<QByteArray(const CalibrationReport &)> head;
    std::function<QByteArray(const CalibrationReport &, const VariableEstimate &, bool first)>
        value;
    std::function<QByteArray(const CalibrationReport &)> tail;
};

QByteArray nothing(const CalibrationReport &)
{
    return {};
}

Printer printerFor(
    Output output, const SubmissionRecord::Record &record, const ReportText::Labels &labels)
{
    using SubmissionRecord::Format;
    const AavsoExtended::Header header {record.obscode, record.software, record.obstype,
        record.hjd ? AavsoExtended::DateKind::Hjd : AavsoExtended::DateKind::Jd};
    switch (output) {
    case Output::Json:
        return {ReportFormats::jsonHead,
            [](const CalibrationReport &, const VariableEstimate &v, bool first) {
                return ReportFormats::jsonVariable(v, first);
            },
            [](const CalibrationReport &) { return ReportFormats::jsonEnd(); }};
    case Output::Aavso:
        return {[header](const CalibrationReport &) {
                    return AavsoExtended::headerText(header).toUtf8();
                },
            [record](const CalibrationReport &r, const VariableEstimate &v, bool) {
                return (submission::line(Format::Aavso, record, r, v).text + u'\n').toUtf8();
            },
            nothing};
    case Output::Vsnet:
        return {nothing,
            [record](const CalibrationReport &, const VariableEstimate &v, bool) {
                return (Vsnet::line(record, v) + u'\n').toUtf8();
            },
            nothing};
    case Output::Text:
        break;
    }
    return {[labels](const CalibrationReport &r) {
                return ReportText::readableHead(r, labels).toUtf8();
            },
        [](const CalibrationReport &, const VariableEstimate &v, bool) {
            return ReportText::readableVariable(v).toUtf8();
        },
        [labels](
            const CalibrationReport &r) { return ReportText::readableTail(r, labels).toUtf8(); }};
}

// Everything a run needs once the options are checked and the table is read.
struct Job
{
    bool submitting = false;
    SubmissionRecord::Format format = SubmissionRecord::Format::Aavso;
    SubmissionRecord::Record record;
    CalibrationReport report;
    Printer printer;
};

// What --image and --date hjd add to what the observer gave: the date (the
// options' own first), the filter, the star and the airmass.
Exit fromImage(
    const Options &o, SubmissionRecord::Format format, submission::Typed &typed, bool &hjd)
{
    std::optional<ImageTime::SkyPosition> position = o.position;
    std::optional<double> jd = JulianDate::parse(typed.jd);
    if (!o.image.isEmpty()) {
        const ImageInfo::Image info = ImageInfo::read(o.image, o.position);
        if (!info.jd)
            return failure(Exit::BadTable, QStringLiteral("quillet3-report: ") + info.error);
        position = info.position;
        if (!jd) {
            jd = info.jd;
            typed.jd = QString::number(*jd, 'f', 6);
        }
        if (typed.filter.trimmed().isEmpty() && info.filter) {
            const auto code = SubmissionRecord::filterOfImage(format, *info.filter);
            if (!code)
                return usageError(
                    QStringLiteral("画像のフィルター %1 が %2 のどのコードか分かりません"
                                   "（--filter で %3 のどれかを書いて下さい）")
                        .arg(*info.filter,
                            format == SubmissionRecord::Format::Aavso ? QStringLiteral("AAVSO")
                                                                      : QStringLiteral("VSNET"),
                            SubmissionRecord::filterCodes(format).join(u", ")));
            typed.filter = *code;
        }
        if (typed.star.trimmed().isEmpty() && info.object)
            typed.star = *info.object;
        if (info.airmass && typed.airmass.isEmpty())
            typed.airmass = QString::number(*info.airmass, 'f', 4);
        if (!info.airmassProblem.isEmpty())
            printLine(stderr,
                QStringLiteral("quillet3-report: 警告: 画像の %1 はエアマスとして使えないので、"
                               "AMASS は na にします")
                    .arg(info.airmassProblem));
    }
    if (o.hjd) {
        if (!position)
            return usageError(QStringLiteral("--date hjd には星の位置が要ります（--image の "
                                             "OBJCTRA/OBJCTDEC か RA/DEC、または --ra と --dec）"));
        if (jd) {
            const auto heliocentric = ImageInfo::heliocentricJulianDate(*jd, *position);
            if (!heliocentric)
                return usageError(QStringLiteral("JD %1 の HJD を計算できません").arg(typed.jd));
            typed.jd = QString::number(*heliocentric, 'f', 6);
        }
        hjd = true;
    }
    return Exit::Ok;
}

// What the options give a record, the field's chart filling what they leave
// empty; checkError: the chart's error of the check star (KREFERR).
submission::Typed typedOf(const Options &o, const StarChart::FieldChart *chart,
    const QStringList &tableTexts, QString &checkError)
{
    submission::Typed typed = o.typed;
    checkError = chart ? FieldChart::fillFromChart(typed, *chart, tableTexts, o.check) : QString();
    typed.software = QStringLiteral("quillet3-report %1").arg(QLatin1String(QUILLET3_VERSION));
    typed.check = o.check.has_value();
    return typed;
}

// Checks what the observer gave and reads the table into the report's line.
Exit prepare(const Options &o, Job &job)
{
    using SubmissionRecord::Format;
    job.submitting = o.output == Output::Aavso || o.output == Output::Vsnet;
    job.format = o.output == Output::Aavso ? Format::Aavso : Format::Vsnet;
    const QString table
        = o.table.isEmpty() ? QString::fromLatin1(ComparisonDataFile::FileName) : o.table;
    const auto loaded
        = ComparisonDataFile::loaded(FileLayer::readFile(table, ComparisonDataFile::ReadLimit));
    // The field's chart names the rows that are still its stars: their
    // labels, and the check star's AUID, error and the chart's ID for AAVSO.
    const auto chart = FieldChart::kept(QFileInfo(table).absolutePath());
    const bool charted = chart && !loaded.failure;
    const ReportText::Labels labels
        = charted ? StarChart::labels(*chart, loaded.tableTexts) : ReportText::Labels();
    if (job.submitting) {
        QString checkError;
        submission::Typed typed
            = typedOf(o, charted ? &*chart : nullptr, loaded.tableTexts, checkError);
        bool hjd = false;
        if (const Exit read = fromImage(o, job.format, typed, hjd); read != Exit::Ok)
            return read;
        const auto checked
            = submission::check(job.format, typed, submission::Interface::CommandLine);
        if (!checked.problem.isEmpty())
            return usageError(checked.problem);
        job.record = checked.record;
        job.record.hjd = hjd;
        job.record.checkError = checkError;
    }
    job.printer = printerFor(o.output, job.record, labels);

    if (loaded.failure)
        return failure(Exit::BadTable, messages::loadFailed(*loaded.failure, table));
    if (!loaded.snapshot.exists)
        return failure(Exit::BadTable, messages::fileMissing(table));
    const ReportOutcome outcome
        = MakeCalibrationReport(loaded.tableTexts, {}, o.check, o.flagMagnitude);
    if (outcome.problem == ReportProblem::CheckRowVacant)
        return usageError(QStringLiteral("--check %1 の行にはデータがありません").arg(*o.check));
    if (outcome.problem)
        return failure(Exit::BadTable, messages::reportProblem(*outcome.problem));
    job.report = outcome.report;
    return Exit::Ok;
}

// One value's estimate, or the exit that says why there is none.
std::variant<VariableEstimate, Exit> estimate(const Job &job, const QString &text)
{
    // A value that is not a number in full would be read as its leading number
    // (0 for "abc", 1 for "1O.5") and give a plausible but wrong line.
    if (!ParseWholeNumber(text.trimmed()))
        return usageError(messages::notANumber(text));
    const auto v = EstimateVariable(job.report, ParseNumber(text));
    if (!v)
        return failure(Exit::BadTable, messages::reportProblem(ReportProblem::MagnitudeOutOfRange));
    if (job.submitting) {
        const QString why = submission::line(job.format, job.record, job.report, *v).problem;
        if (!why.isEmpty())
            return usageError(why);
        for (const QString &warning : submission::lineWarnings(job.format, *v))
            printLine(stderr, QStringLiteral("quillet3-report: ") + warning);
    }
    return *v;
}

// The estimates, one at a time: of the arguments (all checked before the
// first is given, so that a bad one stops the run before anything is
// written), or of standard input's lines as they are read.
class Estimates
{
public:
    Estimates(const Job &job, const QStringList &arguments)
        : m_job(job)
        , m_fromInput(arguments.isEmpty() && !isatty(STDIN_FILENO))
    {
        for (const QString &text : arguments) {
            auto v = estimate(job, text);
            if (std::holds_alternative<Exit>(v)) {
                m_stop = std::get<Exit>(v);
                return;
            }
            m_given.push_back(std::get<VariableEstimate>(v));
        }
    }

    // The next estimate; nothing at the end, with stop() saying how it ended.
    std::optional<VariableEstimate> next()
    {
        if (m_stop != Exit::Ok)
            return std::nullopt;
        if (!m_fromInput)
            return m_next < m_given.size() ? std::optional(m_given[m_next++]) : std::nullopt;
        for (;;) {
            std::optional<QByteArray> line = readLine();
            if (!line)
                return std::nullopt;
            const QString text = QString::fromUtf8(*line);
            if (text.trimmed().isEmpty())
                continue;
            auto v = estimate(m_job, text);
            if (std::holds_alternative<Exit>(v)) {
                m_stop = std::get<Exit>(v);
                return std::nullopt;
            }
            return std::get<VariableEstimate>(v);
        }
    }
    Exit stop() const { return m_stop; }

private:
    std::optional<QByteArray> readLine()
    {
        QByteArray line;
        int c = 0;
        while ((c = std::getc(stdin)) != EOF && c != '\n') {
            if (line.size() == LineLimit) {
                m_stop = usageError(QStringLiteral("%1 行目が長すぎます（%2 バイトまで）")
                                        .arg(m_line + 1)
                                        .arg(LineLimit));
                return std::nullopt;
            }
            line += char(c);
        }
        if (c == EOF && std::ferror(stdin)) {
            // A folder or a device that cannot be read is no empty input.
            m_stop = failure(Exit::NoInput,
                QStringLiteral("quillet3-report: 標準入力を読めません\r")
                    + messages::fileProblem(FileLayer::failureFor(errno, QStringLiteral("-")),
                        QStringLiteral("標準入力")));
            return std::nullopt;
        }
        if (c == EOF && line.isEmpty())
            return std::nullopt;
        ++m_line;
        return line;
    }

    const Job &m_job;
    bool m_fromInput;
    std::vector<VariableEstimate> m_given;
    std::size_t m_next = 0;
    qsizetype m_line = 0;
    Exit m_stop = Exit::Ok;
};

// Puts a picture drawn whole in place atomically: never half a picture, and
// never into a pipe, a device or a folder. A picture that could not be drawn
// (empty) is an error, not an empty file.
Exit writePicture(const QString &path, const QByteArray &picture)
{
    if (picture.isEmpty())
        return failure(Exit::Failed, QStringLiteral("quillet3-report: グラフを描けませんでした"));
    const auto saved = FileLayer::replaceFile(path, picture);
    if (saved.failure)
        return failure(Exit::Failed,
            QStringLiteral("quillet3-report: %1 に書き込めませんでした\r").arg(path)
                + messages::fileProblem(*saved.failure, path));
    return Exit::Ok;
}

bool isSvg(const QString &path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

// Each value's result as soon as it is read: memory stays the same however
// long the input.
Exit stream(Job &job, Estimates &estimates)
{
    // The head waits for the first value: a bad first line writes nothing.
    std::optional<VariableEstimate> v = estimates.next();
    if (estimates.stop() != Exit::Ok)
        return estimates.stop();
    if (!put(job.printer.head(job.report)))
        return Exit::Failed;
    for (bool first = true; v; v = estimates.next(), first = false) {
        if (!put(job.printer.value(job.report, *v, first)))
            return Exit::Failed;
    }
    if (estimates.stop() != Exit::Ok)
        return estimates.stop();
    return put(job.printer.tail(job.report)) ? Exit::Ok : Exit::Failed;
}

// The plot needs every value: they are kept (up to a limit), drawn, then printed.
Exit plotThenPrint(Job &job, Estimates &estimates, const QString &plot)
{
    CalibrationReport &report = job.report;
    while (const auto v = estimates.next()) {
        if (qsizetype(report.variables.size()) == PlotValuesLimit)
            return usageError(
                QStringLiteral("グラフに描ける測光値は %1 個までです").arg(PlotValuesLimit));
        report.variables.push_back(*v);
    }
    if (estimates.stop() != Exit::Ok)
        return estimates.stop();
    if (const Exit plotted = writePicture(plot, CalibrationPlot::picture(report, isSvg(plot)));
        plotted != Exit::Ok)
        return plotted;
    QByteArray text = job.printer.head(report);
    for (std::size_t i = 0; i < report.variables.size(); ++i)
        text += job.printer.value(report, report.variables[i], i == 0);
    return put(text + job.printer.tail(report)) ? Exit::Ok : Exit::Failed;
}

// --image-info: what each file's header gives; 2 when any gave no time.
Exit runImageInfo(const Options &o)
{
    QList<ImageInfo::Image> images;
    bool allTimed = true;
    for (const QString &file : o.files) {
        images.append(ImageInfo::read(file, o.position));
        allTimed = allTimed && images.last().jd.has_value();
    }
    const bool written = put(
        o.output == Output::Json ? ImageInfo::json(images) : ImageInfo::text(images).toUtf8());
    if (!written)
        return Exit::Failed;
    return allTimed ? Exit::Ok : Exit::BadTable;
}

// --light-curve: per star and filter, and every line skipped; 2 when no file
// gave a record.
Exit runLightCurve(const Options &o)
{
    const LightCurve::Night night = LightCurve::read(o.files);
    for (const QString &problem : night.problems)
        printLine(stderr, QStringLiteral("quillet3-report: ") + problem);
    if (night.records.isEmpty()) {
        printLine(stderr, QStringLiteral("quillet3-report: 記録が 1 件もありません"));
        if (!night.skipped.isEmpty())
            put(LightCurve::text(night).toUtf8());
        return Exit::BadTable;
    }
    if (!o.plot.isEmpty()) {
        const Exit plotted
            = writePicture(o.plot, LightCurvePlot::picture(night.records, isSvg(o.plot)));
        if (plotted != Exit::Ok)
            return plotted;
    }
    const bool written = o.output == Output::Json ? LightCurve::writeJson(night, put)
                                                  : put(LightCurve::text(night).toUtf8());
    return written ? Exit::Ok : Exit::Failed;
}

// --vsp with --import: the chart's stars into the field's table, as
// "表に入れる" puts them: the labels given, or the first 15 by magnitude.
Exit importChart(const Options &o, const FieldChart::Loaded &chart, const QString &band)
{
    QList<int> stars;
    for (const QString &label : o.labels) {
        const auto found = std::find_if(chart.chart->stars.begin(), chart.chart->stars.end(),
            [&label](const VspChart::Star &star) { return star.label == label; });
        if (found == chart.chart->stars.end())
            return failure(Exit::BadTable,
                QStringLiteral("quillet3-report: チャートにラベル %1 の星はありません").arg(label));
        if (!found->band(band))
            return failure(Exit::BadTable,
                QStringLiteral("quillet3-report: ラベル %1 の星には %2 の等級がありません")
                    .arg(label, band));
        stars.append(int(found - chart.chart->stars.begin()));
    }
    const QList<int> bright = VspChart::byMagnitude(*chart.chart, band);
    if (stars.isEmpty())
        stars = bright.mid(0, TableRows);
    else
        std::sort(stars.begin(), stars.end(),
            [&bright](int a, int b) { return bright.indexOf(a) < bright.indexOf(b); });
    if (stars.isEmpty())
        return failure(Exit::BadTable,
            QStringLiteral("quillet3-report: チャートに %1 の等級の星がありません").arg(band));
    const auto old
        = ComparisonDataFile::loaded(FileLayer::readFile(o.table, ComparisonDataFile::ReadLimit));
    if (old.failure)
        return failure(Exit::BadTable, messages::loadFailed(*old.failure, o.table));
    const StarChart::Imported made = StarChart::import(*chart.chart, chart.answer, band, stars);
    const QString why = FieldChart::keep(
        QFileInfo(o.table).absolutePath(), made.chart, old.tableTexts, made.tableTexts);
    if (!why.isEmpty())
        return failure(Exit::Failed, QStringLiteral("quillet3-report: ") + why);
    QString said;
    for (const StarChart::RowStar &row : made.chart.rows)
        said += QStringLiteral("行 %1: %2（%3）%4\n")
                    .arg(row.row)
                    .arg(messages::visible(row.label), row.auid, row.magText);
    if (made.chart.rows.size() < TableRows)
        said += QStringLiteral("行 %1 から後は空にしました\n").arg(made.chart.rows.size() + 1);
    return put(said.toUtf8()) ? Exit::Ok : Exit::Failed;
}

// --vsp: the chart's stars in the band of --filter (V without it).
Exit runChart(const Options &o)
{
    const FieldChart::Loaded chart = FieldChart::loadAnswer(o.chart);
    if (!chart.chart)
        return failure(
            Exit::BadTable, QStringLiteral("quillet3-report: %1: %2").arg(o.chart, chart.problem));
    const QString band = VspChart::bandFor(
        o.typed.filter.trimmed().isEmpty() ? QStringLiteral("V") : o.typed.filter);
    if (o.import)
        return importChart(o, chart, band);
    return put(o.output == Output::Json ? FieldChart::json(*chart.chart, band)
                                        : FieldChart::text(*chart.chart, band).toUtf8())
        ? Exit::Ok
        : Exit::Failed;
}

// --series: the night's records as the single image's report checks them,
// the chart's names included; hjd: dates as HJD, computed from the star's
// position for images whose table has none.
Exit seriesRecord(const Options &o, const ComparisonDataFile::Loaded &catalogue,
    const std::optional<StarChart::FieldChart> &chart, SubmissionRecord::Record &record)
{
    using SubmissionRecord::Format;
    const Format format = o.output == Output::Aavso ? Format::Aavso : Format::Vsnet;
    QString checkError;
    submission::Typed typed
        = typedOf(o, chart ? &*chart : nullptr, catalogue.tableTexts, checkError);
    typed.jd = QStringLiteral("2451545.0"); // each image's own replaces it
    const auto checked = submission::check(format, typed, submission::Interface::CommandLine);
    if (!checked.problem.isEmpty())
        return usageError(checked.problem);
    record = checked.record;
    record.hjd = o.hjd;
    record.checkError = checkError;
    return Exit::Ok;
}

Exit runSeries(const Options &o)
{
    NightReport::Loaded loaded = NightReport::load(o.series);
    if (!loaded.table)
        return failure(Exit::BadTable, QStringLiteral("quillet3-report: ") + loaded.problem);
    SeriesTable::Table &table = *loaded.table;
    const QString tablePath
        = o.table.isEmpty() ? QString::fromLatin1(ComparisonDataFile::FileName) : o.table;
    const auto catalogue
        = ComparisonDataFile::loaded(FileLayer::readFile(tablePath, ComparisonDataFile::ReadLimit));
    if (catalogue.failure)
        return failure(Exit::BadTable, messages::loadFailed(*catalogue.failure, tablePath));
    if (!catalogue.snapshot.exists)
        return failure(Exit::BadTable, messages::fileMissing(tablePath));
    const auto chart = FieldChart::kept(QFileInfo(tablePath).absolutePath());
    const ReportText::Labels labels
        = chart ? StarChart::labels(*chart, catalogue.tableTexts) : ReportText::Labels();

    NightSeries::Mapping mapping;
    mapping.target = o.target;
    for (const QString &given : o.comps) {
        const auto comp
            = NightReport::comparisonOf(given, chart ? &*chart : nullptr, catalogue.tableTexts);
        if (!comp)
            return failure(Exit::BadTable,
                QStringLiteral("quillet3-report: --comp %1: 行は番号か、この星野のチャートの"
                               "ラベルか AUID です")
                    .arg(messages::visible(given)));
        mapping.comps.append(*comp);
    }
    mapping.check = o.check;
    mapping.excludedImages = o.excludedImages;
    mapping.excludedRows = o.excludedRows;
    mapping.flagMagnitude = o.flagMagnitude;
    mapping.hjd = o.hjd;
    const NightSeries::Resolved resolved
        = NightSeries::resolve(table, mapping, catalogue.tableTexts);
    if (resolved.problem)
        return failure(Exit::BadTable,
            QStringLiteral("quillet3-report: %1: %2")
                .arg(o.series, NightReport::mappingProblem(resolved)));
    if (o.hjd && o.position) {
        for (SeriesTable::Image &image : table.images) {
            if (!image.hjd && image.jd)
                image.hjd = ImageInfo::heliocentricJulianDate(*image.jd, *o.position);
        }
    }
    SubmissionRecord::Record record;
    const bool submitting = o.output == Output::Aavso || o.output == Output::Vsnet;
    if (submitting) {
        if (const Exit made = seriesRecord(o, catalogue, chart, record); made != Exit::Ok)
            return made;
    }
    const auto format = o.output == Output::Aavso ? SubmissionRecord::Format::Aavso
                                                  : SubmissionRecord::Format::Vsnet;

    // Each image written as it is computed; a reader that has gone stops the run.
    bool written = true;
    if (o.output == Output::Json)
        written = put(NightReport::jsonHead(table));
    else if (o.output == Output::Text)
        written = put((NightReport::sourceText(table) + u'\n').toUtf8());
    else if (o.output == Output::Aavso)
        written = put(AavsoExtended::headerText(
            {record.obscode, record.software, record.obstype,
                o.hjd ? AavsoExtended::DateKind::Hjd : AavsoExtended::DateKind::Jd})
                          .toUtf8());
    bool first = true;
    bool refused = false;
    const NightSeries::Night night = NightSeries::compute(
        table, resolved, mapping, catalogue.tableTexts, [&](const NightSeries::ImageResult &image) {
            if (!written)
                return;
            if (o.output == Output::Json) {
                written = put(NightReport::jsonImage(table, image, first));
                first = false;
            } else if (o.output == Output::Text) {
                written = put(NightReport::imageLine(table, image).toUtf8());
            } else if (image.leftOut == NightSeries::LeftOut::None) {
                const submission::Line line = submission::line(format,
                    NightReport::recordOf(record, table.images[image.index - 1], image),
                    image.report, image.report.variables.front());
                if (!line.problem.isEmpty()) {
                    printLine(stderr,
                        QStringLiteral("quillet3-report: 画像 %1: %2")
                            .arg(image.index)
                            .arg(line.problem));
                    refused = true;
                    return;
                }
                written = put((line.text + u'\n').toUtf8());
            }
        });
    if (written && o.output == Output::Json)
        written = put(NightReport::jsonTail(night, labels));
    else if (written && o.output == Output::Text)
        written = put(NightReport::summaryText(night, labels).toUtf8());
    if (!written)
        return Exit::Failed;
    if (!o.plot.isEmpty()) {
        if (const Exit plotted
            = writePicture(o.plot, NightPlot::picture(table, night, isSvg(o.plot)));
            plotted != Exit::Ok)
            return plotted;
    }
    if (night.summary.used == 0) {
        printLine(stderr, QStringLiteral("quillet3-report: 使える画像が 1 枚もありません"));
        return Exit::BadTable;
    }
    return refused ? Exit::BadTable : Exit::Ok;
}

Exit run(const Options &o)
{
    if (o.mode == Mode::Series)
        return runSeries(o);
    if (o.mode == Mode::Chart)
        return runChart(o);
    if (o.mode == Mode::ImageInfo)
        return runImageInfo(o);
    if (o.mode == Mode::LightCurve)
        return runLightCurve(o);
    Job job;
    if (const Exit prepared = prepare(o, job); prepared != Exit::Ok)
        return prepared;
    Estimates estimates(job, o.variables);
    if (estimates.stop() != Exit::Ok)
        return estimates.stop();
    if (job.submitting) {
        for (const QString &warning :
            submission::reportWarnings(job.format, job.record, job.report))
            printLine(stderr, QStringLiteral("quillet3-report: ") + warning);
    }
    return o.plot.isEmpty() ? stream(job, estimates) : plotThenPrint(job, estimates, o.plot);
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
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const Parsed parsed = parseArguments(arguments);
    if (!parsed.usageError.isEmpty())
        return int(usageError(parsed.usageError));
    if (parsed.options.help) {
        std::fputs(usage().toUtf8().constData(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::printf("quillet3-report %s\n", QUILLET3_VERSION);
        return 0;
    }

    // The report shows no window: the plot is drawn off screen, by Qt Charts,
    // which needs the widgets' application object.
    startup::StartingHandler starting("quillet3-report", quietHandler);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startup::preferJapaneseFaces(); // the plot's labels
    std::unique_ptr<QCoreApplication> app;
    if (parsed.options.plot.isEmpty())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    startup::speakJapanese();
    starting.finish();
    return int(run(parsed.options));
}
