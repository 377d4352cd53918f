// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Core benchmarks: the parser against a plain keyword count over the same text,
// the worst paste, one fit of a full table, one number parse, and reading a huge
// compdata.txt at start-up.
#include "bench_common.h"
#include "core/calibration.h"
#include "core/comparison_data_file.h"
#include "core/magnitude_text_parser.h"
#include "core/numeric_text.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

using namespace quillet;
using namespace quillet::bench;

int main()
{
    const QString paste = realisticPaste(10 * 1000 * 1000);
    qsizetype found = 0;
    const double parser = medianSeconds(9, [&] { found = MagnitudeTextParser(paste).size(); });
    qsizetype counted = 0;
    const double indexOf = medianSeconds(9, [&] {
        counted = 0;
        const QStringView view(paste);
        for (qsizetype i = view.indexOf(u"Magnitude"); i >= 0;
             i = view.indexOf(u"Magnitude", i + 1))
            ++counted;
    });
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.1f ms (indexOf %.1f ms)", parser * 1e3, indexOf * 1e3);
    report("MagnitudeTextParser, 10 MB paste", figure, parser / indexOf, "<= 1.5",
        parser / indexOf <= 1.5);
    std::printf("  %lld values from %lld keywords\n", static_cast<long long>(found),
        static_cast<long long>(counted));

    QStringList table;
    for (int k = 1; k <= 15; ++k) {
        table << QString::number(-12.0 + 0.3 * k, 'f', 3)
              << QString::number(9.0 + 0.25 * k + 0.01 * (k % 3), 'f', 2);
    }
    constexpr int calls = 200000;
    double sink = 0;
    const double fit = medianSeconds(5, [&] {
        for (int i = 0; i < calls; ++i)
            sink += FitCalibrationLine(table)->slope;
    }) / calls;
    std::snprintf(figure, sizeof figure, "%.3f us per fit", fit * 1e6);
    report("FitCalibrationLine, 15 rows", figure, fit / 1e-6, "< 1 us", fit < 1e-6);

    // Keywords without any dash, densely packed: every window is searched in full.
    const QString dense = QStringLiteral("Magnitude").repeated(400'000);
    const double worst = medianSeconds(3, [&] { found = MagnitudeTextParser(dense).size(); });
    std::snprintf(
        figure, sizeof figure, "%.0f ms, %lld values", worst * 1e3, static_cast<long long>(found));
    report("MagnitudeTextParser, dense 3.6 M", figure, worst / 5.0, "< 5 s", worst < 5.0);

    const QStringList numbers {QStringLiteral("12.345"), QStringLiteral("-8.123"),
        QStringLiteral(" 1234.5"), QStringLiteral("10.75 "), QStringLiteral("1e-3"),
        QStringLiteral("abc")};
    constexpr int parses = 1200000;
    const double parse = medianSeconds(5, [&] {
        for (int i = 0; i < parses; ++i)
            sink += ParseNumber(numbers[i % numbers.size()]);
    }) / parses;
    std::snprintf(figure, sizeof figure, "%.1f ns per text", parse * 1e9);
    report("ParseNumber, typed texts", figure, parse / 1e-6, "< 1 us", parse < 1e-6);

    // A 50 MiB file of random bytes as compdata.txt: start-up reads its head only.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("compdata.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        QRandomGenerator random(99);
        for (int i = 0; i < 50; ++i) {
            random.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
            file.write(chunk);
        }
    }
    const double load
        = medianSeconds(5, [&] { sink += ComparisonDataFile::load(path).tableTexts.size(); });
    std::snprintf(figure, sizeof figure, "%.2f ms", load * 1e3);
    report("load, 50 MiB random compdata.txt", figure, load / 0.5, "< 500 ms", load < 0.5);
    return sink == 0; // keeps the loops from being optimised away
}
