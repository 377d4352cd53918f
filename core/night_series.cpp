// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/night_series.h"

#include "core/comparison_table.h"
#include "core/julian_date.h"
#include "core/numeric_text.h"

#include <algorithm>
#include <cmath>

namespace quillet::NightSeries {

namespace {

// The text a box shows for the value, as compdata.txt keeps it: the table's
// value to 15 significant digits, read by the single-image path the same.
QString boxText(double value)
{
    return PlainNumberText(value);
}

Resolved problem(MappingProblem kind, const QString &detail)
{
    Resolved r;
    r.problem = kind;
    r.detail = detail;
    return r;
}

// AstroImageJ's comparison apertures in their order: C2, C3, ...
QList<QPair<QString, int>> aijComparisons(const SeriesTable::Table &table, const QString &target)
{
    QList<QPair<QString, int>> comps;
    for (const QString &star : table.stars) {
        if (star != target && star.startsWith(u'C') && comps.size() < TableRows)
            comps.append({star, int(comps.size()) + 1});
    }
    return comps;
}

std::optional<double> median(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

// Mean and standard deviation (divisor n - 1) of the values.
std::pair<std::optional<double>, std::optional<double>> meanAndSd(const std::vector<double> &values)
{
    if (values.empty())
        return {};
    double sum = 0;
    for (const double v : values)
        sum += v;
    const double mean = sum / double(values.size());
    if (values.size() < 2)
        return {mean, std::nullopt};
    double squares = 0;
    for (const double v : values)
        squares += (v - mean) * (v - mean);
    return {mean, std::sqrt(squares / double(values.size() - 1))};
}

StarDrift drift(int row, const QString &column,
    const std::vector<std::pair<double, double>> &points, double flagMagnitude)
{
    StarDrift star;
    star.row = row;
    star.column = column;
    star.count = int(points.size());
    std::vector<double> residuals;
    for (const auto &[hours, residual] : points)
        residuals.push_back(residual);
    std::tie(star.meanResidual, star.sd) = meanAndSd(residuals);
    if (points.size() < 3)
        return star;
    double meanX = 0, meanY = 0;
    for (const auto &[x, y] : points) {
        meanX += x;
        meanY += y;
    }
    meanX /= double(points.size());
    meanY /= double(points.size());
    double sxx = 0, sxy = 0;
    double low = points.front().first, high = low;
    for (const auto &[x, y] : points) {
        sxx += (x - meanX) * (x - meanX);
        sxy += (x - meanX) * (y - meanY);
        low = std::min(low, x);
        high = std::max(high, x);
    }
    if (!(sxx > 0))
        return star;
    const double slope = sxy / sxx;
    double ssr = 0;
    for (const auto &[x, y] : points) {
        const double e = y - meanY - slope * (x - meanX);
        ssr += e * e;
    }
    const double se = std::sqrt(ssr / double(points.size() - 2) / sxx);
    star.driftPerHour = slope;
    star.driftT = se > 0 ? slope / se : slope == 0 ? 0.0 : std::copysign(INFINITY, slope);
    star.drifts
        = std::fabs(*star.driftT) > FlagLimit && std::fabs(slope * (high - low)) >= flagMagnitude;
    return star;
}

} // namespace

Resolved resolve(
    const SeriesTable::Table &table, const Mapping &mapping, const QStringList &catalogueTexts)
{
    const bool aij = table.format == SeriesTable::Format::Aij;
    const QString target = mapping.target.isEmpty() && aij ? QStringLiteral("T1") : mapping.target;
    if (target.isEmpty())
        return problem(MappingProblem::NoTarget, {});
    Resolved r;
    r.columns.fill(-1);
    r.target = int(table.stars.indexOf(target));
    if (r.target < 0)
        return problem(MappingProblem::NoColumn, target);
    const QList<QPair<QString, int>> comps
        = mapping.comps.isEmpty() && aij ? aijComparisons(table, target) : mapping.comps;
    for (const auto &[column, row] : comps) {
        if (row < 1 || row > TableRows)
            return problem(MappingProblem::RowOutOfRange, QString::number(row));
        const int star = int(table.stars.indexOf(column));
        if (star < 0)
            return problem(MappingProblem::NoColumn, column);
        if (star == r.target)
            return problem(MappingProblem::TargetCompared, column);
        if (r.columns[std::size_t(row - 1)] >= 0)
            return problem(MappingProblem::RowTwice, QString::number(row));
        if (std::find(r.columns.begin(), r.columns.end(), star) != r.columns.end())
            return problem(MappingProblem::ColumnTwice, column);
        if (catalogueTexts.value(2 * row - 1).trimmed().isEmpty())
            return problem(MappingProblem::NoCatalogue, QString::number(row));
        r.columns[std::size_t(row - 1)] = star;
    }
    if (mapping.check && (*mapping.check < 1 || *mapping.check > TableRows))
        return problem(MappingProblem::RowOutOfRange, QString::number(*mapping.check));
    if (mapping.check && r.columns[std::size_t(*mapping.check - 1)] < 0)
        return problem(MappingProblem::CheckNotMapped, QString::number(*mapping.check));
    const bool anyComparison
        = std::any_of(r.columns.begin(), r.columns.end(), [&](int c) { return c >= 0; });
    if (!anyComparison)
        return problem(MappingProblem::NoComparison, {});
    return r;
}

QStringList imageTexts(const SeriesTable::Table &table, const Resolved &resolved,
    const Mapping &mapping, const QStringList &catalogueTexts, qsizetype image,
    QString &variableText)
{
    QStringList texts(2 * TableRows);
    for (int row = 1; row <= TableRows; ++row) {
        const int column = resolved.columns[std::size_t(row - 1)];
        if (column < 0 || mapping.excludedRows.contains(row))
            continue;
        const double value = table.value(image, column);
        if (SeriesTable::noValue(value) || SeriesTable::fluxNotPositive(value))
            continue; // only this star is out of this image's fit
        texts[2 * row - 2] = boxText(value);
        texts[2 * row - 1] = catalogueTexts.value(2 * row - 1);
    }
    const double variable = table.value(image, resolved.target);
    variableText = SeriesTable::noValue(variable) || SeriesTable::fluxNotPositive(variable)
        ? QString()
        : boxText(variable);
    return texts;
}

ImageResult image(const SeriesTable::Table &table, const Resolved &resolved, const Mapping &mapping,
    const QStringList &catalogueTexts, qsizetype index)
{
    ImageResult result;
    result.index = int(index + 1);
    const SeriesTable::Image &image = table.images[index];
    const std::optional<double> time = mapping.hjd ? image.hjd : image.jd;
    bool notPositive = SeriesTable::fluxNotPositive(table.value(index, resolved.target));
    for (int row = 1; row <= TableRows; ++row) {
        const int column = resolved.columns[std::size_t(row - 1)];
        if (column >= 0 && !mapping.excludedRows.contains(row))
            notPositive = notPositive || SeriesTable::fluxNotPositive(table.value(index, column));
    }
    if (mapping.excludedImages.contains(result.index))
        result.leftOut = LeftOut::Excluded;
    else if (image.saturated)
        result.leftOut = LeftOut::Saturated;
    else if (!time || !JulianDate::inRange(*time))
        result.leftOut = LeftOut::NoTime;
    else if (notPositive)
        result.leftOut = LeftOut::FluxNotPositive;
    else if (SeriesTable::noValue(table.value(index, resolved.target)))
        result.leftOut = LeftOut::NoVariable;
    if (result.leftOut != LeftOut::None)
        return result;
    QString variable;
    const QStringList texts = imageTexts(table, resolved, mapping, catalogueTexts, index, variable);
    // The check star takes part where the image has its value.
    const std::optional<int> check
        = mapping.check && !texts[2 * *mapping.check - 2].isEmpty() ? mapping.check : std::nullopt;
    ReportOutcome outcome = MakeCalibrationReport(texts, {variable}, check, mapping.flagMagnitude);
    if (outcome.problem) {
        result.leftOut = *outcome.problem == ReportProblem::NoLine ? LeftOut::TooFewStars
                                                                   : LeftOut::NotANumber;
        return result;
    }
    result.time = *time;
    result.report = std::move(outcome.report);
    return result;
}

Night compute(const SeriesTable::Table &table, const Resolved &resolved, const Mapping &mapping,
    const QStringList &catalogueTexts, const std::function<void(const ImageResult &)> &visit)
{
    Night night;
    night.images.reserve(table.images.size());
    for (qsizetype i = 0; i < table.images.size(); ++i) {
        night.images.append(image(table, resolved, mapping, catalogueTexts, i));
        if (visit)
            visit(night.images.back());
    }
    std::vector<double> checks, slopes;
    double first = INFINITY;
    for (const ImageResult &r : night.images) {
        if (r.leftOut != LeftOut::None) {
            ++night.summary.leftOut;
            continue;
        }
        ++night.summary.used;
        first = std::min(first, r.time);
        slopes.push_back(r.report.slope);
        if (r.report.check)
            checks.push_back(r.report.check->oMinusC);
    }
    std::tie(night.summary.checkMean, night.summary.checkSd) = meanAndSd(checks);
    night.summary.slopeMedian = median(slopes);
    if (!slopes.empty()) {
        night.summary.slopeMin = *std::min_element(slopes.begin(), slopes.end());
        night.summary.slopeMax = *std::max_element(slopes.begin(), slopes.end());
    }
    for (int row = 1; row <= TableRows; ++row) {
        const int column = resolved.columns[std::size_t(row - 1)];
        if (column < 0 || row == mapping.check || mapping.excludedRows.contains(row))
            continue;
        std::vector<std::pair<double, double>> points;
        for (const ImageResult &r : night.images) {
            if (r.leftOut != LeftOut::None)
                continue;
            for (const ReportRow &star : r.report.rows) {
                if (star.row == row)
                    points.emplace_back((r.time - first) * 24, star.residual);
            }
        }
        night.stars.append(drift(row, table.stars[column], points, mapping.flagMagnitude));
    }
    return night;
}

} // namespace quillet::NightSeries
