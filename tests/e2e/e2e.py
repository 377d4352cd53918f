#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""End-to-end tests: the real quillet3 on a private Xvfb display under a real
window manager (openbox), driven with xdotool as a user drives it (clicks,
typing, the clipboard, the close box), its controls found and its results read
through AT-SPI as a screen reader reads them, and the graph judged by what the
screen shows.

    e2e.py BINARY SCENARIO [ARTIFACT_DIR]

SCENARIO is one of the names in SCENARIOS. The test owns its X server, window
manager, accessibility bus and temporary folder and removes them; screenshots
are kept in ARTIFACT_DIR only when the scenario fails (always with
QUILLET3_E2E_KEEP_SCREENSHOTS=1). Without the tools it needs it exits with
SKIP (77), which CTest reports as skipped.
"""
import glob
import os
import pickle
import importlib.util
import resource
import select
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xvfb import start_xvfb  # noqa: E402 - beside this file

SKIP = 77
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
DARK_BLUE = (0, 0, 128)  # the dots
LIGHT_GREY = (192, 192, 192)  # the plot's background
PLOT = 300  # the drawing surface, logical pixels square

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
    def __init__(self, binary, artifacts, screen="1280x800x24"):
        self.binary = binary
        self.screen_size = screen
        self.artifacts = artifacts
        self.shots = []
        self.workdir = tempfile.mkdtemp(prefix="quillet3-e2e-")
        self.server = None
        self.program = None
        self.clipboard = None
        self.number = None
        self.display = None
        self.helpers = []
        self.accessible = None

    # -- the X server -------------------------------------------------------
    def start_server(self):
        try:
            self.server, self.number = start_xvfb(self.screen_size)
        except RuntimeError as error:
            raise Failure(str(error))
        self.env = dict(os.environ, DISPLAY=":%d" % self.number, QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)
        self.display = wait_for("X connection", self._connect, 10)
        self._start_window_manager()
        self._start_accessibility_bus()

    def _start_window_manager(self):
        self.helpers.append(subprocess.Popen(["openbox"], env=self.env,
                                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        root = self.display.screen().root
        check = self.display.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_for("openbox", lambda: root.get_full_property(check, X.AnyPropertyType), 10)

    def _start_accessibility_bus(self):
        self.helpers.append(subprocess.Popen(
            ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=self.env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        root = self.display.screen().root
        bus = self.display.intern_atom("AT_SPI_BUS")
        wait_for("the accessibility bus", lambda: root.get_full_property(bus, X.AnyPropertyType), 10)

    def _connect(self):
        try:
            return xdisplay.Display(":%d" % self.number)
        except Exception:
            return None

    # -- the program ----------------------------------------------------------
    def launch(self, file_size_limit=None, start_message=False, ignored=(), lang=None, extra_env=None,
               title="^Quillet3 ver1.00$", launcher=False):
        """Starts the program; with start_message, start-up shows a message box
        before the main window; the signals in ignored are inherited as ignored,
        as nohup leaves SIGHUP; lang is the program's own LANG (the tools keep
        theirs); extra_env is added to its environment; title is the main
        window's; with launcher, as the desktop entry starts it."""
        # SIGXFSZ keeps its default action (subprocess restores it): the program
        # must ignore it itself, or the limit would kill it mid-save.
        def limits():
            for number in ignored:
                signal.signal(number, signal.SIG_IGN)
            if file_size_limit is not None:
                resource.setrlimit(resource.RLIMIT_FSIZE, (file_size_limit, resource.RLIM_INFINITY))
        env = dict(self.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        if lang:
            for name in ("LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANGUAGE", "FC_LANG"):
                env.pop(name, None)
            env["LANG"] = lang
        env.update(extra_env or {})
        command = [self.binary]
        if launcher:
            # The launcher finds quillet3 on the PATH; "exec" keeps the process.
            env["PATH"] = os.path.dirname(self.binary) + os.pathsep + env.get("PATH", "")
            command = ["sh", os.path.join(SOURCE, "packaging", "quillet3-desktop")]
        self.program = subprocess.Popen(command, cwd=self.workdir, env=env,
                                        preexec_fn=limits, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        if not start_message:
            self.main = self.window(title)
        self.accessible = wait_for("quillet3 on the accessibility bus", self._application, 20)

    def xdotool(self, *args):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                                capture_output=True, text=True, timeout=20)
        return result.stdout.strip()

    def find_windows(self, name):
        out = self.xdotool("search", "--onlyvisible", "--name", name)
        return [int(w) for w in out.split()] if out else []

    def window(self, name, timeout=20.0):
        return wait_for("window " + name, lambda: (self.find_windows(name) or [None])[0], timeout)

    def client_origin(self, window):
        """Where the window's client area lies on the screen. Under a reparenting
        window manager only the translation to the root says it."""
        target = self.display.create_resource_object("window", window)
        origin = target.translate_coords(self.display.screen().root, 0, 0)
        return -origin.x, -origin.y

    # -- what a screen reader sees ------------------------------------------------
    def _application(self):
        # GTK's platform theme loads GTK's own accessibility bridge too, which
        # registers an empty application under the same process: Qt's is the
        # one with windows.
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.program.pid \
                        and app.childCount > 0:
                    return app
            except Exception:  # noqa: BLE001 - an application that went away
                continue
        return None

    def control(self, name, field=False):
        """The control called name; with field, the field a caption names, not
        the caption."""
        found = wait_for("the control named " + name, lambda: pyatspi.findDescendant(
            self.accessible, lambda node: node is not None and node.name == name
            and not (field and node.getRole() == pyatspi.ROLE_LABEL)), 10)
        return found

    def heard(self, text):
        """The name of an object that contains text (a message box's message)."""
        found = wait_for("something heard as " + text, lambda: pyatspi.findDescendant(
            self.accessible, lambda node: node is not None and text in (node.name or "")), 10)
        return found.name

    def result(self, role):
        """The text a value label shows, as heard: its name is the role, a blank
        and the text."""
        label = wait_for("the result " + role, lambda: pyatspi.findDescendant(
            self.accessible, lambda node: node is not None and node.description == role), 10)
        heard = label.name
        if heard != role and not heard.startswith(role + " "):
            raise Failure("%r is heard as %r" % (role, heard))
        return heard[len(role) + 1:]

    def click(self, name, field=False):
        extents = self.control(name, field).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.xdotool("mousemove", extents.x + extents.width // 2, extents.y + extents.height // 2)
        self.xdotool("click", 1)

    def keys(self, *keys):
        self.xdotool("key", "--delay", 30, *keys)

    def type(self, text):
        self.xdotool("type", "--delay", 30, "--", text)  # a value may begin with "-"

    def copy(self, text):
        """What a measuring program's copy leaves on the clipboard."""
        if self.clipboard and self.clipboard.poll() is None:
            self.clipboard.kill()
            self.clipboard.wait()
        self.clipboard = subprocess.Popen(["xclip", "-selection", "clipboard"],
                                          stdin=subprocess.PIPE, env=self.env)
        self.clipboard.stdin.write(text.encode())
        self.clipboard.stdin.close()
        wait_for("the clipboard to hold the text", lambda: subprocess.run(
            ["xclip", "-o", "-selection", "clipboard"], env=self.env, capture_output=True,
            timeout=20).stdout == text.encode(), 10)

    def paste(self, text):
        self.copy(text)
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

    def screen(self):
        """What the screen shows: the root window's pixels in one GetImage, as
        (width, height, rgb bytes). xwd -root composes windows that have their own
        colormap (Qt gives every window one) one by one and paints a window that
        lies wholly inside another one black, so it cannot be trusted here."""
        root = self.display.screen().root
        geometry = root.get_geometry()
        image = root.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
        data = image.data
        rgb = bytearray(len(data) // 4 * 3)
        rgb[0::3] = data[2::4]
        rgb[1::3] = data[1::4]
        rgb[2::3] = data[0::4]
        return geometry.width, geometry.height, bytes(rgb)

    def xwd_screen(self):
        """The screen as `xwd -root` captures it, window by window: it shows a
        window with a private colormap that lies inside another one as black, so
        it agrees with the screen only when the windows share the screen's
        colormap. Returns (width, height, rgb bytes)."""
        xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True,
                             timeout=20, check=True).stdout
        # Raw pixels, 8 bits a channel; the size is the root window's.
        rgb = subprocess.run(["convert", "xwd:-", "-depth", "8", "rgb:-"], input=xwd,
                             capture_output=True, timeout=20, check=True).stdout
        geometry = self.display.screen().root.get_geometry()
        return geometry.width, geometry.height, rgb

    def program_windows(self):
        """The program's visible windows, found by its pid: under some locales
        the Japanese titles reach xdotool in an encoding its name search cannot
        read, and a menu has no name at all."""
        out = self.xdotool("search", "--onlyvisible", "--pid", self.program.pid)
        return {int(w) for w in out.split()} if out else set()

    def new_window(self, known):
        found = self.program_windows() - set(known)
        return min(found) if found else None

    def settled_pixels(self, window):
        """A window's client area once it is drawn: two captures in a row agree."""
        last = [None]

        def same_twice():
            now = self.window_pixels(window)
            settled = now == last[0]
            last[0] = now
            return now if settled else None
        return wait_for("the window to be drawn", same_twice, 10)

    def drag_file(self, path, target):
        """Drags the file from a window of its own (as from a file manager) and
        drops it on the accessible object target: the button goes up once the
        target has taken the drag."""
        source = subprocess.Popen([os.environ["QUILLET3_DRAG_SOURCE"], path], env=self.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.helpers.append(source)

        def said(word):
            ready, _, _ = select.select([source.stdout], [], [], 0.05)
            return ready and source.stdout.readline().strip() == word
        wait_for("the drag source", lambda: said("ready"), 10)
        window = self.window("^drag-source$")
        self.settled_pixels(window)
        left, top = self.client_origin(window)
        end = target.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.xdotool("mousemove", left + 40, top + 40)
        self.xdotool("mousedown", 1)
        # The drag begins on the press; the motion brings it over the target.
        steps = 12
        for i in range(1, steps + 1):
            x = left + 40 + (end.x + end.width // 2 - left - 40) * i // steps
            y = top + 40 + (end.y + end.height // 2 - top - 40) * i // steps
            self.xdotool("mousemove", x, y)
        wait_for("the target to take the drag", lambda: said("accepted"), 10)
        self.xdotool("mouseup", 1)
        # The source stays: the program fetches the file's name from it as it takes the drop.
        wait_for("the drop", lambda: said("dropped"), 10)

    def still_running(self):
        """The program goes on taking input: what is typed into Text31 is heard."""
        box = self.control("変光星の測光値")
        self.click("変光星の測光値")
        self.keys("ctrl+a")
        self.type("42")
        wait_for("quillet3 to take the typing", lambda: self.program.poll() is None
                 and box.queryText().getText(0, -1) == "42", 10)

    def window_pixels(self, window):
        """A window's client area as the X server holds it."""
        target = self.display.create_resource_object("window", window)
        geometry = target.get_geometry()
        image = target.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xFFFFFFFF)
        return geometry.width, geometry.height, image.data

    def shot(self, label):
        path = os.path.join(self.workdir, "%02d-%s.png" % (len(self.shots), label))
        width, height, rgb = self.screen()
        subprocess.run(["convert", "ppm:-", path], input=b"P6 %d %d 255\n" % (width, height) + rgb,
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
        for process in [self.program, self.clipboard] + self.helpers[::-1]:
            if process and process.poll() is None:
                process.kill()
                process.wait()
        if self.display:
            try:
                self.display.close()
            except Exception:  # noqa: BLE001 - the server may be gone already
                pass
        if self.server:
            self.server.terminate()
            self.server.wait()
        shutil.rmtree(self.workdir, ignore_errors=True)


def write_fits(path, cards):
    """A FITS file with a header of the cards and no data, as a camera writes one."""
    lines = ["SIMPLE  =                    T", "BITPIX  =                    8",
             "NAXIS   =                    0"]
    lines += ["%-8s= %20s" % (key, value) if not value.startswith("'") else "%-8s= %s" % (key, value)
              for key, value in cards.items()]
    lines.append("END")
    header = "".join(line.ljust(80) for line in lines)
    header += " " * (-len(header) % 2880)
    with open(path, "wb") as f:
        f.write(header.encode("ascii"))
    return path


def write_bad_tiles(path):
    """A tile-compressed image as a .fz holds one, whose first tile size is 0:
    CFITSIO would divide by it."""
    def header(lines):
        text = "".join(line.ljust(80) for line in lines + ["END"])
        return (text + " " * (-len(text) % 2880)).encode("ascii")
    primary = header(["SIMPLE  =                    T", "BITPIX  =                    8",
                      "NAXIS   =                    0", "EXTEND  =                    T"])
    extension = header([
        "XTENSION= 'BINTABLE'", "BITPIX  =                    8", "NAXIS   =                    2",
        "NAXIS1  =                    8", "NAXIS2  =                    8",
        "PCOUNT  =                    0", "GCOUNT  =                    1",
        "TFIELDS =                    1", "TTYPE1  = 'COMPRESSED_DATA'", "TFORM1  = '1PB(0)  '",
        "ZIMAGE  =                    T", "ZBITPIX =                   16",
        "ZNAXIS  =                    2", "ZNAXIS1 =                    8",
        "ZNAXIS2 =                    8", "ZTILE1  =                    0",
        "ZTILE2  =                    1", "ZCMPTYPE= 'RICE_1  '",
        "DATE-OBS= '2026-12-07T21:34:12'", "EXPTIME =                 60.0"])
    with open(path, "wb") as f:
        f.write(primary + extension + b"\0" * 2880)
    return path


def typical_use(s):
    """Steps 1 to 5 of a typical evening."""
    s.click("測光結果の貼り付け欄")
    s.paste(PASTE)
    s.click("比較星測光値")
    s.click("変光星の測光値")
    s.type("2.5")
    s.keys("Return")
    s.click("平均計算")
    s.click("比較星グラフ")
    graph = s.window("^比較星グラフ$")
    s.shot("after-typical-use")
    return graph


def check_results(s):
    """The results of the typical evening, read as a screen reader reads them."""
    heard = [s.result(role) for role in
             ("近似直線の傾き", "近似直線の定数", "変光星の等級", "測光ｴﾗｰ", "平均値", "平均の測光ｴﾗｰ")]
    expected = ["傾き = 1.5", "定数 = 26", "29.75", "0.25", "29.75", "0.00"]
    if heard != expected:
        raise Failure("a screen reader hears %r, expected %r" % (heard, expected))


def dots_on_screen(s, graph, capture):
    """The plot in a capture: (dark blue pixels, light grey pixels, other)."""
    left, top = s.client_origin(graph)
    width, _, rgb = capture
    counts = {DARK_BLUE: 0, LIGHT_GREY: 0}
    other = 0
    for y in range(top, top + PLOT):
        row = (y * width + left) * 3
        for x in range(PLOT):
            pixel = tuple(rgb[row + 3 * x: row + 3 * x + 3])
            if pixel in counts:
                counts[pixel] += 1
            else:
                other += 1
    return counts[DARK_BLUE], counts[LIGHT_GREY], other


def check_graph(s, graph):
    """At first show the plot is on the screen: four 5 x 5 dots on light grey,
    and `xwd -root` sees it too."""
    for name, capture in (("the screen", s.screen()), ("xwd -root", s.xwd_screen())):
        blue, grey, other = dots_on_screen(s, graph, capture)
        if (blue, grey, other) != (4 * 25, PLOT * PLOT - 4 * 25, 0):
            raise Failure("the graph in %s has %d dark blue, %d light grey and %d other "
                          "pixels" % (name, blue, grey, other))
    # The read-out under the pointer: the middle of the plot is the middle of
    # both widened spans.
    left, top = s.client_origin(graph)
    s.xdotool("mousemove", left + PLOT // 2, top + PLOT // 2)
    readout = wait_for("the read-out", lambda: s.result("カーソル位置") or None, 10)
    if readout != "X=-9.50 / Y=12.00":
        raise Failure("the read-out is heard as %r" % readout)


def scenario_save(s):
    s.launch()
    s.shot("start")
    # The design places the client area (not the frame) at 1080, 1710 twips.
    if s.client_origin(s.main) != (72, 114):
        raise Failure("the main window's client area is at %r" % (s.client_origin(s.main),))
    graph = typical_use(s)
    check_graph(s, graph)
    check_results(s)
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
    s.control("キャンセル")  # Qt's own button, in Japanese
    s.answer_message_box("Escape")  # Cancel
    code = s.program.wait(timeout=20)
    if code != 0:
        raise Failure("quillet3 exited with status %d" % code)
    if s.data_file() != START_FILE:
        raise Failure("Cancel changed compdata.txt: %r" % s.data_file())
    same_pixels_in_every_locale(s)


LOCALES = ("ja_JP.UTF-8", "C", "en_US.UTF-8")


def scenario_locale_capture(s):
    """Part of the cancel scenario, run as a process of its own (with its own
    X server and accessibility bus): the main window, the graph window and the
    save question as drawn under LANG=$QUILLET3_E2E_LANG, written to
    $QUILLET3_E2E_CAPTURE."""
    s.launch(lang=os.environ["QUILLET3_E2E_LANG"])

    s.click("比較星グラフ")
    graph = wait_for("the graph window", lambda: s.new_window({s.main}))
    pixels = [s.settled_pixels(s.main), s.settled_pixels(graph)]
    s.close_box(s.main)
    box = s.window("^Quillet3$")
    wait_for("the message box to take the focus", lambda: s.focus_within(box), 10)
    pixels.append(s.settled_pixels(box))
    s.keys("Escape")
    s.program.wait(timeout=20)
    with open(os.environ["QUILLET3_E2E_CAPTURE"], "wb") as f:
        pickle.dump(pixels, f)


def windows_in_locale(s, lang):
    """The captures of scenario_locale_capture under LANG=lang: each locale on
    an X server of its own (a reused server may hand a new window the old one's
    id before it is drawn)."""
    capture = os.path.join(s.workdir, "capture-" + lang)
    env = dict(os.environ, QUILLET3_E2E_LANG=lang, QUILLET3_E2E_CAPTURE=capture)
    result = subprocess.run([sys.executable, os.path.abspath(__file__), s.binary, "locale-capture"],
                            env=env, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise Failure("capturing under LANG=%s: %s" % (lang, result.stdout + result.stderr))
    with open(capture, "rb") as f:
        return pickle.load(f)


def same_pixels_in_every_locale(s):
    """Japanese glyph forms whatever the locale: the windows render pixel for
    pixel as under ja_JP.UTF-8."""
    # One accessibility bus launcher at a time owns the session bus's name.
    s.cleanup()
    s.server, s.display, s.helpers, s.workdir = None, None, [], tempfile.mkdtemp(prefix="quillet3-e2e-")
    captures = {lang: windows_in_locale(s, lang) for lang in LOCALES}
    reference = captures[LOCALES[0]]
    for lang in LOCALES[1:]:
        for what, ours, theirs in zip(("main window", "graph window", "message box"),
                                      captures[lang], reference):
            if ours[:2] != theirs[:2]:
                raise Failure("under LANG=%s the %s is %dx%d, under %s %dx%d"
                              % (lang, what, ours[0], ours[1], LOCALES[0], theirs[0], theirs[1]))
            differing = sum(1 for i in range(0, len(ours[2]), 4)
                            if ours[2][i:i + 3] != theirs[2][i:i + 3])
            if differing:
                raise Failure("under LANG=%s the %s differs from %s in %d pixels"
                              % (lang, what, LOCALES[0], differing))


def scenario_save_fails(s):
    # The file size limit lets nothing be written: the save must fail, be reported,
    # and keep the window with its table open.
    s.launch(file_size_limit=0)
    typical_use(s)
    s.close_box(s.main)
    s.answer_message_box("Return")   # OK: save
    error_box = s.answer_message_box("Escape")  # the error; Cancel: no other file
    wait_for("the error message to close", lambda: not s.find_windows("^Quillet3$"), 10)
    s.still_running()
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


def edit_first_row(s, text):
    s.click("比較星 1 測光値")
    s.keys("ctrl+a")
    s.type(text)


def write_start_file(s):
    with open(os.path.join(s.workdir, "compdata.txt"), "wb") as f:
        f.write(START_FILE)


def scenario_signals(s):
    """Ending the program from outside is a press on the close box: the save
    question, OK saving and Cancel quitting without saving."""
    edited = START_FILE.replace(b" 1 , 9.75 ", b" 5 , 9.75 ")
    for number, key, expected in ((signal.SIGTERM, "Return", edited),
                                  (signal.SIGHUP, "Escape", START_FILE),
                                  (signal.SIGINT, "Return", edited)):
        write_start_file(s)
        s.launch()
        edit_first_row(s, "5")
        s.program.send_signal(number)
        s.answer_message_box(key)
        code = s.program.wait(timeout=20)
        if code != 0:
            raise Failure("after %s quillet3 exited with status %d" % (number.name, code))
        if s.data_file() != expected:
            raise Failure("after %s compdata.txt is %r" % (number.name, s.data_file()))
    # Under nohup SIGHUP stays ignored: no question, the program goes on.
    write_start_file(s)
    s.launch(ignored=(signal.SIGHUP,))
    edit_first_row(s, "5")
    s.program.send_signal(signal.SIGHUP)
    s.still_running()
    if s.program.poll() is not None or s.find_windows("^Quillet3$"):
        raise Failure("SIGHUP inherited as ignored was acted on")
    s.close_box(s.main)
    s.answer_message_box("Return")
    if s.program.wait(timeout=20) != 0 or s.data_file() != edited:
        raise Failure("after nohup's SIGHUP the close did not save: %r" % s.data_file())


def scenario_display_lost(s):
    """With the display gone there is nobody to ask: one line says the edits are
    lost, and the exit status says it failed."""
    s.launch()
    edit_first_row(s, "5")
    s.server.kill()
    s.server.wait()
    code = s.program.wait(timeout=20)
    stderr = s.program.stderr.read().decode(errors="replace")
    lines = [line for line in stderr.splitlines() if line.startswith("quillet3:")]
    if code == 0 or len(lines) != 1 or "display was lost" not in lines[0]:
        raise Failure("display lost: status %d, stderr %r" % (code, stderr))
    s.server = None
    s.display = None


def scenario_link_to_device(s):
    """compdata.txt leading to a device is never opened nor replaced; the window
    says why and stays open with its table."""
    node = os.path.join(s.workdir, "device")
    try:
        os.mknod(node, 0o666 | stat.S_IFCHR, os.makedev(1, 3))  # a /dev/null of our own
        is_kind = stat.S_ISCHR
    except PermissionError:
        os.mkfifo(node)  # without the right to make devices: a pipe
        is_kind = stat.S_ISFIFO
    os.remove(os.path.join(s.workdir, "compdata.txt"))
    os.symlink(node, os.path.join(s.workdir, "compdata.txt"))
    s.launch(start_message=True)
    s.heard("通常のファイルではありません")
    s.answer_message_box("Return")
    s.main = s.window("^Quillet3 ver1.00$")
    edit_first_row(s, "5")
    s.close_box(s.main)
    s.answer_message_box("Return")  # OK: save
    s.heard("比較星データを保存できませんでした")
    s.answer_message_box("Escape")  # Cancel: not to another file either
    s.still_running()
    if s.program.poll() is not None or not s.find_windows("^Quillet3 ver1.00$"):
        raise Failure("the window closed after a save it refused")
    if not is_kind(os.stat(node).st_mode) or not os.path.islink(os.path.join(s.workdir, "compdata.txt")):
        raise Failure("the device or the link was replaced")
    s.close_box(s.main)
    s.answer_message_box("Escape")  # Cancel: leave without saving
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


def scenario_diagnosis(s):
    """Right-click -> 比較星の診断…: the diagnosis says what quillet3-report says
    for the same table; its shortcut works from inside a text box; Enter in
    Text31 still measures."""
    s.launch()
    s.click("変光星の測光値")
    s.type("2.5")
    extents = s.control("比較星の近似結果").queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    s.xdotool("mousemove", extents.x + 10, extents.y + extents.height // 2)
    known = s.program_windows()
    s.xdotool("click", 3)
    wait_for("the context menu", lambda: s.new_window(known))
    s.shot("context-menu")
    s.keys("Down", "Return")
    s.window("^比較星の診断$")
    report = os.path.join(os.path.dirname(s.binary), "quillet3-report")
    expected = subprocess.run([report, "2.5"], cwd=s.workdir, capture_output=True, text=True,
                              timeout=60).stdout

    def heard_report():
        text = s.control("診断結果").queryText()
        return text.getText(0, text.characterCount)
    wait_for("the diagnosis to show the report", lambda: heard_report() == expected, 10)
    s.shot("diagnosis")
    # From inside a text box the shortcut recomputes with what the box holds now.
    s.click("変光星の測光値")
    s.keys("ctrl+a")
    s.type("3")
    s.keys("ctrl+shift+d")
    wait_for("the diagnosis of Text31's new value",
             lambda: "変光星 3: 等級 12.500" in heard_report(), 10)
    s.click("変光星の測光値")
    s.keys("Return")
    magnitude = wait_for("the Measure", lambda: s.result("変光星の等級") == "12.50", 10)
    del magnitude

    # The report lines follow the main window: a new value and Enter there
    # change the VSNET line at once to what quillet3-report writes for it.
    open_report_lines(s)

    def vsnet_line():
        return field_text(s, "VSNET")

    def expected_line(value):
        return subprocess.run([report, "--vsnet", "--star", "SS Cyg", "--jd", "2461382.5",
                               "--filter", "V", "--obscode", "XYZ", value], cwd=s.workdir,
                              capture_output=True, text=True, timeout=60).stdout.strip()
    wait_for("the VSNET line for 3", lambda: vsnet_line() == expected_line("3"), 10)
    s.click("変光星の測光値")
    s.keys("ctrl+a")
    s.type("3.5")
    s.keys("Return")
    wait_for("the VSNET line to follow", lambda: vsnet_line() == expected_line("3.5"), 10)
    wait_for("the diagnosis to follow", lambda: "変光星 3.5: 等級" in heard_report(), 10)

    # An image dragged in from a file manager gives its mid-exposure time. The
    # main window was raised over the report lines (they are windows of their
    # own): they come to the front first, as a user would bring them.
    s.xdotool("windowactivate", "--sync", s.window("^報告行$"))
    image = write_fits(os.path.join(s.workdir, "ss-cyg.fits"), {
        "DATE-OBS": "'2026-12-07T21:34:12'", "EXPTIME": "60.0", "FILTER": "'V       '",
        "OBJECT": "'SS Cyg  '"})
    s.drag_file(image, s.control("JD", field=True))

    def jd_field():
        text = s.control("JD", field=True).queryText()
        return text.getText(0, text.characterCount)
    wait_for("the image's time", lambda: jd_field() == "2461382.39910", 10)
    s.heard("ss-cyg.fits: DATE-OBS + EXPTIME/2")
    s.shot("report-lines")
    # Escape closes each window.
    for title in ("^報告行$", "^比較星の診断$"):
        window = s.window(title)
        s.xdotool("windowactivate", "--sync", window)
        s.keys("Escape")
        wait_for("Escape to close " + title, lambda: not s.find_windows(title), 10)
    s.close_box(s.main)
    s.answer_message_box("Escape")
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


def open_report_lines(s):
    """Ctrl+Shift+R, and the report lines filled for SS Cyg by XYZ at JD 2461382.5."""
    s.keys("ctrl+shift+r")
    s.window("^報告行$")
    for name, text in (("星名", "SS Cyg"), ("観測者コード", "XYZ"), ("JD", "2461382.5")):
        s.click(name, field=True)
        s.keys("ctrl+a")
        s.type(text)


def open_file(s, title, path):
    """ファイルを開く… and the path typed into the file dialog titled title."""
    s.click("ファイルを開く…")
    dialog = s.window(title)
    s.xdotool("windowactivate", "--sync", dialog)
    s.keys("ctrl+a")
    s.type(path)
    s.keys("Return")


def scenario_hostile(s):
    """What the fourth fault round broke, from the windows: an image whose tile
    size of 0 ended the program through CFITSIO, and a light curve of
    magnitudes near 1e16 whose axes never ended. The main window lives on with
    its table, and takes typing."""
    s.launch()
    table = table_rows(s, 4)
    bad = write_bad_tiles(os.path.join(s.workdir, "bad-tiles.fz"))
    s.drag_file(bad, s.control("比較星 1 測光値"))
    s.window("^報告行$")
    s.heard("圧縮画像のキーワードが正しくありません（ZTILE1 = 0）")
    s.shot("bad-tiles")
    night = os.path.join(s.workdir, "hostile.txt")
    with open(night, "w") as f:
        f.write("#TYPE=Extended\n#OBSCODE=XYZ\n#DELIM=,\n#DATE=JD\n"
                "SS Cyg,2461382.5,1e16,0.01,V\nSS Cyg,1e300,11.2,0.01,V\n"
                "SS Cyg,2461382.6,11.3,1e300,V\nSS Cyg,2461382.7,11.4,0.02,V\n")
    s.keys("ctrl+shift+l")
    s.window("^光度曲線$")
    open_file(s, "光度曲線にする AAVSO ファイル", night)
    s.heard("SS Cyg V: 1 点")
    s.heard("等級が AAVSO の MAG 欄に入る範囲の外です: 1e16")
    s.shot("hostile-light-curve")
    s.xdotool("windowactivate", "--sync", s.main)
    s.still_running()
    if table_rows(s, 4) != table:
        raise Failure("the table changed: %r" % table_rows(s, 4))
    s.close_box(s.main)
    s.answer_message_box("Escape")
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


def measured_text(values):
    """A measuring program's output for one image."""
    return "".join("C%d  Magnitude %.3f  0.010\n" % (i + 1, v) for i, v in enumerate(values))


def night_image(path, start):
    return write_fits(path, {"DATE-OBS": "'%s'" % start, "EXPTIME": "60.0",
                             "FILTER": "'V       '"})


def overlaps(a, b):
    return a.x < b.x + b.width and b.x < a.x + a.width and a.y < b.y + b.height \
        and b.y < a.y + a.height


def scenario_night(s):
    """A night of two star fields on a 1366 x 768 screen: the report lines
    open beside the main window without covering its paste box or import
    button; each image is Ctrl+Shift+V (the measuring program's text pasted
    and imported), the variable's value and Enter, and the image (dragged in,
    or Ctrl+Shift+O for the next one): its record goes into the one night's
    file, whatever the field."""
    data = os.path.join(s.workdir, "data")
    images = os.path.join(s.workdir, "images")
    for name in ("SS Cyg", "RZ Cas"):
        os.makedirs(os.path.join(data, name))
        with open(os.path.join(data, name, "compdata.txt"), "wb") as f:
            f.write(b"-11 , 9.75 \r\n-10 , 10.75 \r\n-9 , 11.75 \r\n-8 , 12.75 \r\n")
    os.makedirs(images)
    night_image(os.path.join(images, "ss-0001.fits"), "2026-12-07T21:34:12")
    night_image(os.path.join(images, "ss-0002.fits"), "2026-12-07T21:44:12")
    night_image(os.path.join(images, "rz-0001.fits"), "2026-12-07T22:04:12")
    env = {"QUILLET3_HOME": data, "XDG_CONFIG_HOME": os.path.join(s.workdir, "config")}
    s.launch(extra_env=env, launcher=True)
    switch_field(s, "^Quillet3 ver1.00 - SS Cyg$", listed="SS Cyg", save=None)
    s.keys("ctrl+shift+r")
    dialog = s.window("^報告行$")
    s.settled_pixels(dialog)
    s.shot("night-beside")
    placed = s.control("報告する等級").queryComponent()
    del placed
    extents = {name: s.control(name).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
               for name in ("測光結果の貼り付け欄", "比較星測光値")}
    left, top = s.client_origin(dialog)
    target = s.display.create_resource_object("window", dialog).get_geometry()

    class Box:
        def __init__(self, x, y, width, height):
            self.x, self.y, self.width, self.height = x, y, width, height
    frame = Box(left, top, target.width, target.height)
    for name, box in extents.items():
        if overlaps(frame, box):
            raise Failure("the report lines cover %s: %r over %r" % (
                name, (frame.x, frame.y, frame.width, frame.height),
                (box.x, box.y, box.width, box.height)))
    s.click("観測者コード", field=True)
    s.type("XYZ")
    s.click("画像を読んだら記録を追加")

    def image(value, values, load):
        s.copy(measured_text(values))
        # From the report lines: the key works in every window.
        s.xdotool("windowactivate", "--sync", s.window("^報告行$"))
        s.keys("ctrl+shift+v")
        wait_for("the import", lambda: table_rows(s, 1)[0].startswith("%.3f" % values[0]), 10)
        s.type(value)
        s.keys("Return")
        load()
    image("-9.5", [-11, -10, -9, -8],
          lambda: s.drag_file(os.path.join(images, "ss-0001.fits"), s.control("JD", field=True)))
    s.heard("に追加しました（1 件目）")
    image("-9.25", [-11.1, -10.1, -9.1, -8.1], lambda: s.keys("ctrl+shift+o"))
    s.heard("に追加しました（2 件目）")
    s.shot("night-ss-cyg")
    switch_field(s, "^Quillet3 ver1.00 - RZ Cas$", listed="RZ Cas", save=False)
    image("-10.5", [-11, -10, -9, -8],
          lambda: s.drag_file(os.path.join(images, "rz-0001.fits"), s.control("JD", field=True)))
    s.heard("に追加しました（3 件目）")
    s.shot("night-rz-cas")
    files = glob.glob(os.path.join(data, "aavso-*.txt"))
    if len(files) != 1:
        raise Failure("the night's files are %r" % files)
    with open(files[0]) as f:
        lines = f.read().splitlines()
    records = [line for line in lines if not line.startswith("#")]
    expected = [("SS Cyg", "2461382.39910", "11.250"), ("SS Cyg", "2461382.40604", "11.600"),
                ("RZ Cas", "2461382.41993", "10.250")]
    if [tuple(r.split(",")[0:3]) for r in records] != expected or \
            sum(line.startswith("#TYPE") for line in lines) != 1:
        raise Failure("the night's file holds %r" % lines)
    s.close_box(s.main)
    s.answer_message_box("Escape")
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


def field_text(s, name):
    text = s.control(name, field=True).queryText()
    return text.getText(0, text.characterCount)


def scenario_chart(s):
    """A new star field filled from a chart: Ctrl+Shift+C, VSP's answer
    opened from a file, 表に入れる; the measuring program's values pasted;
    the report lines carry the chart's ID as quillet3-report writes them;
    a row whose star is not yet measured is said, and saved with its
    catalogue magnitude when the window closes with OK."""
    data = os.path.join(s.workdir, "data")
    env = {"QUILLET3_HOME": data, "XDG_CONFIG_HOME": os.path.join(s.workdir, "config")}
    answer = os.path.join(s.workdir, "ss-cyg-chart.json")
    shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                             "vsp-ss-cyg.json"), answer)
    s.launch(extra_env=env, launcher=True)
    switch_field(s, "^Quillet3 ver1.00 - SS Cyg$", new="SS Cyg", save=None)
    s.keys("ctrl+shift+c")
    chart = s.window("^チャートの比較星$")
    open_file(s, "VSP のチャート", answer)
    s.heard("チャート X28092AFQ　SS Cyg（000-BCM-129）　バンド V")
    s.heard("1 個の星に V の等級がありません（入れられません）")
    s.settled_pixels(chart)
    s.shot("chart-dialog")
    s.click("表に入れる")
    s.heard("行 1 ～ 5 にチャートの星を入れました（測光値はまだ空です）")
    catalogue = ["8.559", "9.212", "10.069", "10.904", "11.383"]
    if table_rows(s, 6) != [v for c in catalogue for v in ("", c)] + ["", ""]:
        raise Failure("the table after the chart is heard as %r" % table_rows(s, 6))

    s.copy(measured_text([-11.43, -10.80, -9.92, -9.10, -8.61]))
    s.xdotool("windowactivate", "--sync", chart)
    s.keys("ctrl+shift+v")
    wait_for("the import", lambda: table_rows(s, 1)[0].startswith("-11.43"), 10)
    s.type("-9.5")
    s.keys("Return")
    open_report_lines(s)
    # As quillet3-report writes them for these values, the chart's ID in CHART.
    rows = table_rows(s, 5)
    for name, line in (("VSNET", "CYGSS 20261208.000 10.497V XYZ"),
                       ("AAVSO", "SS Cyg,2461382.5,10.497,0.013,V,NO,STD,ENSEMBLE,na,na,na,na,na,"
                                 "X28092AFQ,|SLOPE=0.999905|N=5|S=0.011792|VMAGINS=-9.5")):
        wait_for("the %s line" % name, lambda: field_text(s, name) == line, 10)
    s.shot("chart-report-lines")

    # Row 5's star not measured: said, with its label, and saved as it stands.
    s.xdotool("windowactivate", "--sync", s.main)
    s.click("比較星 5 測光値")
    s.keys("ctrl+a", "BackSpace")
    s.xdotool("windowactivate", "--sync", s.window("^報告行$"))
    s.heard("行 5（114） はまだ測光していません（測光値 0 として計算されます）")
    s.xdotool("windowactivate", "--sync", s.main)
    s.close_box(s.main)
    s.answer_message_box("Return")  # OK: save
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)
    with open(os.path.join(data, "SS Cyg", "compdata.txt"), "rb") as f:
        saved = f.read()
    wanted = "".join("%s , %s \r\n" % (float(rows[i]), rows[i + 1]) for i in range(0, 8, 2)) \
        + ", 11.383 \r\n"
    if saved != wanted.encode():
        raise Failure("SS Cyg/compdata.txt is %r, expected %r" % (saved, wanted))
    if not os.path.exists(os.path.join(data, "SS Cyg", "chart.json")):
        raise Failure("the field did not keep its chart")


def scenario_series(s):
    """The night at once: AstroImageJ's Measurements table dropped onto the
    main window opens 時系列, every image calibrated; its records go into the
    night's file in one press, and a second press asks once about the
    records already there."""
    data = os.path.join(s.workdir, "data")
    os.makedirs(os.path.join(data, "SS Cyg"))
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    import aij_table
    with open(os.path.join(data, "SS Cyg", "compdata.txt"), "w") as f:
        f.write(aij_table.compdata(6))
    measurements = os.path.join(s.workdir, "Measurements.xls")
    with open(measurements, "w") as f:
        f.write(aij_table.table(120, 6, "C4"))
    env = {"QUILLET3_HOME": data, "XDG_CONFIG_HOME": os.path.join(s.workdir, "config")}
    s.launch(extra_env=env, launcher=True)
    switch_field(s, "^Quillet3 ver1.00 - SS Cyg$", listed="SS Cyg", save=None)
    s.drag_file(measurements, s.control("比較星 1 測光値"))
    window = s.window("^時系列$")
    s.heard("Measurements.xls: AstroImageJ の表、画像 120 枚、時刻 JD_UTC")
    s.heard("使った画像 120 枚、使わなかった画像 0 枚")
    s.xdotool("windowactivate", "--sync", window)
    s.click("観測者コード", field=True)
    s.type("XYZ")
    s.settled_pixels(window)
    s.shot("series")
    s.click("AAVSO ファイルに追加（120 件）")
    s.heard("件追加しました（ファイルの記録 120 件）")
    s.click("AAVSO ファイルに追加（120 件）")
    s.heard("120 件の記録は")
    s.answer_message_box("Return")  # its first button: the others only, none here
    s.heard("0 件追加しました（ファイルの記録 120 件）")
    files = glob.glob(os.path.join(data, "aavso-*.txt"))
    with open(files[0]) as f:
        lines = f.read().splitlines()
    records = [line for line in lines if not line.startswith("#")]
    if len(files) != 1 or len(records) != 120 or \
            sum(line.startswith("#TYPE") for line in lines) != 1 or \
            not records[0].startswith("SS Cyg,2461382.35000,"):
        raise Failure("the night's file holds %r" % lines[:12])
    s.close_box(s.main)
    s.answer_message_box("Escape")
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


def table_rows(s, rows):
    """The first rows of the table as a screen reader hears them."""
    heard = []
    for k in range(1, rows + 1):
        for column in ("測光値", "ｶﾀﾛｸﾞ値"):
            text = s.control("比較星 %d %s" % (k, column)).queryText()
            heard.append(text.getText(0, text.characterCount))
    return heard


def type_table(s, values):
    for k, (measured, catalogue) in enumerate(values, 1):
        for column, text in (("測光値", measured), ("ｶﾀﾛｸﾞ値", catalogue)):
            s.click("比較星 %d %s" % (k, column))
            s.keys("ctrl+a")
            s.type(text)


def switch_field(s, title, new=None, listed=None, save=True):
    """Through the context menu: 星野を切り替え…, a new field by name or one
    from the list, and the save question when the table changed."""
    known = s.program_windows()
    extents = s.control("比較星の近似結果").queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    s.xdotool("mousemove", extents.x + 10, extents.y + extents.height // 2)
    s.xdotool("click", 3)
    wait_for("the context menu", lambda: s.new_window(known))
    s.keys("Up", "Return")  # its last entry, 星野を切り替え…
    s.window("^星野$")
    if new:
        s.click("新しい星野", field=True)
        s.type(new)
    else:
        item = wait_for("the field " + listed, lambda: pyatspi.findDescendant(
            s.accessible, lambda node: node is not None and (node.name or "").startswith(listed)), 10)
        extents = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        s.xdotool("mousemove", extents.x + 20, extents.y + extents.height // 2)
        s.xdotool("click", 1)
    s.click("切り替え")
    if save is not None:
        s.heard("比較星データを保存してから切り替えますか")
        s.click("保存して切り替え" if save else "保存せずに切り替え")
    s.main = s.window(title)


def scenario_fields(s):
    """A desktop user's night of two star fields: each made through the
    context menu, a table typed into each, back and forth with
    保存して切り替え, closed with OK; the launcher opens the field used last."""
    data = os.path.join(s.workdir, "data")
    env = {"QUILLET3_HOME": data, "XDG_CONFIG_HOME": os.path.join(s.workdir, "config")}
    s.launch(extra_env=env, launcher=True)
    ss_cyg = [("-10.5", "11.25"), ("-9.5", "12.5")]
    rz_cas = [("-8", "6.25"), ("-7", "7.5"), ("-6", "8.75")]
    switch_field(s, "^Quillet3 ver1.00 - SS Cyg$", new="SS Cyg", save=None)
    type_table(s, ss_cyg)
    switch_field(s, "^Quillet3 ver1.00 - RZ Cas$", new="RZ Cas")
    type_table(s, rz_cas)
    switch_field(s, "^Quillet3 ver1.00 - SS Cyg$", listed="SS Cyg")
    s.shot("fields")
    if table_rows(s, 2) != [v for row in ss_cyg for v in row]:
        raise Failure("SS Cyg's table is heard as %r" % table_rows(s, 2))
    switch_field(s, "^Quillet3 ver1.00 - RZ Cas$", listed="RZ Cas", save=None)
    if table_rows(s, 3) != [v for row in rz_cas for v in row]:
        raise Failure("RZ Cas's table is heard as %r" % table_rows(s, 3))
    s.close_box(s.main)
    s.answer_message_box("Return")  # OK: save
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)
    # The launcher again: the field used last, its table as typed.
    s.launch(extra_env=env, launcher=True, title="^Quillet3 ver1.00 - RZ Cas$")
    if table_rows(s, 3) != [v for row in rz_cas for v in row]:
        raise Failure("after a new start RZ Cas's table is heard as %r" % table_rows(s, 3))
    s.close_box(s.main)
    s.answer_message_box("Escape")
    s.program.wait(timeout=20)
    for name, rows in (("SS Cyg", ss_cyg), ("RZ Cas", rz_cas)):
        with open(os.path.join(data, name, "compdata.txt"), "rb") as f:
            saved = f.read()
        expected = b"".join(b"%s , %s \r\n" % ((m if m.startswith("-") else " " + m).encode(),
                                                c.encode()) for m, c in rows)
        if saved != expected:
            raise Failure("%s/compdata.txt is %r, expected %r" % (name, saved, expected))


def text_contrast(rgb, width, box):
    """The contrast (WCAG) of the text in box (x, y, w, h) of a capture against
    what it is drawn on: the commonest colour is the background, the text the
    colour farthest from it."""
    x0, y0, w, h = box
    counts = {}
    for y in range(y0, y0 + h):
        row = (y * width + x0) * 3
        for i in range(w):
            pixel = rgb[row + 3 * i: row + 3 * i + 3]
            counts[pixel] = counts.get(pixel, 0) + 1

    def luminance(pixel):
        def channel(v):
            v /= 255
            return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
        return 0.2126 * channel(pixel[0]) + 0.7152 * channel(pixel[1]) + 0.0722 * channel(pixel[2])
    background = max(counts, key=counts.get)
    lb = luminance(background)
    ratio = max((max(luminance(p), lb) + 0.05) / (min(luminance(p), lb) + 0.05) for p in counts)
    return ratio


def scenario_dark(s):
    """Under GNOME's dark scheme (Qt's GTK platform theme) every caption of the
    main window stays readable on its grey: a contrast of at least 4.5:1."""
    s.launch(extra_env={"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"})
    s.settled_pixels(s.main)
    s.shot("dark")
    width, _, rgb = s.screen()
    captions = ["測光値", "ｶﾀﾛｸﾞ値", "ｸﾘｱ", "変光星の等級", "測光ｴﾗｰ", "平均値",
                "比較星の近似結果", "比較星", "変光星", "平均の算出"]
    for name in captions:
        extents = s.control(name).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        # A frame's caption is the top of the frame.
        height = min(extents.height, 18)
        ratio = text_contrast(rgb, width, (extents.x, extents.y, extents.width, height))
        if ratio < 4.5:
            raise Failure("under the dark scheme %s has a contrast of %.2f:1" % (name, ratio))
    s.close_box(s.main)
    s.answer_message_box("Escape")
    if s.program.wait(timeout=20) != 0:
        raise Failure("quillet3 exited with status %d" % s.program.returncode)


SCENARIOS = {"save": scenario_save, "cancel": scenario_cancel, "save-fails": scenario_save_fails,
             "signals": scenario_signals, "display-lost": scenario_display_lost,
             "link-to-device": scenario_link_to_device,
             "locale-capture": scenario_locale_capture, "diagnosis": scenario_diagnosis,
             "dark": scenario_dark, "fields": scenario_fields, "hostile": scenario_hostile,
             "night": scenario_night, "chart": scenario_chart, "series": scenario_series}
# Scenarios on a screen of another size than 1280 x 800.
SCREENS = {"night": "1366x768x24"}


# What every scenario needs, and the Debian package that brings it.
NEEDS = {
    "Xvfb": "xvfb", "openbox": "openbox", "xdotool": "xdotool", "xclip": "xclip",
    "xwd": "x11-apps", "convert": "imagemagick", "dbus-run-session": "dbus-daemon",
    "/usr/libexec/at-spi-bus-launcher": "at-spi2-core", "python3 module Xlib": "python3-xlib",
    "python3 module pyatspi": "python3-pyatspi", "unshare": "util-linux",
}
# What a scenario needs beyond that.
SCENARIO_NEEDS = {"save-fails": {"prlimit": "util-linux"},
                  "dark": {"/usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so":
                           "qt6-gtk-platformtheme"}}
# Set by README's test command: there a missing tool fails the test instead of
# skipping it, so a summary of passed tests always means they ran.
REQUIRE_ALL = "QUILLET3_REQUIRE_ALL_TESTS"


def missing_tools(name):
    missing = []
    for tool, package in list(NEEDS.items()) + list(SCENARIO_NEEDS.get(name, {}).items()):
        if tool.startswith("python3 module "):
            found = importlib.util.find_spec(tool.split()[-1]) is not None
        elif tool.endswith(".so"):
            found = bool(glob.glob(tool))
        elif tool.startswith("/"):
            found = os.access(tool, os.X_OK)
        else:
            found = shutil.which(tool) is not None
        if not found:
            missing.append("%s (Debian package %s)" % (tool, package))
    return missing


# Every process a scenario starts carries this variable, so that any left
# running afterwards can be found, whoever its parent is now.
RUN_MARKER = "QUILLET3_E2E_RUN"


def left_running(run, timeout=5.0):
    """(pid, command) of every live process that carries the run's marker, once
    the killed ones have had a moment to go."""
    needle = ("%s=%s" % (RUN_MARKER, run)).encode()
    end = time.monotonic() + timeout
    while True:
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:  # empty for a zombie
                    if needle not in f.read().split(b"\0") or int(pid) == os.getpid():
                        continue
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    found.append((int(pid), f.read().replace(b"\0", b" ").decode(errors="replace")))
            except OSError:
                continue
        if not found or time.monotonic() > end:
            return found
        time.sleep(0.1)


def own_pid_namespace():
    """unshare's prefix that gives the scenario a PID namespace of its own, where
    the kernel ends every process when the scenario's first one ends; None where
    the user may not make one."""
    # No --mount-proc: in a chroot the root's propagation cannot be changed, and
    # nothing here reads /proc by the namespace's numbers.
    prefix = ["unshare", "--pid", "--fork", "--kill-child"]
    if os.geteuid() != 0:
        prefix[1:1] = ["--user", "--map-root-user"]
    try:
        if subprocess.run(prefix + ["true"], capture_output=True, timeout=20).returncode == 0:
            return prefix
    except (OSError, subprocess.TimeoutExpired):
        pass
    return None


def run_isolated(name, namespace):
    """Runs this scenario again inside a private session bus and a PID
    namespace of its own: when its first process ends, or is killed with this
    test (CTest ends a test with all its descendants), the kernel ends every
    process the scenario started. Afterwards nothing carrying the run's
    marker may be left running."""
    run = "%d-%d" % (os.getpid(), time.monotonic_ns())
    env = dict(os.environ, QUILLET3_E2E_SESSION_BUS="1")
    env[RUN_MARKER] = run
    child = subprocess.Popen(namespace + ["dbus-run-session", "--", sys.executable] + sys.argv,
                             env=env, stderr=subprocess.STDOUT)

    def stop(signum, _frame):
        child.kill()  # and with it the namespace
        raise SystemExit(128 + signum)
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    code = 1
    try:
        code = child.wait()
    finally:
        left = left_running(run)
        if left:
            for pid, _ in left:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            print("e2e %s: FAILED: left running: %s" % (name, "; ".join(
                "%d %s" % process for process in left)))
            code = 1
    return code


def main():
    if len(sys.argv) < 3 or sys.argv[2] not in SCENARIOS:
        print(__doc__)
        return 2
    binary, name = sys.argv[1], sys.argv[2]
    missing = missing_tools(name)
    namespace = None
    if not os.environ.get("QUILLET3_E2E_SESSION_BUS"):
        namespace = own_pid_namespace()
        if namespace is None:
            missing.append("a PID namespace of its own (unshare --pid, Debian package util-linux,"
                           " and a kernel that lets this user make one)")
    if missing:
        if os.environ.get(REQUIRE_ALL):
            print("e2e %s: FAILED: missing %s" % (name, ", ".join(missing)))
            return 1
        print("e2e %s: skipped: missing %s" % (name, ", ".join(missing)))
        return SKIP
    if namespace is not None:
        return run_isolated(name, namespace)
    global pyatspi, X, xdisplay, protocol
    import pyatspi  # noqa: E402 - needs the session bus set up above
    from Xlib import X, display as xdisplay, protocol  # noqa: E402
    artifacts = sys.argv[3] if len(sys.argv) > 3 else None
    s = Session(os.path.abspath(binary), artifacts, SCREENS.get(name, "1280x800x24"))
    try:
        write_start_file(s)
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


pyatspi = X = xdisplay = protocol = None  # imported once the tools are known to be there

if __name__ == "__main__":
    sys.exit(main())
