// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

inline void report(const char *name, const char *figure, double ratio, const char *goal, bool met)
{
    std::printf("%-34s %-28s ratio %7.3f  goal %-14s %s\n", name, figure, ratio, goal,
        met ? "met" : "MISSED");
}

} // namespace quillet::bench
