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

sys.dont_write_bytecode = True  # nothing written into the source tree
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


def timed(command, runs=5):
    """Median wall time of a whole process, and its peak memory (MiB)."""
    times, peaks = [], []
    for _ in range(runs):
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(process.pid, 0)
        times.append(time.perf_counter() - start)
        peaks.append(usage.ru_maxrss / 1024)
        if os.waitstatus_to_exitcode(status) not in (0, 2):
            sys.exit("%s failed" % command[0])
    return statistics.median(times), statistics.median(peaks)


def night_file(path, records):
    """An AAVSO Extended file of records, as a long night (or many) writes it."""
    with open(path, "w") as f:
        f.write("#TYPE=Extended\n#OBSCODE=XYZ\n#SOFTWARE=bench\n#DELIM=,\n#DATE=JD\n")
        for i in range(records):
            f.write("SS Cyg,%.5f,%.3f,0.012,%s,NO,STD,ENSEMBLE,na,na,na,na,na,X1,na\n" % (
                2461382.3 + i * 0.0007, 11.5 + 0.3 * ((i * 37) % 100) / 100, "VBRI"[i % 4]))


def fits_file(path, index):
    """A FITS file of a header and no data, as a camera writes one."""
    cards = ["SIMPLE  =                    T", "BITPIX  =                    8",
             "NAXIS   =                    0",
             "DATE-OBS= '2026-12-07T21:%02d:%02d'" % (index // 60 % 60, index % 60),
             "EXPTIME =                 60.0", "FILTER  = 'V       '",
             "OBJCTRA = '21 42 42.80'", "OBJCTDEC= '+43 35 09.9'", "END"]
    header = "".join(card.ljust(80) for card in cards)
    with open(path, "wb") as f:
        f.write((header + " " * (-len(header) % 2880)).encode("ascii"))


def night(build):
    """The night's commands beside their floors: --light-curve against reading
    the same bytes, --image-info against CFITSIO opening the same files."""
    report = os.path.join(build, "app", "quillet3-report")
    folder = tempfile.mkdtemp(prefix="quillet3-bench-night-")
    half, whole = os.path.join(folder, "half.txt"), os.path.join(folder, "night.txt")
    night_file(half, 50000)
    night_file(whole, 100000)
    read_time, _ = timed(["cat", whole])
    text_time, text_peak = timed([report, "--light-curve", whole])
    _, half_peak = timed([report, "--light-curve", half])
    plot_time, _ = timed([report, "--light-curve", whole, "--plot", os.path.join(folder, "c.png")])
    show("--light-curve, 100,000 records", text_time * 1e3, "ms", "reading the same bytes",
         read_time * 1e3)
    print("  bar 1 s: %s; memory %.1f MiB (50,000 records: %.1f MiB)" % (
        "met" if text_time <= 1 else "not met", text_peak, half_peak))
    show("  ... with --plot", plot_time * 1e3, "ms", "reading the same bytes", read_time * 1e3)
    print("  bar 3 s: %s" % ("met" if plot_time <= 3 else "not met"))
    images = []
    for i in range(1000):
        images.append(os.path.join(folder, "image-%04d.fits" % i))
        fits_file(images[-1], i)
    info_time, _ = timed([report, "--image-info", "--format", "json"] + images)
    floor_time, _ = timed([os.path.join(build, "bench", "fits_floor")] + images)
    show("--image-info, 1,000 FITS files", info_time * 1e3, "ms", "CFITSIO opening them",
         floor_time * 1e3)
    print("  bar 2 s: %s" % ("met" if info_time <= 2 else "not met"))


def series(build):
    """A night of 5,000 images by 15 apertures in AstroImageJ's layout: --series
    as text and JSON, and the series window, against reading and splitting
    the same file's fields."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                    "data"))
    import aij_table
    report = os.path.join(build, "app", "quillet3-report")
    folder = tempfile.mkdtemp(prefix="quillet3-bench-series-")
    table = os.path.join(folder, "Measurements.xls")
    with open(table, "w") as f:
        f.write(aij_table.table(5000, 15, "C4"))
    with open(os.path.join(folder, "compdata.txt"), "w") as f:
        f.write(aij_table.compdata(15))
    print("series table: %.1f MB" % (os.path.getsize(table) / 1e6))
    floor_time, _ = timed([os.path.join(build, "bench", "table_floor"), table])
    for form, bar in (("text", 0.5), ("json", 0.7)):
        elapsed, peak = timed_in(folder, [report, "--series", table, "--check", "4", "--format",
                                          form])
        show("--series, 5,000 images, " + form, elapsed * 1e3, "ms",
             "reading and splitting fields", floor_time * 1e3)
        print("  bar %.1f s: %s; memory %.1f MiB (bar 150 MiB)" % (
            bar, "met" if elapsed <= bar else "not met", peak))
    subprocess.run([os.path.join(build, "bench", "bench_ui"), "--series", table], check=True,
                   cwd=folder, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


def timed_in(folder, command):
    here = os.getcwd()
    os.chdir(folder)
    try:
        return timed(command)
    finally:
        os.chdir(here)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    print("machine: %s, %d cores" % (os.uname().machine, os.cpu_count()))
    baseline = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    startup(build, baseline)
    night(build)
    series(build)
    subprocess.run([os.path.join(build, "bench", "bench_core")], check=True)
    subprocess.run([os.path.join(build, "bench", "bench_ui")], check=True,
                   env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


if __name__ == "__main__":
    main()
