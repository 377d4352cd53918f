#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs every benchmark: run_benchmarks.py BUILD_DIR [BASELINE_QUILLET3]

Start-up: quillet3 (in a folder with a 15-row compdata.txt) against a bare Qt
Widgets window of the same size, and against BASELINE_QUILLET3 (an earlier
build) when given, each launched as a whole process on a private Xvfb display
until its main window is mapped; medians of alternating runs, with peak memory
(VmHWM) read at that moment. Then the core and window benchmarks.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xvfb import start_xvfb  # noqa: E402 - the end-to-end tests' own launcher

RUNS = 15


def peak_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


SETTLED = 0.5  # seconds after mapping: the window drawn, its fonts loaded


def launch_until_mapped(d, command, cwd, env):
    root = d.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    d.sync()
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        while True:
            event = d.next_event()
            if event.type == X.MapNotify and event.event.id == root.id:
                elapsed = time.perf_counter() - start
                mapped = peak_kib(process.pid)
                time.sleep(SETTLED)
                return elapsed, mapped, peak_kib(process.pid)
    finally:
        process.kill()
        process.wait()


def startup(build, baseline):
    server, number = start_xvfb()
    env = dict(os.environ, DISPLAY=":%d" % number, QT_QPA_PLATFORM="xcb")
    folder = tempfile.mkdtemp(prefix="quillet3-bench-")
    with open(os.path.join(folder, "compdata.txt"), "wb") as f:
        for k in range(1, 16):
            f.write(b" %.3f , %.2f \r\n" % (-12 + 0.3 * k, 9 + 0.25 * k))
    programs = {
        "quillet3": [os.path.join(build, "app", "quillet3")],
        "bare": [os.path.join(build, "bench", "bare_window")],
        "label": [os.path.join(build, "bench", "bare_window"), "--label"],
    }
    if baseline:
        programs["baseline"] = [baseline]
    d = xdisplay.Display(":%d" % number)
    results = {name: ([], [], []) for name in programs}
    try:
        for name in programs:  # one warm-up run each: file caches
            launch_until_mapped(d, programs[name], folder, env)
        for _ in range(RUNS):
            for name, command in programs.items():
                seconds, kib, settled = launch_until_mapped(d, command, folder, env)
                results[name][0].append(seconds)
                results[name][1].append(kib)
                results[name][2].append(settled)
    finally:
        d.close()
        server.terminate()
        server.wait()
    def median(name, column, scale=1.0):
        return statistics.median(results[name][column]) * scale

    # The floor: what any window that shows text pays, a bare window of the
    # same size with one Japanese label. A bare window without text (which
    # never loads a font) is shown for scale.
    show("start-up until mapped", median("quillet3", 0, 1e3), "ms",
         "bare window with one label", median("label", 0, 1e3))
    show("peak memory at that moment", median("quillet3", 1, 1 / 1024), "MiB",
         "bare window with one label", median("label", 1, 1 / 1024))
    print("  (a bare window without text: %.1f ms, %.1f MiB)" % (
        median("bare", 0, 1e3), median("bare", 1, 1 / 1024)))
    if baseline:
        # The bar for a change: within 5 % of the build before it.
        for what, column, scale, unit in (("start-up", 0, 1e3, "ms"),
                                          ("memory when mapped", 1, 1 / 1024, "MiB"),
                                          ("memory %.1f s later, drawn" % SETTLED, 2, 1 / 1024, "MiB")):
            ratio = show(what, median("quillet3", column, scale), unit, "the earlier build",
                         median("baseline", column, scale))
            print("  within 5 %% of the earlier build: %s" % ("yes" if ratio <= 1.05 else "no"))


def show(name, figure, unit, floor_name, floor):
    """One figure beside the floor it is measured against; the ratio."""
    ratio = figure / floor
    print("%-34s %9.2f %-4s  %-28s %9.2f %-4s ratio %6.2f" % (
        name, figure, unit, floor_name, floor, unit, ratio))
    return ratio


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    print("machine: %s, %d cores" % (os.uname().machine, os.cpu_count()))
    baseline = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    startup(build, baseline)
    subprocess.run([os.path.join(build, "bench", "bench_core")], check=True)
    subprocess.run([os.path.join(build, "bench", "bench_ui")], check=True,
                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


if __name__ == "__main__":
    main()
