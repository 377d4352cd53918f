#!/usr/bin/python3
"""End-to-end tests: the real quillet3 on a private Xvfb display, driven with
xdotool as a user drives it (clicks, typing, the clipboard, the close box).

    e2e.py BINARY SCENARIO [ARTIFACT_DIR]

SCENARIO is one of: save, cancel, save-fails. The test owns its X server and
temporary folder and removes both; screenshots are kept in ARTIFACT_DIR only
when the scenario fails (always with QUILLET3_E2E_KEEP_SCREENSHOTS=1).
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

TWIPS = 15
# Control rectangles (left, top, width, height) in twips within the main window.
FRAME1 = (120, 120)
FRAME2 = (3600, 120)
FRAME3 = (3600, 3120)
CONTROLS = {
    "Text37": ((0, 0), (8040, 240, 5415, 5895)),
    "Command27": ((0, 0), (11400, 6240, 2055, 495)),
    "Command24": ((0, 0), (6240, 6240, 1695, 495)),
    "Text31": (FRAME2, (240, 720, 975, 405)),
    "Command18": (FRAME3, (2400, 360, 1215, 495)),
}

START_FILE = b" 1 , 9.75 \r\n 2 , 10.75 \r\n 3 , 12.25 \r\n 4 , 14.25 \r\n"
PASTE = (
    "Photometry of field V1\n"
    "Star   Magnitude   Error\n"
    "C1     Magnitude -11.000  0.011\n"
    "C2     Magnitude -10.000  0.012\n"
    "C3     Magnitude -9.000   0.013\n"
    "C4     Magnitude -8.000   0.014\n"
)
# The heading keyword takes C1's value and C1's own keyword yields nothing, so the
# four values fill rows 1 to 4.
SAVED_FILE = b"-11 , 9.75 \r\n-10 , 10.75 \r\n-9 , 12.25 \r\n-8 , 14.25 \r\n"


class Failure(Exception):
    pass


def wait_for(what, predicate, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


class Session:
    def __init__(self, binary, artifacts):
        self.binary = binary
        self.artifacts = artifacts
        self.shots = []
        self.workdir = tempfile.mkdtemp(prefix="quillet3-e2e-")
        self.server = None
        self.program = None
        self.clipboard = None
        self.number = None
        self.display = None

    # -- the X server -------------------------------------------------------
    def start_server(self):
        for number in range(140, 240):
            if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
                continue
            server = subprocess.Popen(
                ["Xvfb", ":%d" % number, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_for("Xvfb", lambda: os.path.exists("/tmp/.X11-unix/X%d" % number)
                         or server.poll() is not None, 10)
            except Failure:
                server.kill()
                continue
            if server.poll() is None:
                self.server, self.number = server, number
                self.env = dict(os.environ, DISPLAY=":%d" % number, QT_QPA_PLATFORM="xcb")
                self.env.pop("WAYLAND_DISPLAY", None)
                self.display = wait_for("X connection", self._connect, 10)
                return
        raise Failure("no free display number for Xvfb")

    def _connect(self):
        try:
            return xdisplay.Display(":%d" % self.number)
        except Exception:
            return None

    # -- the program ----------------------------------------------------------
    def launch(self, file_size_limit=None):
        def limits():
            if file_size_limit is not None:
                signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
                resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, resource.RLIM_INFINITY))
        self.program = subprocess.Popen([self.binary], cwd=self.workdir, env=self.env,
                                        preexec_fn=limits, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        self.main = self.window("^Quillet3 ver1.00$")
        self.geometry = self.window_position(self.main)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True, timeout=20)
        return result.stdout.strip()

    def find_windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", name)
        return [int(w) for w in out.split()] if out else []

    def window(self, name, timeout=20.0):
        return wait_for("window " + name, lambda: (self.find_windows(name) or [None])[0], timeout)

    def window_position(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=") for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def click(self, name):
        (fx, fy), (left, top, width, height) = CONTROLS[name]
        x = self.geometry[0] + (fx + left + width // 2) // TWIPS
        y = self.geometry[1] + (fy + top + height // 2) // TWIPS
        self.xdotool("mousemove", x, y)
        self.xdotool("click", 1)
        time.sleep(0.2)

    def keys(self, *keys):
        self.xdotool("key", "--delay", 30, *keys)
        time.sleep(0.2)

    def type(self, text):
        self.xdotool("type", "--delay", 30, text)
        time.sleep(0.2)

    def paste(self, text):
        self.clipboard = subprocess.Popen(["xclip", "-selection", "clipboard"],
                                          stdin=subprocess.PIPE, env=self.env)
        self.clipboard.stdin.write(text.encode())
        self.clipboard.stdin.close()
        time.sleep(0.3)
        self.keys("ctrl+v")

    def close_box(self, window):
        """What a window manager sends when the user presses the close box."""
        d = self.display
        target = d.create_resource_object("window", window)
        protocols = d.intern_atom("WM_PROTOCOLS")
        delete = d.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=target, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(event, event_mask=X.NoEventMask)
        d.flush()
        time.sleep(0.3)

    def answer_message_box(self, key):
        """The box must have the keyboard focus: the key goes where X sends it."""
        box = self.window("^Quillet3$")
        wait_for("the message box to take the focus",
                 lambda: self.focus_within(box), 10)
        self.shot("message-box")
        self.keys(key)
        wait_for("the message box to close", lambda: box not in self.find_windows("^Quillet3$"), 10)
        return box

    def focus_within(self, window):
        focus = self.display.get_input_focus().focus
        if isinstance(focus, int) or focus is None:
            return False
        w = focus
        while w and w.id != self.display.screen().root.id:
            if w.id == window:
                return True
            w = w.query_tree().parent
        return False

    def shot(self, label):
        path = os.path.join(self.workdir, "%02d-%s.png" % (len(self.shots), label))
        subprocess.run(["import", "-window", "root", path], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)
        self.shots.append(path)

    def data_file(self):
        with open(os.path.join(self.workdir, "compdata.txt"), "rb") as f:
            return f.read()

    def keep_artifacts(self):
        if not self.artifacts:
            return
        os.makedirs(self.artifacts, exist_ok=True)
        for path in self.shots:
            if os.path.exists(path):
                shutil.copy(path, self.artifacts)
        print("screenshots kept in", self.artifacts)

    def cleanup(self):
        for process in (self.program, self.clipboard):
            if process and process.poll() is None:
                process.kill()
                process.wait()
        if self.display:
            self.display.close()
        if self.server:
            self.server.terminate()
            self.server.wait()
        shutil.rmtree(self.workdir, ignore_errors=True)


def typical_use(s):
    """Steps 1 to 5 of a typical evening."""
    s.click("Text37")
    s.paste(PASTE)
    s.click("Command27")
    s.click("Text31")
    s.type("2.5")
    s.keys("Return")
    s.click("Command18")
    s.click("Command24")
    graph = s.window("^比較星グラフ$")
    s.shot("after-typical-use")
    return graph


def scenario_save(s):
    s.launch()
    s.shot("start")
    graph = typical_use(s)
    s.close_box(s.main)
    s.answer_message_box("Return")  # OK is the default button
    code = s.program.wait(timeout=20)
    if code != 0:
        raise Failure("quillet3 exited with status %d" % code)
    if s.find_windows("^比較星グラフ$") or s.find_windows("Quillet3"):
        raise Failure("a window outlived the program")
    del graph
    saved = s.data_file()
    if saved != SAVED_FILE:
        raise Failure("compdata.txt is %r, expected %r" % (saved, SAVED_FILE))


def scenario_cancel(s):
    s.launch()
    typical_use(s)
    s.close_box(s.main)
    s.answer_message_box("Escape")  # Cancel
    code = s.program.wait(timeout=20)
    if code != 0:
        raise Failure("quillet3 exited with status %d" % code)
    if s.data_file() != START_FILE:
        raise Failure("Cancel changed compdata.txt: %r" % s.data_file())


def scenario_save_fails(s):
    # The file size limit lets nothing be written: the save must fail, be reported,
    # and keep the window with its table open.
    s.launch(file_size_limit=0)
    typical_use(s)
    s.close_box(s.main)
    s.answer_message_box("Return")   # OK: save
    error_box = s.answer_message_box("Return")  # the error message
    wait_for("the error message to close", lambda: not s.find_windows("^Quillet3$"), 10)
    time.sleep(0.5)
    if s.program.poll() is not None:
        raise Failure("quillet3 ended after a failed save (status %s)" % s.program.returncode)
    if not s.find_windows("^Quillet3 ver1.00$"):
        raise Failure("the main window closed after a failed save")
    if s.data_file() != START_FILE:
        raise Failure("a failed save changed compdata.txt: %r" % s.data_file())
    del error_box
    # The cause goes away; the table still in the window is saved on the next close.
    subprocess.run(["prlimit", "--pid", str(s.program.pid), "--fsize=unlimited"], check=True)
    s.close_box(s.main)
    s.answer_message_box("Return")
    code = s.program.wait(timeout=20)
    if code != 0:
        raise Failure("quillet3 exited with status %d" % code)
    if s.data_file() != SAVED_FILE:
        raise Failure("the table kept after the failure was not saved: %r" % s.data_file())


SCENARIOS = {"save": scenario_save, "cancel": scenario_cancel, "save-fails": scenario_save_fails}


def main():
    if len(sys.argv) < 3 or sys.argv[2] not in SCENARIOS:
        print(__doc__)
        return 2
    binary, name = sys.argv[1], sys.argv[2]
    artifacts = sys.argv[3] if len(sys.argv) > 3 else None
    s = Session(os.path.abspath(binary), artifacts)
    try:
        with open(os.path.join(s.workdir, "compdata.txt"), "wb") as f:
            f.write(START_FILE)
        s.start_server()
        SCENARIOS[name](s)
        print("e2e %s: passed" % name)
        if os.environ.get("QUILLET3_E2E_KEEP_SCREENSHOTS"):
            s.keep_artifacts()
        return 0
    except Exception as error:  # noqa: BLE001 - report any failure with screenshots
        if s.server:
            s.shot("failure")
        s.keep_artifacts()
        if s.program and s.program.stderr and s.program.poll() is not None:
            sys.stderr.write(s.program.stderr.read().decode(errors="replace"))
        print("e2e %s: FAILED: %s" % (name, error))
        return 1
    finally:
        s.cleanup()


if __name__ == "__main__":
    sys.exit(main())
