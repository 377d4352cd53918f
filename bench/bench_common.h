// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace quillet::bench {

// Median wall time of runs of f, in seconds.
template<typename F> double medianSeconds(int runs, F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The least a table's reader does: the file read whole, each line split into
// its fields at tabs or commas. The number of fields; -1 when unreadable.
inline long long splitFields(const char *path)
{
    std::FILE *file = std::fopen(path, "rb");
    if (!file)
        return -1;
    std::string bytes;
    char chunk[1 << 16];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.append(chunk, got);
    std::fclose(file);
    long long fields = 0;
    std::vector<std::pair<std::size_t, std::size_t>> row;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        const char c = i < bytes.size() ? bytes[i] : '\n';
        if (c == '\t' || c == ',' || c == '\n') {
            row.emplace_back(start, i - start);
            start = i + 1;
        }
        if (c == '\n') {
            fields += static_cast<long long>(row.size());
            row.clear();
        }
    }
    return fields;
}

// A measuring program's output: a heading, then star lines with "Magnitude -x.xxx",
// repeated until the text holds at least the given number of characters.
inline QString realisticPaste(qsizetype characters)
{
    QString block
        = QStringLiteral(" ID    X        Y        Flux        Magnitude   Error   SNR\r\n");
    for (int i = 1; i <= 40; ++i) {
        block += QStringLiteral("%1  %2  %3  %4  Magnitude %5  0.0%6  %7\r\n")
                     .arg(i, 3)
                     .arg(17.0 * i, 7, 'f', 2)
                     .arg(1000.0 / i, 7, 'f', 2)
                     .arg(100.0 * i * i, 10, 'f', 1)
                     .arg(-7.5 - 0.11 * i, 7, 'f', 3)
                     .arg(i % 10)
                     .arg(20.0 + i, 5, 'f', 1);
    }
    QString text;
    text.reserve(characters + block.size());
    while (text.size() < characters)
        text += block;
    return text;
}

// One figure beside the floor it is measured against (the least the same work
// can cost here), and their ratio.
inline void report(const char *name, double seconds, const char *floorName, double floorSeconds)
{
    const auto text = [](double s) {
        char out[32];
        if (s < 1e-6)
            std::snprintf(out, sizeof out, "%.1f ns", s * 1e9);
        else if (s < 1e-3)
            std::snprintf(out, sizeof out, "%.2f us", s * 1e6);
        else
            std::snprintf(out, sizeof out, "%.2f ms", s * 1e3);
        return std::string(out);
    };
    std::printf("%-34s %12s  %-30s %12s  ratio %6.2f\n", name, text(seconds).c_str(), floorName,
        text(floorSeconds).c_str(), seconds / floorSeconds);
}

} // namespace quillet::bench
