// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Core benchmarks, each beside its floor (the least the same work can cost):
// the parser against a plain keyword count over the same text, the worst
// paste, one fit of a full table against reading its 30 texts, one number
// parse against std::from_chars, and reading a huge compdata.txt at start-up
// against reading its first 64 KiB, and a VSP chart of 1,000 stars loaded
// against reading its bytes.
#include "bench_common.h"
#include "core/calibration.h"
#include "core/comparison_data_file.h"
#include "core/comparison_table.h"
#include "core/magnitude_text_parser.h"
#include "core/numeric_text.h"
#include "platform/file_layer.h"
#include "report/field_chart.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <charconv>

using namespace quillet;
using namespace quillet::bench;

namespace {

double keywordCount(const QString &text, qsizetype &counted)
{
    return medianSeconds(9, [&] {
        counted = 0;
        const QStringView view(text);
        for (qsizetype i = view.indexOf(u"Magnitude"); i >= 0;
             i = view.indexOf(u"Magnitude", i + 1))
            ++counted;
    });
}

} // namespace

int main()
{
    const QString paste = realisticPaste(10 * 1000 * 1000);
    qsizetype found = 0;
    qsizetype counted = 0;
    const double parser = medianSeconds(9, [&] { found = MagnitudeTextParser(paste).size(); });
    report("MagnitudeTextParser, 10 MB paste", parser, "indexOf count, same text",
        keywordCount(paste, counted));
    std::printf("  %lld values from %lld keywords\n", static_cast<long long>(found),
        static_cast<long long>(counted));

    // Keywords without any dash, densely packed: every window is searched in full.
    const QString dense = QStringLiteral("Magnitude").repeated(400'000);
    const double worst = medianSeconds(3, [&] { found = MagnitudeTextParser(dense).size(); });
    report("MagnitudeTextParser, dense 3.6 M", worst, "indexOf count, same text",
        keywordCount(dense, counted));

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
    const double read = medianSeconds(5, [&] {
        for (int i = 0; i < calls; ++i)
            sink += ReadTableNumbers(table).measured[i % 15];
    }) / calls;
    report("FitCalibrationLine, 15 rows", fit, "reading its 30 texts", read);

    const QStringList numbers {QStringLiteral("12.345"), QStringLiteral("-8.123"),
        QStringLiteral(" 1234.5"), QStringLiteral("10.75 "), QStringLiteral("1e-3"),
        QStringLiteral("abc")};
    QList<QByteArray> latin;
    for (const QString &n : numbers)
        latin << n.trimmed().toLatin1();
    constexpr int parses = 1200000;
    const double parse = medianSeconds(5, [&] {
        for (int i = 0; i < parses; ++i)
            sink += ParseNumber(numbers[i % numbers.size()]);
    }) / parses;
    const double fromChars = medianSeconds(5, [&] {
        for (int i = 0; i < parses; ++i) {
            const QByteArray &text = latin[i % latin.size()];
            double value = 0;
            std::from_chars(text.constData(), text.constData() + text.size(), value);
            sink += value;
        }
    }) / parses;
    report("ParseNumber, typed texts", parse, "std::from_chars, same texts", fromChars);

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
    const double load = medianSeconds(5, [&] {
        sink += ComparisonDataFile::loaded(FileLayer::readFile(path, ComparisonDataFile::ReadLimit))
                    .tableTexts.size();
    });
    const double head = medianSeconds(5, [&] {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            sink += file.read(ComparisonDataFile::ReadLimit).size();
    });
    report("load, 50 MiB random compdata.txt", load, "QFile reading its first 64 KiB", head);

    // A chart as VSP answers it for a wide field: 1,000 stars, five bands each.
    const QString chartPath = dir.filePath(QStringLiteral("chart.json"));
    {
        QFile file(chartPath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(R"({"chartid":"X28092AFQ","star":"SS Cyg","auid":"000-BCM-129","photometry":[)");
        for (int k = 0; k < 1000; ++k) {
            QByteArray bands;
            for (const char *band : {"B", "V", "Rc", "Ic", "J"})
                bands += QStringLiteral(R"(%1{"band":"%2","mag":%3,"error":0.0%4})")
                             .arg(bands.isEmpty() ? "" : ",", QLatin1String(band))
                             .arg(8 + k * 0.007, 0, 'f', 3)
                             .arg(10 + k % 89)
                             .toUtf8();
            file.write(QStringLiteral(R"(%1{"auid":"000-BCP-%2","ra":"21:42:01.47",)"
                                      R"("dec":"43:38:35.2","label":"%3","bands":[)")
                           .arg(k ? "," : "")
                           .arg(k, 3, 10, QChar(u'0'))
                           .arg(k)
                           .toUtf8()
                + bands + R"(],"comments":""})");
        }
        file.write("]}");
    }
    const double chart
        = medianSeconds(9, [&] { sink += FieldChart::loadAnswer(chartPath).chart->stars.size(); });
    const double chartBytes = medianSeconds(9, [&] {
        QFile file(chartPath);
        if (file.open(QIODevice::ReadOnly))
            sink += file.readAll().size();
    });
    report("VSP chart, 1,000 stars", chart, "QFile reading the same bytes", chartBytes);
    return sink == 0; // keeps the loops from being optimised away
}
