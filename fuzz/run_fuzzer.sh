#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# run_fuzzer.sh TARGET SEEDS WORK: runs TARGET for QUILLET3_FUZZ_SECONDS (20 by
# default), new inputs going to WORK so the committed seed corpus stays as it is.
set -eu
target=$1 seeds=$2 work=$3
mkdir -p "$work"
seconds=${QUILLET3_FUZZ_SECONDS:-20}
exec "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$work/" "$work" "$seeds"
