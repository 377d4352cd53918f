// SPDX-FileCopyrightText: 2026 The Quillet3 developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for --series and the series window: reading a table file and
// splitting its lines into fields, nothing more.
//     table_floor FILE
#include "bench_common.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const long long fields = quillet::bench::splitFields(argv[1]);
    std::printf("%lld fields\n", fields);
    return fields > 0 ? 0 : 1;
}
