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

RUNS = 15


def start_server():
    for number in range(240, 300):
        if os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x800x24",
                                   "-nolisten", "tcp"], stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return server, number
            time.sleep(0.05)
        server.kill()
    sys.exit("no free display for Xvfb")


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
    server, number = start_server()
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
    q_time = statistics.median(results["quillet3"][0])
    b_time = statistics.median(results["bare"][0])
    q_mem = statistics.median(results["quillet3"][1]) / 1024
    b_mem = statistics.median(results["bare"][1]) / 1024
    ratio = q_time / b_time
    print("%-34s %-28s ratio %7.3f  goal %-14s %s" % (
        "start-up until mapped", "%.1f ms (bare %.1f ms)" % (q_time * 1e3, b_time * 1e3), ratio,
        "<= 1.2", "met" if ratio <= 1.2 else "MISSED"))
    print("%-34s %-28s diff  %7.2f  goal %-14s %s" % (
        "peak memory at that moment", "%.1f MiB (bare %.1f MiB)" % (q_mem, b_mem), q_mem - b_mem,
        "<= 5 MiB", "met" if q_mem - b_mem <= 5 else "MISSED"))
    # What any window with text pays: the bare window plus one Japanese label.
    l_time = statistics.median(results["label"][0])
    l_mem = statistics.median(results["label"][1]) / 1024
    print("  bare window with one label: %.1f ms, %.1f MiB; quillet3 against it: ratio %.3f, "
          "%+.2f MiB" % (l_time * 1e3, l_mem, q_time / l_time, q_mem - l_mem))
    if baseline:
        e_time = statistics.median(results["baseline"][0])
        e_mem = statistics.median(results["baseline"][1]) / 1024
        t_ratio, m_ratio = q_time / e_time, q_mem / e_mem
        print("%-34s %-28s ratio %7.3f  goal %-14s %s" % (
            "start-up against the earlier build", "%.1f ms (earlier %.1f ms)" % (
                q_time * 1e3, e_time * 1e3), t_ratio, "<= 1.05", "met" if t_ratio <= 1.05 else "MISSED"))
        print("%-34s %-28s ratio %7.3f  goal %-14s %s" % (
            "memory against the earlier build", "%.1f MiB (earlier %.1f MiB)" % (q_mem, e_mem),
            m_ratio, "<= 1.05", "met" if m_ratio <= 1.05 else "MISSED"))
        q_settled = statistics.median(results["quillet3"][2]) / 1024
        e_settled = statistics.median(results["baseline"][2]) / 1024
        s_ratio = q_settled / e_settled
        print("%-34s %-28s ratio %7.3f  goal %-14s %s" % (
            "... %.1f s later, drawn" % SETTLED, "%.1f MiB (earlier %.1f MiB)" % (
                q_settled, e_settled), s_ratio, "<= 1.05", "met" if s_ratio <= 1.05 else "MISSED"))


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
