// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calibration_report.h"
#include "core/image_time.h"
#include "report/submission.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// quillet3-report's command line. Parsed by hand: measured values are often
// negative, and anything that does not begin with "--" is a value. Each
// option is described once (its name, argument, help and what it sets); the
// usage text is made from those descriptions.
namespace quillet::ReportOptions {

enum class Output { Text, Json, Aavso, Vsnet };
// What the run is about: the table's report, images' headers, light curves,
// a chart's comparison stars, or a measuring program's table of the night.
enum class Mode { Report, ImageInfo, LightCurve, Chart, Series };

struct Options
{
    bool help = false;
    bool version = false;
    Mode mode = Mode::Report;
    QStringList files; // --image-info and --light-curve: the files after the options
    QString image; // --image: the date, filter, star and airmass from its header
    bool hjd = false; // --date hjd
    std::optional<ImageTime::SkyPosition> position; // --ra and --dec
    QString table; // empty: compdata.txt in the working folder
    std::optional<int> check;
    Output output = Output::Text;
    QString plot;
    double flagMagnitude = DefaultFlagMagnitude;
    submission::Typed typed; // --star, --jd, --filter, --obscode, --obstype, --chart, --check-name
    QStringList variables; // given as arguments; none: standard input
    QString chart; // --vsp: a VSP answer's file
    bool import = false; // --import: the chart's stars into the table
    QStringList labels; // --labels: the stars to import
    bool tableGiven = false; // --table or --field named the table
    QString series; // --series: a measuring program's table of many images
    QString target; // --target: the variable's column
    QStringList comps; // --comp COLUMN=ROW, as given (ROW may be a chart's label or AUID)
    QList<int> excludedImages; // --exclude-image
    QList<int> excludedRows; // --exclude-row
};

// One option: its name, the name of its argument (none for a switch), its
// help (lines), the modes it means something in, and what it sets (an error
// in words, or empty).
struct Option
{
    const char *name;
    const char *argument;
    QString help;
    std::vector<Mode> modes;
    std::function<QString(Options &, const QByteArray &)> set;
};
const std::vector<Option> &options();

struct Parsed
{
    Options options;
    QString usageError; // why the command line cannot be run; empty when it can
};

// The arguments as the program got them (bytes: a file name that is not UTF-8
// is kept as the system gives it; a text that is not UTF-8 is kept for the
// validator to refuse).
Parsed parseArguments(const QByteArrayList &arguments);

// The usage text, made from the options' descriptions.
QString usage();

} // namespace quillet::ReportOptions
