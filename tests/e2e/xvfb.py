# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""A private Xvfb display, for the end-to-end tests and the benchmarks: the
server picks a free display number itself and says which (-displayfd), so two
runs side by side never race for one."""
import os
import select
import subprocess


def start_xvfb(size="1280x800x24", timeout=20):
    """Starts Xvfb and returns (process, display number) once it accepts
    connections; raises RuntimeError when it cannot start."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                               "-nolisten", "tcp"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        with os.fdopen(read_end, "rb") as pipe:
            # The number arrives once the server is ready; the pipe ends if it fails.
            ready, _, _ = select.select([pipe], [], [], timeout)
            text = pipe.readline().decode().strip() if ready else ""
    except OSError:
        text = ""
    if not text.isdigit():
        server.kill()
        server.wait()
        raise RuntimeError("Xvfb did not start")
    return server, int(text)
