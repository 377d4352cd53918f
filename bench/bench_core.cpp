// Core benchmarks: the parser against a plain keyword count over the same text,
// and one fit of a full table.
#include "bench_common.h"
#include "core/calibration.h"
#include "core/magnitude_text_parser.h"

#include <QStringList>

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
        for (qsizetype i = view.indexOf(u"Magnitude"); i >= 0; i = view.indexOf(u"Magnitude", i + 1))
            ++counted;
    });
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.1f ms (indexOf %.1f ms)", parser * 1e3, indexOf * 1e3);
    report("MagnitudeTextParser, 10 MB paste", figure, parser / indexOf, "<= 1.5", parser / indexOf <= 1.5);
    std::printf("  %lld values from %lld keywords\n", (long long)found, (long long)counted);

    QStringList table;
    for (int k = 1; k <= 15; ++k) {
        table << QString::number(-12.0 + 0.3 * k, 'f', 3) << QString::number(9.0 + 0.25 * k + 0.01 * (k % 3), 'f', 2);
    }
    constexpr int calls = 200000;
    double sink = 0;
    const double fit = medianSeconds(5, [&] {
        for (int i = 0; i < calls; ++i)
            sink += FitCalibrationLine(table)->slope;
    }) / calls;
    std::snprintf(figure, sizeof figure, "%.3f us per fit", fit * 1e6);
    report("FitCalibrationLine, 15 rows", figure, fit / 1e-6, "< 1 us", fit < 1e-6);
    return sink == 0; // keeps the loop from being optimised away
}
