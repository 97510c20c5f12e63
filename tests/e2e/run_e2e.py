#!/usr/bin/env python3
"""End-to-end checks of the viewer in a real X server (Xvfb) under a real window manager (openbox).

Usage: run_e2e.py <duoptic executable> <testdata folder>

Everything the viewer does is observed from outside, the way a user sees it: window titles,
window-manager frames, screenshots and the settings file it leaves behind. Each check prints one
PASS or FAIL line; the last line counts them. Every wait is a bounded poll, so a hung viewer
shows up as a failed check, never as a hung test.
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

BUDGET_SECONDS = 230  # the CTest timeout is larger; finish well before it
GREY = b"\xc0\xc0\xc0"
SAMPLE_W, SAMPLE_H = 623, 648  # the built-in sample pair
MENU = ["Open", "Reverse", "Zoom In", "Zoom Out", "Slide Show", "Next", "Center Border", "Full Screen", "Actual Size",
        "Display", "Automatic Alignment", "Crop to Common Area", "Reset Alignment", "Automatic Window", "Depth",
        "Camera Data", "Save As...", "Export Folder...", "Move to Trash...", "Tips", "Exit"]
MAIN_TITLE = re.compile(r"^Duoptic - .* - \((Parallel|Crossing)\)$")

SCREEN_W, SCREEN_H = 1280, 1024
START = time.monotonic()


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


# --------------------------------------------------------------------------------------------
# processes


def _die_with_parent():
    # If this script is killed (CTest timeout), the X server and the viewer must not linger.
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    except OSError:
        pass


class Env:
    def __init__(self, exe, testdata):
        self.exe = os.path.abspath(exe)
        self.testdata = os.path.abspath(testdata)
        self.tmp = tempfile.mkdtemp(prefix="duoptic-e2e-")
        self.procs = []
        self.display = None
        self.base_env = {k: v for k, v in os.environ.items()
                         if not k.startswith(("QT_", "DBUS_", "XDG_", "WAYLAND_"))}
        for name in ("config", "cache", "runtime", "data"):
            os.makedirs(os.path.join(self.tmp, "xdg", name), mode=0o700)
        self.base_env.update({
            "XDG_CONFIG_HOME": os.path.join(self.tmp, "xdg", "config"),
            "XDG_CACHE_HOME": os.path.join(self.tmp, "xdg", "cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.tmp, "xdg", "runtime"),
            "XDG_DATA_HOME": os.path.join(self.tmp, "xdg", "data"),
            "HOME": self.tmp,
            "NO_AT_BRIDGE": "1",
            "LC_ALL": "C.UTF-8",
        })

    def spawn(self, args, log_name, cwd=None, env=None, pass_fds=()):
        log = open(os.path.join(self.tmp, log_name), "ab")
        proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                cwd=cwd, env=env or self.x_env(), pass_fds=pass_fds,
                                preexec_fn=_die_with_parent)
        log.close()
        self.procs.append(proc)
        return proc

    def x_env(self):
        env = dict(self.base_env)
        if self.display is not None:
            env["DISPLAY"] = self.display
        return env

    def start_x(self):
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (2 * SCREEN_W, SCREEN_H),
                    "-nolisten", "tcp", "-noreset"], "xvfb.log", env=self.base_env, pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.5)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        require(number.strip().isdigit(), "Xvfb did not report a display number")
        self.display = ":" + number.decode().strip()
        for n, output in enumerate(("screen", "none")):  # two screens side by side, at about 96 dpi
            sh(["xrandr", "--setmonitor", "s%d" % n, "%d/338x%d/270+%d+0" % (SCREEN_W, SCREEN_H, n * SCREEN_W), output])
        self.spawn(["openbox", "--sm-disable"], "openbox.log")
        wait_for(lambda: "window id" in sh(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False),
                 20, "openbox did not come up")

    def cleanup(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
        for proc in reversed(self.procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait(timeout=5)
        shutil.rmtree(self.tmp, ignore_errors=True)


ENV = None


def sh(args, timeout=15, check=True, binary=False):
    """Runs a short X tool with a hard time limit and returns its output."""
    try:
        done = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout, env=ENV.x_env())
    except subprocess.TimeoutExpired:
        raise CheckFailed("%s did not finish within %ss" % (args[0], timeout))
    if check and done.returncode != 0:
        raise CheckFailed("%s failed: %s" % (" ".join(args), done.stderr.decode(errors="replace").strip()))
    return done.stdout if binary else done.stdout.decode(errors="replace")


def wait_for(probe, timeout, what, interval=0.05):
    """Polls probe() until it returns something truthy; fails with `what` (a text, or a function
    that tells how things stand by then) after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = probe()
            if value:
                return value
        except CheckFailed as error:
            last_error = error
        if time.monotonic() >= deadline:
            if callable(what):
                what = what()
            raise CheckFailed(what + (" (%s)" % last_error if last_error else ""))
        time.sleep(interval)


def stays(probe, seconds, interval=0.1):
    """True if probe() holds the whole time (used for things that must NOT happen)."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not probe():
            return False
        time.sleep(interval)
    return probe()


# --------------------------------------------------------------------------------------------
# X helpers


def xdo(*args):
    return sh(["xdotool"] + [str(a) for a in args])


def search(name_regex, pid=None):
    args = ["xdotool", "search", "--all", "--onlyvisible", "--name", name_regex]
    if pid is not None:
        args[2:2] = ["--pid", str(pid)]
    out = sh(args, check=False)
    return [int(w) for w in out.split()]


def window_name(win):
    return sh(["xdotool", "getwindowname", str(win)], check=False).rstrip("\n")


def client_geometry(win):
    """Absolute position and size of the client area of a window."""
    out = sh(["xwininfo", "-id", str(win)])
    values = {}
    for key, label in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                       ("w", "Width"), ("h", "Height")):
        m = re.search(r"^\s*%s:\s*(-?\d+)" % re.escape(label), out, re.M)
        require(m is not None, "xwininfo gave no %s" % label)
        values[key] = int(m.group(1))
    return values["x"], values["y"], values["w"], values["h"]


def frame_extents(win):
    out = sh(["xprop", "-id", str(win), "_NET_FRAME_EXTENTS"], check=False)
    m = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
    require(m is not None, "the window has no _NET_FRAME_EXTENTS yet")
    return tuple(int(g) for g in m.groups())  # left, right, top, bottom


def outer_geometry(win):
    """The window-manager frame around the client: left, top, width, height."""
    left, right, top, bottom = frame_extents(win)
    x, y, w, h = client_geometry(win)
    return (x - left, y - top, w + left + right, h + top + bottom)


def net_wm_state(win):
    return sh(["xprop", "-id", str(win), "_NET_WM_STATE"], check=False)


def is_maximised(win):
    state = net_wm_state(win)
    return "_NET_WM_STATE_MAXIMIZED_VERT" in state and "_NET_WM_STATE_MAXIMIZED_HORZ" in state


def active_window():
    out = sh(["xdotool", "getactivewindow"], check=False).strip()
    return int(out) if out.isdigit() else None


def activate(win):
    if active_window() == win:
        return
    sh(["xdotool", "windowactivate", str(win)], check=False)
    wait_for(lambda: active_window() == win, 10, "window %d did not become active" % win)


def override_redirect_windows():
    """Viewable override-redirect top-level windows (pop-up menus, tooltips)."""
    found = set()
    for line in sh(["xwininfo", "-root", "-children"]).splitlines():
        m = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+-?\d+\+-?\d+\s", line)
        if not m or (int(m.group(2)) <= 1 and int(m.group(3)) <= 1):
            continue
        info = sh(["xwininfo", "-id", m.group(1)], check=False)
        if "IsViewable" in info and "Override Redirect State: yes" in info:
            found.add(int(m.group(1), 16))
    return found


class Image:
    def __init__(self, width, height, data):
        self.w, self.h, self.data = width, height, data

    def px(self, x, y):
        i = 3 * (y * self.w + x)
        return self.data[i:i + 3]

    def row(self, y, x0, x1):
        return self.data[3 * (y * self.w + x0):3 * (y * self.w + x1)]

    def crop(self, x, y, w, h):
        return b"".join(self.row(yy, x, x + w) for yy in range(y, y + h))


def screenshot():
    raw = sh(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], timeout=30, binary=True)
    m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", raw)
    require(m is not None and m.group(3) == b"255", "unexpected screenshot format")
    width, height = int(m.group(1)), int(m.group(2))
    return Image(width, height, raw[m.end():m.end() + 3 * width * height])


# --------------------------------------------------------------------------------------------
# the viewer


def settings_text(values):
    """A settings file as the viewer writes it: three sections, CR LF line ends."""
    lines = ["[Viewer]"] + ["%s=%s" % (k, values[k]) for k in
                            ("ViewerMode", "FittingMode", "BorderWidth", "SlideInterval")]
    lines += ["[File]", "LatestPath=%s" % values["LatestPath"]]
    lines += ["[Window]"] + ["%s=%s" % (k, values[k]) for k in
                             ("WinTop", "WinLeft", "WinWidth", "WinHeight", "WinState")]
    return "\r\n".join(lines) + "\r\n"


DEFAULTS = {"ViewerMode": "(Parallel)", "FittingMode": 0, "BorderWidth": 4, "SlideInterval": 10,
            "WinTop": 0, "WinLeft": 0, "WinWidth": 600, "WinHeight": 480, "WinState": 0}


class Viewer:
    """One run of the program from its own folder (so that duoptic.ini lands there)."""

    def __init__(self, folder, args=(), scale=None, extra_env=None):
        self.folder = folder
        env = ENV.x_env()
        env["QT_QPA_PLATFORM"] = "xcb"
        if scale is not None:
            env["QT_SCALE_FACTOR"] = scale
        env.update(extra_env or {})
        self.proc = ENV.spawn([os.path.join(folder, "duoptic")] + list(args), "viewer.log",
                              cwd=folder, env=env)
        self.win = wait_for(self._find_main, 30, "the main window did not appear")
        # The placement is corrected once the frame is known; let it settle.
        self.settle()

    def _find_main(self):
        require(self.proc.poll() is None, "the viewer exited with %s" % self.proc.poll())
        for win in search("^Duoptic - ", self.proc.pid):
            if MAIN_TITLE.match(window_name(win)):
                return win
        return None

    def settle(self, seconds=0.6, timeout=10):
        """Waits until the outer frame has stopped changing for `seconds`."""
        deadline = time.monotonic() + timeout
        last, since = None, time.monotonic()
        while time.monotonic() < deadline:
            try:
                now = outer_geometry(self.win)
            except CheckFailed:
                now = None
            if now != last:
                last, since = now, time.monotonic()
            elif now is not None and time.monotonic() - since >= seconds:
                return now
            time.sleep(0.05)
        raise CheckFailed("the window frame did not settle (last %s)" % (last,))

    def placed_at(self, expected, timeout=10):
        """Waits for the outer frame to be `expected` and to stay so; fails with where it is."""
        try:
            wait_for(lambda: outer_geometry(self.win) == expected, timeout, "")
        except CheckFailed:
            raise CheckFailed("outer frame is %s, expected %s" % (outer_geometry(self.win), expected))
        require(stays(lambda: outer_geometry(self.win) == expected, 1.0),
                "outer frame moved on to %s after reaching %s" % (outer_geometry(self.win), expected))
        return expected

    def alive(self):
        return self.proc.poll() is None

    def title(self):
        return window_name(self.win)

    def wait_title(self, expected, timeout=15):
        return wait_for(lambda: self.title() == expected, timeout,
                        lambda: "title is %r, expected %r" % (self.title(), expected))

    def client(self):
        return client_geometry(self.win)

    def focus(self):
        activate(self.win)

    def keys(self, *names, delay=40):
        self.focus()
        xdo("key", "--delay", delay, *names)

    def click(self, cx, cy, button=1):
        x, y, _, _ = self.client()
        xdo("mousemove", x + cx, y + cy, "click", button)

    def panel_centre(self, border):
        _, _, cw, ch = self.client()
        g = panel_geometry(cw, ch, border)
        ax, ay, aw, ah = g[0]
        return ax + aw // 2, ay + ah // 2

    def open_menu(self, border):
        before = override_redirect_windows()
        self.focus()
        cx, cy = self.panel_centre(border)
        self.click(cx, cy, 3)
        new = wait_for(lambda: override_redirect_windows() - before, 10,
                       "no pop-up menu appeared after a right click over the image")
        return new

    def choose(self, caption, border):
        menu = self.open_menu(border)
        xdo("key", "--delay", 60, *(["Down"] * (MENU.index(caption) + 1) + ["Return"]))
        wait_for(lambda: not (override_redirect_windows() & menu), 10, "the pop-up menu did not close")

    def wait_exit(self, timeout=20):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise CheckFailed("the viewer did not end within %ss" % timeout)

    def close_by_wm(self):
        sh(["wmctrl", "-i", "-c", str(self.win)])
        return self.wait_exit()

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(timeout=10)


def make_app_folder(name):
    folder = os.path.join(ENV.tmp, name)
    os.makedirs(folder)
    shutil.copy2(ENV.exe, os.path.join(folder, "duoptic"))
    return folder


def read_settings(folder):
    path = os.path.join(folder, "duoptic.ini")
    require(os.path.exists(path), "duoptic.ini was not written")
    with open(path, "rb") as f:
        return f.read()


def parse_settings(raw):
    """Sections, keys and values in file order, from a CR LF settings file."""
    text = raw.decode("utf-8")
    require(text.endswith("\r\n"), "the settings file does not end in CR LF")
    require("\n" not in text.replace("\r\n", ""), "a line of the settings file does not end in CR LF")
    order, values = [], {}
    for line in text.split("\r\n"):
        if not line.strip():
            continue
        if line.startswith("["):
            order.append(line)
            continue
        key, _, value = line.partition("=")
        order.append(key)
        values[key] = value
    return order, values


EXPECTED_ORDER = ["[Viewer]", "ViewerMode", "FittingMode", "BorderWidth", "SlideInterval", "[File]",
                  "LatestPath", "[Window]", "WinTop", "WinLeft", "WinWidth", "WinHeight", "WinState"]


def stored_bounds(values):
    return (int(values["WinLeft"]), int(values["WinTop"]), int(values["WinWidth"]), int(values["WinHeight"]))


# --------------------------------------------------------------------------------------------
# geometry of the two image areas, from the client size and the center border


def panel_geometry(cw, ch, border):
    """The two image areas (x, y, w, h) in client coordinates."""
    panel_h = ch - 20 - 21
    half_w = int((cw - 20 - border) / 2)
    left = (20 + 3, 3, half_w - 6, panel_h - 6)
    right = (20 + half_w + border + 3, 3, half_w - 6, panel_h - 6)
    return left, right


def fitted(area_w, area_h, image_w, image_h, zoom, vpos):
    """Displayed height and top offset in 'Image width' fitting; rounding is to even, as Python's."""
    aspect = image_w / image_h
    e = area_w / image_w
    z = e + (2 - e) * (zoom / 100)
    shown_w = round(image_w * z)
    shown_h = round(image_w * z / aspect)
    top = round((area_h - shown_h) * (vpos / 100))
    return shown_w, shown_h, top


def horizontal_offset(area_w, shown_w, hpos):
    return round((area_w - shown_w) * (hpos / 100))


def grey_fraction_not(row):
    n = len(row) // 3
    return sum(1 for i in range(0, len(row), 3) if row[i:i + 3] != GREY) / max(1, n)


def measure_area(img, ox, oy, area):
    """Rows of an image area that carry picture (top, bottom exclusive), and the grey rows' faults."""
    ax, ay, aw, ah = area
    picture_rows = []
    faults = []
    for y in range(ah):
        row = img.row(oy + ay + y, ox + ax, ox + ax + aw)
        if row == GREY * aw:
            continue
        frac = grey_fraction_not(row)
        if frac >= 0.5:
            picture_rows.append(y)
        else:
            faults.append(y)
    if not picture_rows:
        return None, None, faults
    return picture_rows[0], picture_rows[-1] + 1, faults


def check_bands(img, client, border, image_w, image_h, zoom, vpos, tolerance=1):
    """Grey bands above and below the picture in both areas where the fitting rule puts them.

    Returns None when everything matches, else a description of the first difference."""
    ox, oy, cw, ch = client
    areas = panel_geometry(cw, ch, border)
    for number, area in enumerate(areas, 1):
        ax, ay, aw, ah = area
        if aw <= 0 or ah <= 0:
            return "panel %d has no area (%s)" % (number, area)
        shown_w, shown_h, top = fitted(aw, ah, image_w, image_h, zoom, vpos)
        want_top = max(0, top)
        want_bottom = min(ah, top + shown_h)
        got_top, got_bottom, faults = measure_area(img, ox, oy, area)
        if got_top is None:
            return "panel %d shows no picture at all" % number
        if abs(got_top - want_top) > tolerance or abs(got_bottom - want_bottom) > tolerance:
            return ("panel %d (area %dx%d at %d,%d): picture rows %d..%d, expected %d..%d"
                    % (number, aw, ah, ax, ay, got_top, got_bottom, want_top, want_bottom))
        outside = [y for y in faults if y < got_top or y >= got_bottom]
        inside = [y for y in faults if got_top <= y < got_bottom]
        if outside:
            return "panel %d: band row %d is not plain grey" % (number, outside[0])
        if len(inside) > 2:
            return "panel %d: %d picture rows are mostly grey" % (number, len(inside))
        if got_top >= 2:
            # A grey band row shows exactly where the area begins and ends on the screen.
            y = oy + ay + got_top // 2
            left = right = ox + ax + aw // 2
            while left - 1 >= 0 and img.px(left - 1, y) == GREY:
                left -= 1
            while right + 1 < img.w and img.px(right + 1, y) == GREY:
                right += 1
            if (left, right) != (ox + ax, ox + ax + aw - 1):
                return ("panel %d: grey band spans x %d..%d, expected %d..%d"
                        % (number, left - ox, right - ox, ax, ax + aw - 1))
    return None


def poll_screen(evaluate, timeout, what):
    """Repeats a screenshot until evaluate(img) returns None (no difference) or time runs out."""
    result = {"why": "no screenshot"}

    def probe():
        img = screenshot()
        why = evaluate(img)
        result["why"], result["img"] = why, img
        return why is None

    try:
        wait_for(probe, timeout, what, interval=0.2)
    except CheckFailed:
        raise CheckFailed("%s: %s" % (what, result["why"]))
    return result["img"]


def key_barrier(s, client):
    """Down, then Up, each waited for on the screen (zoom 0, centred). Keys are handled in order,
    so whatever came before them has been handled too once they show."""
    v = s.viewer
    v.keys("Down")
    poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 52), 15,
                "Down did not move the picture to position 52")
    v.keys("Up")
    poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 15,
                "Up did not move the picture back to 50")


def best_shift(old_row, new_row, max_shift):
    """The s for which new[x] == old[x + s] fits best, its mean difference and that of s = 0."""
    n = len(old_row) // 3
    best = None
    unmoved = None
    for s in range(-max_shift, max_shift + 1):
        lo, hi = max(0, -s), min(n, n - s)
        if hi - lo < n // 2:
            continue
        diff = 0
        for x in range(lo, hi):
            a = 3 * (x + s)
            b = 3 * x
            diff += abs(old_row[a] - new_row[b]) + abs(old_row[a + 1] - new_row[b + 1]) + \
                abs(old_row[a + 2] - new_row[b + 2])
        mean = diff / (hi - lo)
        if s == 0:
            unmoved = mean
        if best is None or mean < best[1]:
            best = (s, mean)
    return best[0], best[1], unmoved


# --------------------------------------------------------------------------------------------
# the checks


class Suite:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def run(self, name, fn):
        if time.monotonic() - START > BUDGET_SECONDS:
            self._report(name, False, "not run: the time budget is used up")
            return False
        began = time.monotonic()
        try:
            detail = fn()
            self._report(name, True, detail, began)
            return True
        except CheckFailed as error:
            self._report(name, False, str(error), began)
        except Exception as error:  # a fault of the harness itself must not hide the other checks
            self._report(name, False, "%s: %s" % (type(error).__name__, error), began)
        return False

    def _report(self, name, ok, detail, began=None):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
        line = "%s %s" % ("PASS" if ok else "FAIL", name)
        if began is not None:
            line += " (%.1f s)" % (time.monotonic() - began)
        if detail:
            line += " - " + str(detail)
        print(line, flush=True)


class MainSession:
    """State shared by the checks that run on one viewer started without a settings file."""

    def __init__(self):
        self.folder = make_app_folder("main")
        self.viewer = None
        self.border = 4
        self.mode = "(Parallel)"


def check_first_run(s):
    s.viewer = v = Viewer(s.folder)
    require(v.title() == "Duoptic - STEREO PHOTO - (Parallel)", "title %r" % v.title())
    outer = v.placed_at((0, 0, 600, 480))
    client = v.client()
    poll_screen(lambda img: check_bands(img, client, 4, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                "sample pair not drawn as fitted")
    return "outer %s, client %dx%d" % (outer, client[2], client[3])


def check_keys_move_and_zoom(s):
    v = s.viewer
    client = v.client()
    bands = lambda zoom, vpos: (lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, zoom, vpos))
    # Down moves the picture towards the bottom in steps of 2 positions.
    v.keys(*["Down"] * 10)
    poll_screen(bands(0, 70), 10, "Down x10 did not move the picture to position 70")
    v.keys(*["Up"] * 10)
    poll_screen(bands(0, 50), 10, "Up x10 did not move the picture back to 50")
    v.keys("KP_Add")
    poll_screen(bands(10, 50), 10, "keypad + did not zoom to 10")
    # The main keyboard's + is not a zoom key: had it zoomed, keypad - would end at 10, not 0.
    v.keys("plus", "KP_Subtract")
    poll_screen(bands(0, 50), 10, "main-keyboard + zoomed, or keypad - did not zoom back to 0")
    v.keys("KP_Add")
    poll_screen(bands(10, 50), 10, "keypad + did not zoom to 10 again")

    # Right arrow: at zoom 10 the picture is wider than its area, so it slides to the left.
    ax, ay, aw, ah = panel_geometry(client[2], client[3], s.border)[0]
    shown_w, _, _ = fitted(aw, ah, SAMPLE_W, SAMPLE_H, 10, 50)
    expected = horizontal_offset(aw, shown_w, 50) - horizontal_offset(aw, shown_w, 60)
    before = screenshot()
    v.keys(*["Right"] * 5)
    areas = panel_geometry(client[2], client[3], s.border)

    def shifted(img):
        for (x, y, w, h) in areas:
            for row in (h // 3, h // 2, 2 * h // 3):
                yy = client[1] + y + row
                old = before.row(yy, client[0] + x, client[0] + x + w)
                new = img.row(yy, client[0] + x, client[0] + x + w)
                shift, diff, unmoved = best_shift(old, new, 30)
                # Nearest-neighbour sampling picks other source columns after a shift, so the
                # rows match only roughly; what must hold is where they match best.
                if abs(shift - expected) > 1 or diff > 0.8 * unmoved:
                    return ("row %d moved by %d (mean difference %.1f, unmoved %.1f), expected %d"
                            % (row, shift, diff, unmoved, expected))
        return None

    poll_screen(shifted, 10, "Right x5 did not slide both pictures")
    v.keys(*["Left"] * 5)
    window_box = (client[0], client[1], client[2], client[3])
    poll_screen(lambda img: None if img.crop(*window_box) == before.crop(*window_box)
                else "the window differs from before the Right presses", 10,
                "Left x5 did not bring the pictures back")

    # The wheel: one notch is 4 zoom positions, over either panel.
    cx, cy = v.panel_centre(s.border)
    xdo("mousemove", client[0] + cx, client[1] + cy, "click", 5)
    poll_screen(bands(6, 50), 10, "wheel down did not zoom out by 4")
    xdo("click", 4, "click", 4, "click", 4)
    poll_screen(bands(18, 50), 10, "three notches of wheel up did not zoom in by 12")
    xdo("click", "--repeat", 5, "--delay", 30, 5)
    poll_screen(bands(0, 50), 10, "five notches of wheel down did not stop at zoom 0")

    # Esc with no slide show running changes nothing at all.
    title = v.title()
    before = screenshot()
    v.keys("Escape")
    key_barrier(s, client)
    after = screenshot()
    require(v.alive(), "the viewer ended on Esc")
    require(v.title() == title, "Esc changed the title to %r" % v.title())
    require(after.crop(*window_box) == before.crop(*window_box), "Esc changed the window's content")
    return "slide by %d px; zoom 0/6/10/18 bands as computed" % expected


def check_popup_menu(s):
    v = s.viewer
    client = v.client()
    before_reverse = screenshot()
    menu = v.open_menu(s.border)
    img = screenshot()
    require(img.crop(*client) != before_reverse.crop(*client), "the screen did not change under the menu")
    xdo("key", "Escape")
    wait_for(lambda: not (override_redirect_windows() & menu), 10, "Esc did not close the menu")
    require(v.title() == "Duoptic - STEREO PHOTO - (Parallel)", "closing the menu changed the title")

    # Over the bars and buttons no menu opens.
    cw, ch = client[2], client[3]
    panel_h = ch - 41
    opened = []
    v.focus()
    for where, (cx, cy) in (("horizontal bar", (cw // 2, panel_h + 10)),
                            ("vertical bar", (10, panel_h // 2)),
                            ("zoom bar", (cw // 3, panel_h + 30)),
                            ("? button", (10, panel_h + 10)),
                            ("R button", (10, panel_h + 30)),
                            ("center border", (20 + (cw - 20 - s.border) // 2 + s.border // 2, panel_h // 2))):
        before = override_redirect_windows()
        v.click(cx, cy, 3)
        # Down reaches the main window only if the click opened nothing that took the keyboard;
        # once the picture has moved, the click has been handled.
        xdo("key", "Down")

        def settled():
            if override_redirect_windows() - before:
                return "menu"
            if check_bands(screenshot(), client, s.border, SAMPLE_W, SAMPLE_H, 0, 52) is None:
                return "moved"
            return None

        if wait_for(settled, 15, "neither a menu nor the Down key showed after a right click "
                                 "over the " + where) == "menu":
            opened.append(where)
            xdo("key", "Escape")  # close it so that the checks after this one still work
            wait_for(lambda: not (override_redirect_windows() - before), 10, "the stray menu did not close")
            v.focus()
            xdo("key", "Down")
            poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 52), 15,
                        "Down did not move the picture after the stray menu")
        require(not (override_redirect_windows() - before), "a window opened late over the " + where)
        v.keys("Up")
        poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 15,
                    "Up did not move the picture back")
    poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 5,
                "a right click over a bar moved the picture")

    # Reverse from the menu by keyboard: the title names the new mode and the sides swap.
    before = screenshot()
    v.choose("Reverse", s.border)
    v.wait_title("Duoptic - STEREO PHOTO - (Crossing)")
    s.mode = "(Crossing)"
    left, right = panel_geometry(cw, ch, s.border)
    ox, oy = client[0], client[1]

    def swapped(img):
        if img.crop(ox + left[0], oy + left[1], left[2], left[3]) != \
                before.crop(ox + right[0], oy + right[1], right[2], right[3]):
            return "the left panel does not show what the right one showed"
        if img.crop(ox + right[0], oy + right[1], right[2], right[3]) != \
                before.crop(ox + left[0], oy + left[1], left[2], left[3]):
            return "the right panel does not show what the left one showed"
        return None

    poll_screen(swapped, 10, "Reverse did not swap the panels")
    require(not opened, "a right click over the %s opened a window" % ", ".join(opened))
    return "menu window %s; Reverse -> (Crossing), panels swapped" % sorted(hex(w) for w in menu)


def border_prompt(s, text, confirm):
    v = s.viewer
    v.choose("Center Border", s.border)
    prompt = wait_for(lambda: search("^Center Border$", v.proc.pid), 10, "the center-border prompt did not open")[0]
    def fixed_size():  # the size hints of the prompt as shown: its least and largest size agree
        hints = sh(["xprop", "-id", str(prompt), "WM_NORMAL_HINTS"], check=False)
        sizes = re.findall(r"program specified (minimum|maximum) size: (\d+) by (\d+)", hints)
        return len(sizes) == 2 and sizes[0][1:] == sizes[1][1:]
    wait_for(fixed_size, 5, "the prompt can be resized")
    activate(prompt)
    xdo("type", "--delay", 60, text)
    xdo("key", confirm)
    wait_for(lambda: not search("^Center Border$", v.proc.pid), 10, "the prompt did not close on " + confirm)


def check_center_border(s):
    v = s.viewer
    client = v.client()
    border_prompt(s, "50", "Return")
    s.border = 50
    poll_screen(lambda img: check_bands(img, client, 50, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                "the panels are not laid out with a center border of 50")
    img = screenshot()
    left, right = panel_geometry(client[2], client[3], 50)
    # The gap between the two panel frames (3 px of border and bevel around each area).
    gap = (right[0] - 3) - (left[0] - 3 + left[2] + 6)
    measured = None
    y = client[1] + left[1] + 1  # inside the top grey band of both areas
    x = client[0] + left[0] + left[2] // 2
    end = client[0] + client[2]
    while x < end and img.px(x, y) == GREY:
        x += 1
    first_non_grey = x
    while x < end and img.px(x, y) != GREY:
        x += 1
    measured = (x - first_non_grey) - 6
    require(measured == 50, "measured center border %d px (frames %d)" % (measured, gap))

    # Cancel keeps the value, whatever was typed.
    border_prompt(s, "7", "Escape")
    poll_screen(lambda img: check_bands(img, client, 50, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                "cancelling the prompt changed the layout")
    require(v.title() == "Duoptic - STEREO PHOTO - " + s.mode, "title %r" % v.title())
    return "gap %d px; cancel kept it" % measured


def check_tips(s):
    v = s.viewer
    _, _, cw, ch = v.client()
    v.focus()
    v.click(10, ch - 41 + 10)  # the "?" button under the vertical bar
    tips = wait_for(lambda: search("^Duoptic - Tips$", v.proc.pid), 10, "the Tips dialog did not open")[0]
    activate(tips)
    xdo("key", "Escape")
    require(stays(lambda: search("^Duoptic - Tips$", v.proc.pid), 1.0), "Esc closed the Tips dialog")
    activate(tips)
    xdo("key", "Return")
    wait_for(lambda: not search("^Duoptic - Tips$", v.proc.pid), 10, "Enter did not close the Tips dialog")
    require(v.alive(), "the viewer ended")
    return None


def check_exit_writes_settings(s):
    v = s.viewer
    outer = outer_geometry(v.win)
    v.choose("Exit", s.border)
    code = v.wait_exit()
    require(code == 0, "exit code %s" % code)
    raw = read_settings(s.folder)
    order, values = parse_settings(raw)
    require(order == EXPECTED_ORDER, "keys in the order %s" % order)
    require(values["BorderWidth"] == str(s.border), "BorderWidth=%s, set %d" % (values["BorderWidth"], s.border))
    require(values["ViewerMode"] == s.mode, "ViewerMode=%s, expected %s" % (values["ViewerMode"], s.mode))
    require(values["LatestPath"] == s.folder + "/", "LatestPath=%s" % values["LatestPath"])
    require(values["FittingMode"] == "0" and values["SlideInterval"] == "10",
            "FittingMode=%s SlideInterval=%s" % (values["FittingMode"], values["SlideInterval"]))
    require(values["WinState"] == "0", "WinState=%s" % values["WinState"])
    require(stored_bounds(values) == outer, "stored bounds %s, outer frame was %s" % (stored_bounds(values), outer))
    return "stored %s" % (stored_bounds(values),)


def check_no_creep(s):
    # Move and resize the window to somewhere odd, then reopen it from its own file three times.
    v = Viewer(s.folder)
    try:
        require(v.title() == "Duoptic - STEREO PHOTO - " + s.mode, "title %r" % v.title())
        first = v.placed_at((0, 0, 600, 480))
        sh(["wmctrl", "-i", "-r", str(v.win), "-e", "0,137,91,641,503"])
        wait_for(lambda: outer_geometry(v.win) != first, 10, "the window did not move")
        moved = v.settle()
        client = v.client()
        poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                    "the panels were not laid out again after the resize")
        code = v.close_by_wm()
        require(code == 0, "exit code %s" % code)
    finally:
        v.kill()
    _, values = parse_settings(read_settings(s.folder))
    require(stored_bounds(values) == moved, "stored %s, outer frame was %s" % (stored_bounds(values), moved))
    # The frame becomes known at a moment that varies from start to start, so a placement that
    # races with it fails only now and then: reopen a few times.
    runs = 5
    for run in range(runs):
        v = Viewer(s.folder)
        try:
            try:
                v.placed_at(moved)
            except CheckFailed as error:
                raise CheckFailed("run %d: %s" % (run + 1, error))
            if run % 2:
                code = v.close_by_wm()
            else:
                v.choose("Exit", s.border)
                code = v.wait_exit()
            require(code == 0, "exit code %s" % code)
        finally:
            v.kill()
        _, values = parse_settings(read_settings(s.folder))
        require(stored_bounds(values) == moved, "run %d stored %s, expected %s" % (run + 1, stored_bounds(values), moved))
    return "outer %s kept over %d runs" % (moved, runs)


def check_maximised(s):
    v = Viewer(s.folder)
    try:
        sh(["wmctrl", "-i", "-r", str(v.win), "-b", "add,maximized_vert,maximized_horz"])
        wait_for(lambda: is_maximised(v.win), 10, "the window manager did not maximise the window")
        big = v.settle()
        code = v.close_by_wm()
        require(code == 0, "exit code %s" % code)
    finally:
        v.kill()
    _, values = parse_settings(read_settings(s.folder))
    require(values["WinState"] == "2", "WinState=%s after closing maximised" % values["WinState"])
    require(stored_bounds(values) == big, "stored %s, maximised frame %s" % (stored_bounds(values), big))

    v = Viewer(s.folder)
    try:
        wait_for(lambda: is_maximised(v.win), 10,
                 "reopened not maximised: _NET_WM_STATE %s" % net_wm_state(v.win).strip())
        v.placed_at(big)
        client = v.client()
        poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                    "the maximised window is not laid out at its size")
        v.choose("Exit", s.border)
        require(v.wait_exit() == 0, "exit code not 0")
    finally:
        v.kill()
    _, values = parse_settings(read_settings(s.folder))
    require(values["WinState"] == "2", "WinState=%s after the second maximised run" % values["WinState"])

    # The 200 x 120 minimum is the outer size also for a window that started maximised.
    v = Viewer(s.folder)
    try:
        wait_for(lambda: is_maximised(v.win), 10, "the third run did not start maximised")
        sh(["wmctrl", "-i", "-r", str(v.win), "-b", "remove,maximized_vert,maximized_horz"])
        wait_for(lambda: not is_maximised(v.win), 10, "the window manager did not restore the window")
        v.settle()
        sh(["wmctrl", "-i", "-r", str(v.win), "-e", "0,-1,-1,40,40"])
        smallest = v.settle()
        require(smallest[2:] == (200, 120), "shrunk to outer %s, expected 200 x 120" % (smallest[2:],))
    finally:
        v.kill()
    return "maximised frame %s; smallest outer after it %s" % (big, smallest[2:])


def check_fullscreen(s):
    """F11 fills the window's screen (the right one) and gives the window back, which is what closing in it keeps."""
    arranged, filled = (SCREEN_W + 71, 53, 619, 457), (SCREEN_W, 0, SCREEN_W, SCREEN_H)
    with open(os.path.join(s.folder, "duoptic.ini"), "wb") as f:
        f.write(settings_text(dict(DEFAULTS, BorderWidth=s.border, ViewerMode=s.mode, LatestPath=s.folder + "/",
                                   **dict(zip(("WinLeft", "WinTop", "WinWidth", "WinHeight"), arranged)))).encode())
    v = Viewer(s.folder)
    try:
        v.placed_at(arranged)
        v.keys("F11")
        wait_for(lambda: v.client() == filled, 10, lambda: "F11 left the client at %s" % (v.client(),))
        poll_screen(lambda img: check_bands(img, filled, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 10, "not laid out")
        v.keys("F11")
        v.placed_at(arranged)
        v.keys("F11")
        wait_for(lambda: v.client() == filled, 10, "the second F11 did not fill the screen")
        require(v.close_by_wm() == 0, "exit code not 0")
    finally:
        v.kill()
    _, values = parse_settings(read_settings(s.folder))
    require((values["WinState"], stored_bounds(values)) == ("0", arranged), "stored %s, arranged %s" % (values, arranged))
    return "%s filled %s and came back" % (arranged, filled)


def check_signals_write_settings(s):
    """SIGTERM and SIGHUP end the run like the close box: placement and options are kept. So does
    SIGTERM again and again while the viewer ends (a session manager that repeats itself, Ctrl+C
    pressed twice): the settings are still written whole, and no temporary file is left."""
    done = []
    for number, name, repeated in ((signal.SIGTERM, "SIGTERM", False),
                                   (signal.SIGHUP, "SIGHUP", False),
                                   (signal.SIGTERM, "repeated SIGTERM", True)):
        with open(os.path.join(s.folder, "duoptic.ini"), "wb") as f:
            f.write(settings_text(dict(DEFAULTS, BorderWidth=s.border, ViewerMode=s.mode,
                                       LatestPath=s.folder + "/")).encode())
        v = Viewer(s.folder)
        try:
            before = outer_geometry(v.win)
            sh(["wmctrl", "-i", "-r", str(v.win), "-e", "0,61,47,533,419"])
            wait_for(lambda: outer_geometry(v.win) != before, 10, "the window did not move")
            outer = v.settle()
            deadline = time.monotonic() + 10
            v.proc.send_signal(number)
            while repeated and v.proc.poll() is None and time.monotonic() < deadline:
                v.proc.send_signal(number)
                time.sleep(0)
            code = v.wait_exit()
        finally:
            v.kill()
        # Once the settings are written a signal may end the process as it would any other.
        require(code == 0 or (repeated and code == -number), "%s: exit code %s" % (name, code))
        order, values = parse_settings(read_settings(s.folder))
        require(order == EXPECTED_ORDER, "%s: keys in the order %s" % (name, order))
        require(stored_bounds(values) == outer, "%s: stored %s, outer frame was %s" % (name, stored_bounds(values), outer))
        left = [f for f in os.listdir(s.folder) if f.startswith("duoptic.ini.")]
        require(not left, "%s: left behind: %s" % (name, left))
        done.append(name)
    return "settings written on " + ", ".join(done)


def check_sigterm_during_read_ahead(_):
    """SIGTERM while the pair after the one on screen, a 1 GiB file, is being read ahead: the run
    ends at once, with its settings written, instead of waiting for the read."""
    folder = make_app_folder("read-ahead")
    sh(["convert", "-size", "64x32", "xc:gray", os.path.join(folder, "a_DUP.jpg")])
    with open(os.path.join(folder, "b_DUP.jpg"), "wb") as f:
        f.truncate((1 << 30) - 1)  # sparse: no disk, but every byte to be read
    v = Viewer(folder, [os.path.join(folder, "a_DUP.jpg")])
    try:
        v.wait_title("Duoptic - a - (Parallel)")
        io = "/proc/%d/io" % v.proc.pid  # SIGTERM once the read ahead has read 64 MiB
        wait_for(lambda: int(re.search(r"rchar: (\d+)", open(io).read()).group(1)) > (64 << 20), 10,
                 "the read ahead did not begin", interval=0.002)
        began = time.monotonic()
        v.proc.send_signal(signal.SIGTERM)
        code = v.wait_exit(timeout=30)
        took = time.monotonic() - began
    finally:
        v.kill()
    require(code == 0, "exit code %s" % code)
    require(took < 5, "the viewer took %.1f s to end" % took)
    require(os.path.exists(os.path.join(folder, "duoptic.ini")), "no settings written")
    return "ended %.2f s after SIGTERM" % took


def check_restore_lays_out(s):
    """A size set while the window is minimised is laid out when it is restored."""
    with open(os.path.join(s.folder, "duoptic.ini"), "wb") as f:
        f.write(settings_text(dict(DEFAULTS, BorderWidth=s.border, ViewerMode=s.mode,
                                   LatestPath=s.folder + "/")).encode())
    v = Viewer(s.folder)
    try:
        v.placed_at((0, 0, 600, 480))
        xdo("windowminimize", v.win)
        wait_for(lambda: "HIDDEN" in net_wm_state(v.win), 10, "the window was not minimised")
        xdo("windowsize", v.win, 720, 430)
        time.sleep(0.5)
        sh(["wmctrl", "-i", "-a", str(v.win)])
        wait_for(lambda: "HIDDEN" not in net_wm_state(v.win), 10, "the window was not restored")
        v.settle()
        client = v.client()
        require(client[2:] == (720, 430), "client %s after the resize, expected 720 x 430" % (client[2:],))
        poll_screen(lambda img: check_bands(img, client, s.border, SAMPLE_W, SAMPLE_H, 0, 50), 10,
                    "the restored window is not laid out at its new size")
    finally:
        v.kill()
    return "restored at client %dx%d, laid out" % client[2:]


def check_command_line_pair(s):
    """`duoptic some/pair.mpo` starts on that pair; a path that leads nowhere is reported."""
    pairs = os.path.join(ENV.tmp, "cli-pairs")
    os.makedirs(pairs)
    shutil.copy2(os.path.join(ENV.testdata, "stereo", "sugarshack.mpo"), os.path.join(pairs, "shack.mpo"))
    shutil.copy2(os.path.join(ENV.testdata, "stereo", "02-super-mario.jps"), os.path.join(pairs, "mario.jps"))
    v = Viewer(s.folder, [os.path.relpath(os.path.join(pairs, "shack.mpo"), s.folder)])
    try:
        v.wait_title("Duoptic - shack - " + s.mode)
        # S asks how to save the pair on screen; Return takes what it offers: side by side, beside it.
        v.keys("s")
        dialog = wait_for(lambda: search("^Duoptic - Save As$", v.proc.pid), 10, "S opened no Save As dialog")
        activate(dialog[0])
        xdo("key", "Return")
        saved = os.path.join(pairs, "shack_DUP.jpg")
        wait_for(lambda: os.path.exists(saved), 15, "Return in Save As did not write shack_DUP.jpg")
        os.remove(saved)
        v.choose("Exit", s.border)
        require(v.wait_exit() == 0, "exit code not 0")
    finally:
        v.kill()
    _, values = parse_settings(read_settings(s.folder))
    require(values["LatestPath"] == pairs, "LatestPath=%s, expected %s" % (values["LatestPath"], pairs))
    v = Viewer(s.folder, [os.path.join(pairs, "nothing.mpo")])
    try:
        box = wait_for(lambda: search("^duoptic$", v.proc.pid), 15, "no error report for a missing path")
        require(v.title() == "Duoptic - STEREO PHOTO - " + s.mode, "title %r" % v.title())
        activate(box[0])
        xdo("key", "Return")
        wait_for(lambda: not search("^duoptic$", v.proc.pid), 10, "the error box did not close")
        require(v.alive(), "the viewer ended after the report")
    finally:
        v.kill()
    return "started on shack.mpo, saved it with S; a missing path reported"


def check_interlaced_rows_stay_on_the_screen(_):
    """Rows interlaced: even screen rows show the left eye (white), odd ones the right, also after
    moves by one device pixel, on a plain screen and scaled by 2 and by 1.5."""
    seen = []
    for scale in (None, "2", "1.5"):
        folder = make_app_folder("interlaced-%s" % (scale or "1"))
        for name, colour in (("tc_DUL.jpg", "white"), ("tc_DUR.jpg", "black")):
            sh(["convert", "-size", "64x64", "xc:" + colour, os.path.join(folder, name)])
        with open(os.path.join(folder, "duoptic.ini"), "wb") as f:
            f.write(settings_text(dict(DEFAULTS, LatestPath=folder, WinLeft=40, WinTop=30, WinWidth=320,
                                       WinHeight=260)).encode())
        started = time.monotonic()
        v = Viewer(folder, [os.path.join(folder, "tc_DUL.jpg")], scale=scale)

        def rows_by_parity(img):
            x, y, cw, ch = v.client()
            rows = [(sy, img.px(x + cw // 2, sy)) for sy in range(y + ch // 2 - 20, y + ch // 2 + 20)]
            wrong = [(sy, p.hex()) for sy, p in rows if (min(p) > 200) != (sy % 2 == 0) or 55 < max(p) < 200]
            return "(screen row, colour) %s" % wrong[:3] if wrong else None
        try:
            v.wait_title("Duoptic - tc - (Parallel)")
            v.keys(*["d"] * 8)  # past side by side, five anaglyphs and two halves
            poll_screen(rows_by_parity, 10, "rows not interlaced by the screen's rows at scale %s" % scale)
            # Scaled, the frame seldom converts back to the stored bounds exactly: the placement
            # puts the window back for its first 5 s, which would undo the moves below.
            time.sleep(max(0.0, started + 5.5 - time.monotonic()))
            for step in (1, 2):
                x, y, w, h = v.client()  # openbox puts the client where wmctrl says
                sh(["wmctrl", "-i", "-r", str(v.win), "-e", "0,%d,%d,%d,%d" % (x, y + 1, w, h)])
                wait_for(lambda: v.client()[1] == y + 1, 10, "the window did not move by one pixel")
                poll_screen(rows_by_parity, 10, "at scale %s after move %d by one pixel" % (scale, step))
            seen.append("%s: top %d" % (scale or "1", y + 1))
        finally:
            v.kill()
    return "each screen row on its eye after one-pixel moves (%s)" % ", ".join(seen)


def check_two_screens(_):
    """D from Mirror puts the left eye (white) on the window's monitor and the right eye (black)
    on the other, each fitted to its monitor; Esc on either window, or the other monitor
    unplugged, gives the window back where it was; quitting in Two Screens keeps Mirror."""
    folder, arranged = make_app_folder("two-screens"), (71, 53, 619, 457)
    for name, colour in (("ts_DUL.jpg", "white"), ("ts_DUR.jpg", "black")):
        sh(["convert", "-size", "640x480", "xc:" + colour, os.path.join(folder, name)])
    with open(os.path.join(folder, "duoptic.ini"), "wb") as f:
        f.write((settings_text(dict(DEFAULTS, LatestPath=folder, **dict(zip(
            ("WinLeft", "WinTop", "WinWidth", "WinHeight"), arranged)))) + "[Display]\r\nMode=Mirror\r\n").encode())
    tone = lambda p: "grey" if p == GREY else "white" if min(p) > 200 else "black" if max(p) < 55 else p.hex()
    _, shown_h, top = fitted(SCREEN_W, SCREEN_H, 640, 480, 0, 50)
    replug = ["xrandr", "--setmonitor", "s1", "%d/338x%d/270+%d+0" % (SCREEN_W, SCREEN_H, SCREEN_W), "none"]

    def eyes_on_monitors(img):  # the grey bands above and below each eye's picture, its edges
        for x0, eye in ((0, "white"), (SCREEN_W, "black")):
            seen = [tone(img.px(x0 + SCREEN_W // 2, y)) for y in (top - 1, top, top + shown_h - 1, top + shown_h)]
            seen += [tone(img.px(x, SCREEN_H // 2)) for x in (x0, x0 + SCREEN_W - 1)]
            if seen != ["grey", eye, eye, "grey", eye, eye]:
                return "monitor at x %d shows %s, expected %s between grey bands" % (x0, seen, eye)

    v = Viewer(folder, [os.path.join(folder, "ts_DUL.jpg")])
    try:
        v.placed_at(arranged)
        for leave in ("Esc", "Esc on the second screen", "unplugged", None):
            v.keys("d")
            poll_screen(eyes_on_monitors, 15, "D did not give each eye its monitor before %s" % leave)
            if leave == "unplugged":
                sh(["xrandr", "--delmonitor", "s1"])
            elif leave:
                activate(search("^Duoptic - Second Screen$", v.proc.pid)[0] if "second" in leave else v.win)
                xdo("key", "Escape")
            else:
                require(v.close_by_wm() == 0, "exit code not 0")
                break
            v.placed_at(arranged)
            poll_screen(lambda img: check_bands(img, v.client(), 4, 640, 480, 0, 50), 10, "not laid out after " + leave)
            if leave == "unplugged":
                sh(replug)
    finally:
        v.kill()
        if "s1 " not in sh(["xrandr", "--listmonitors"]):
            sh(replug)
    _, kept = parse_settings(read_settings(folder))
    require((kept["WinState"], stored_bounds(kept), kept.get("Mode")) == ("0", arranged, "Mirror"), "kept %s" % kept)
    return "each eye on its monitor; back to %s after Esc on either screen and an unplug" % (arranged,)


def check_actual_size_and_trash(_):
    """F shows a picture larger than its panel one to one around its centre; Delete then Esc keeps
    the pair, Delete then Return trashes both files (with .trashinfo) and shows the next pair."""
    pics = os.path.join(make_app_folder("trash"), "pics")
    os.makedirs(pics)
    w, h, left_eye = 901, 703, os.path.join(pics, "a_DUL.jpg")
    sh(["convert", "-size", "%dx%d" % (w, h), "xc:", "+noise", "Random", "-quality", "100", "-sampling-factor",
        "1x1", left_eye])
    for name in ("a_DUR.jpg", "b_DUP.jpg"):
        shutil.copy2(left_eye, os.path.join(pics, name))
    ref = Image(w, h, sh(["convert", "-define", "jpeg:dct-method=float", left_eye, "-depth", "8", "rgb:-"],
                         binary=True))
    v = Viewer(os.path.dirname(pics), [left_eye])
    try:
        v.wait_title("Duoptic - a - (Parallel)")
        x0, y0, cw, ch = v.client()
        ax, ay, aw, ah = panel_geometry(cw, ch, 4)[0]

        def one_to_one(img):  # the picture's centre at the area's, give or take the rounding
            for left, top in [((w - aw) // 2 + dx, (h - ah) // 2 + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]:
                if all(max(abs(p - q) for p, q in zip(img.row(y0 + ay + y, x0 + ax, x0 + ax + aw),
                                                       ref.row(top + y, left, left + aw))) <= 4 for y in range(ah)):
                    return None
            return "the left area does not show the picture's centre one to one"
        v.keys("f")
        poll_screen(one_to_one, 10, "F")
        for key, title in (("Escape", "a"), ("Return", "b")):
            v.keys("Delete")
            activate(wait_for(lambda: search("^Duoptic - Move to Trash$", v.proc.pid), 10, "Delete asked nothing")[0])
            xdo("key", key)
            v.wait_title("Duoptic - %s - (Parallel)" % title)
            kept = sorted(os.listdir(pics))
            require(kept == ["a_DUL.jpg", "a_DUR.jpg", "b_DUP.jpg"][2 * (key == "Return"):], "%s left %s" % (key, kept))
        trash = os.path.join(ENV.tmp, "xdg", "data", "Trash")
        for name in ("a_DUL.jpg", "a_DUR.jpg"):
            with open(os.path.join(trash, "info", name + ".trashinfo")) as info:
                require("Path=%s/%s\n" % (pics, name) in info.read() and os.path.exists(os.path.join(
                    trash, "files", name)), "%s is not in the trash with a .trashinfo naming its place" % name)
    finally:
        v.kill()
    return "F one to one; Esc kept the pair, Return trashed it and showed the next"


def xdnd_drop(target, x, y, uri, timeout=5.0):
    """Drops `uri` on window `target` at root (x, y) as a file manager does (XDND 5), which xdotool
    cannot. Returns whether the drop was accepted, and whether it was answered within `timeout`."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x11.XOpenDisplay(ENV.display.encode()))
    me = x11.XCreateSimpleWindow(dpy, x11.XDefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0)
    atom = lambda name: x11.XInternAtom(dpy, name.encode(), 0)
    uri_list, payload = atom("text/uri-list"), (uri + "\r\n").encode()
    x11.XSetSelectionOwner(dpy, atom("XdndSelection"), me, 0)

    def send(to, words):  # an XEvent is 24 longs on a 64-bit machine
        x11.XSendEvent(dpy, to, 0, 0, (ctypes.c_long * 24)(*words))
        x11.XFlush(dpy)

    def message(kind, data):  # type, serial, send_event, display, window, message_type, format
        send(target, [33, 0, 0, 0, target, atom(kind), 32] + data)

    def wait(kind):  # serves the selection meanwhile; the message's data, or None
        event, deadline = (ctypes.c_long * 24)(), time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not x11.XPending(dpy):
                time.sleep(0.01)
                continue
            x11.XNextEvent(dpy, event)
            kind_of = event[0] & 0xFFFFFFFF
            if kind_of == 30:  # SelectionRequest: ..., owner, requestor, selection, target, property, time
                known = event[7] == uri_list
                if known:
                    x11.XChangeProperty(dpy, event[5], event[8], uri_list, 8, 0, payload, len(payload))
                send(event[5], [31, 0, 0, 0, event[5], event[6], event[7], event[8] if known else 0, event[9]])
            elif kind_of == 33 and event[5] == atom(kind):
                return list(event[7:12])
        return None

    message("XdndEnter", [me, 5 << 24, uri_list, 0, 0])
    message("XdndPosition", [me, 0, (x << 16) | y, 0, atom("XdndActionCopy")])
    status = wait("XdndStatus")
    message("XdndDrop", [me, 0, 0, 0, 0])
    answered = wait("XdndFinished") is not None
    x11.XCloseDisplay(dpy)
    return status is not None and bool(status[1] & 1), answered


def check_drop_answered_sigterm_under_report(s):
    """A drop is answered at once, also when it opens an error report; SIGTERM while that report is
    open ends the run normally and writes the settings."""
    damaged = os.path.join(ENV.tmp, "damaged-pair")
    os.makedirs(damaged)
    with open(os.path.join(damaged, "broken_DUP.jpg"), "wb") as f:
        f.write(b"\xff\xd8 cut short")
    if os.path.exists(os.path.join(s.folder, "duoptic.ini")):
        os.remove(os.path.join(s.folder, "duoptic.ini"))
    v = Viewer(s.folder)
    try:
        x, y, w, h = client_geometry(v.win)
        uri = "file://" + urllib.parse.quote(os.path.join(damaged, "broken_DUP.jpg"))
        require(xdnd_drop(v.win, x + w // 2, y + h // 2, uri) == (True, True), "the drop was not answered")
        wait_for(lambda: search("^duoptic$", v.proc.pid), 15, "no error report for the damaged pair")
        v.proc.send_signal(signal.SIGTERM)
        require(v.wait_exit() == 0, "exit code %s with the report open" % v.proc.returncode)
    finally:
        v.kill()
    order, values = parse_settings(read_settings(s.folder))
    require(order == EXPECTED_ORDER and values["LatestPath"] == damaged, "settings %s" % values)
    return "drop answered; ended with 0 under the report; settings written"


# --- the Filer and real stereo pairs


def jpeg_size(path):
    """Width and height from a JPEG's first SOF marker."""
    with open(path, "rb") as f:
        data = f.read()
    i = 2
    while i + 9 < len(data):
        require(data[i] == 0xFF, "bad marker in %s" % path)
        marker = data[i + 1]
        length = (data[i + 2] << 8) | data[i + 3]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            return (data[i + 7] << 8) | data[i + 8], (data[i + 5] << 8) | data[i + 6]
        i += 2 + length
    raise CheckFailed("no SOF in %s" % path)


def open_in_filer(v, type_ahead, border=4):
    v.choose("Open", border)
    filer = wait_for(lambda: search("^Duoptic - Filer$", v.proc.pid), 15, "the Filer did not open")[0]
    activate(filer)
    xdo("type", "--delay", 80, type_ahead)
    # "Open" is not a default button: click it (client 324,300, 45 x 57).
    x, y, w, h = client_geometry(filer)
    require((w, h) == (372, 361), "the Filer's client area is %dx%d" % (w, h))
    xdo("mousemove", x + 346, y + 328, "click", 1)
    wait_for(lambda: not search("^Duoptic - Filer$", v.proc.pid), 15, "the Filer did not close on Open")


class FilerSession:
    def __init__(self):
        self.folder = make_app_folder("filer")
        self.pairs = os.path.join(ENV.tmp, "pairs")
        os.makedirs(self.pairs)
        stereo = os.path.join(ENV.testdata, "stereo")
        for source, target in (("aloeL.jpg", "aloe_DUL.jpg"), ("aloeR.jpg", "aloe_DUR.jpg"),
                               ("stereograph.left-right.jpg", "card_DUP.jpg"),
                               ("02-super-mario.jps", "mario_DUC.jpg")):
            shutil.copyfile(os.path.join(stereo, source), os.path.join(self.pairs, target))
        self.sizes = {"aloe": jpeg_size(os.path.join(self.pairs, "aloe_DUL.jpg"))}
        for name, suffix in (("card", "_DUP.jpg"), ("mario", "_DUC.jpg")):
            w, h = jpeg_size(os.path.join(self.pairs, name + suffix))
            self.sizes[name] = (w // 2, h)
        values = dict(DEFAULTS, SlideInterval=1, LatestPath=self.pairs, WinLeft=60, WinTop=40,
                      WinWidth=700, WinHeight=560)
        with open(os.path.join(self.folder, "duoptic.ini"), "wb") as f:
            f.write(settings_text(values).encode())
        self.viewer = None


def check_filer_open_and_next(f):
    f.viewer = v = Viewer(f.folder)
    v.placed_at((60, 40, 700, 560))
    open_in_filer(v, "c")
    v.wait_title("Duoptic - card - (Parallel)", 30)
    client = v.client()
    shown = []
    for name in ("card", "mario", "aloe", "card"):
        if name != "card" or shown:
            v.keys("space")
            v.wait_title("Duoptic - %s - (Parallel)" % name, 30)
        w, h = f.sizes[name]
        poll_screen(lambda img: check_bands(img, client, 4, w, h, 0, 50), 15,
                    "%s is not drawn fitted from a %dx%d picture" % (name, w, h))
        shown.append(name)
    return "Open -> card, Space -> %s" % " -> ".join(shown[1:])


def check_slide_show(f):
    v = f.viewer
    require(v is not None and v.alive(), "no viewer")
    order = ["card", "mario", "aloe"]
    v.choose("Slide Show", 4)
    names = [v.title()]
    started = time.monotonic()
    while time.monotonic() - started < 12 and len(names) < 4:
        t = v.title()
        if t != names[-1] and t != "Loading files ...":
            names.append(t)
        time.sleep(0.05)
    names = [re.sub(r"^Duoptic - (.*) - \(Parallel\)$", r"\1", t) for t in names]
    require(len(names) >= 4, "the pair changed %d times in 12 s: %s" % (len(names) - 1, names))
    # On a busy machine a slow load lets the next tick follow at once, so a pair can show too
    # briefly to be seen here: only the names themselves are checked, not that none was skipped.
    for name in names:
        require(name in order, "the slide show showed %r" % name)
    took = time.monotonic() - started
    v.keys("Escape")
    # A tick already queued may still step once; after that the title must rest.
    quiet = {"title": v.title(), "since": time.monotonic()}

    def resting():
        t = v.title()
        if t != quiet["title"]:
            quiet["title"], quiet["since"] = t, time.monotonic()
        return time.monotonic() - quiet["since"] >= 3.0

    wait_for(resting, 8, "the slide show went on after Esc", interval=0.1)
    code = v.close_by_wm()
    require(code == 0, "exit code %s" % code)
    _, values = parse_settings(read_settings(f.folder))
    require(values["SlideInterval"] == "1", "SlideInterval=%s" % values["SlideInterval"])
    require(values["LatestPath"] == f.pairs, "LatestPath=%s, expected %s" % (values["LatestPath"], f.pairs))
    return "%d changes in %.1f s: %s" % (len(names) - 1, took, " -> ".join(names))


# --- the soak


def build_soak_folder(root):
    """300 pairs in name order, mixing sound files with damaged ones; returns [(name, fails)]."""
    os.makedirs(root)
    jpeg = os.path.join(ENV.testdata, "jpeg")
    made = os.path.join(ENV.tmp, "made")
    os.makedirs(made)
    plasma = []
    for i in range(3):
        path = os.path.join(made, "plasma%d.jpg" % i)
        sh(["convert", "-size", "128x48", "plasma:", "-quality", "85", path], timeout=60)
        plasma.append(path)
    with open(os.path.join(jpeg, "testorig.jpg"), "rb") as src:
        header_cut = src.read()[:200]

    def data(source):
        with open(source, "rb") as src:
            return src.read()

    sound = {
        "plasma0": data(plasma[0]), "plasma1": data(plasma[1]), "plasma2": data(plasma[2]),
        "testorig": data(os.path.join(jpeg, "testorig.jpg")),
        "progressive": data(os.path.join(jpeg, "testimgp.jpg")),
        "arithmetic": data(os.path.join(jpeg, "testimgari.jpg")),
        "hopper": data(os.path.join(jpeg, "hopper_orientation_6.jpg")),
        "truncated": data(os.path.join(jpeg, "truncated_jpeg.jpg")),  # libjpeg only warns
    }
    broken = {
        "empty": b"",
        "text": b"this is not a picture\n" * 20,
        "header_cut": header_cut,
        "missing_sos": data(os.path.join(jpeg, "missing-sos.jpg")),
        "twelve_bit": data(os.path.join(jpeg, "testorig12.jpg")),
        "huffman": data(os.path.join(jpeg, "derive-huffman-codes-overflow.jpg")),
    }
    # One cycle of 30: what each name holds. ("2", left, right) is a pair of two files.
    cycle = [("P", "plasma0"), ("C", "testorig"), ("P", "empty"), ("2", "plasma1", "plasma2"),
             ("P", "progressive"), ("C", "plasma1"), ("P", "text"), ("P", "arithmetic"),
             ("2", "plasma2", "plasma0"), ("P", "hopper"), ("C", "truncated"), ("P", "missing_sos"),
             ("P", "plasma2"), ("C", "plasma0"), ("2", "plasma0", "empty"), ("P", "testorig"),
             ("P", "twelve_bit"), ("C", "progressive"), ("P", "plasma1"), ("2", "text", "plasma1"),
             ("P", "truncated"), ("C", "header_cut"), ("P", "plasma0"), ("2", "hopper", "hopper"),
             ("P", "huffman"), ("C", "arithmetic"), ("P", "plasma2"), ("C", "plasma1"),
             ("P", "testorig"), ("P", "plasma1")]
    every = dict(sound, **broken)
    entries = []
    for i in range(300):
        kind, *parts = cycle[i % len(cycle)]
        name = "p%03d" % i
        if kind == "2":
            files = [(name + "_DUL.jpg", parts[0]), (name + "_DUR.jpg", parts[1])]
        else:
            files = [(name + ("_DUP.jpg" if kind == "P" else "_DUC.jpg"), parts[0])]
        for file_name, what in files:
            with open(os.path.join(root, file_name), "wb") as out:
                out.write(every[what])
        entries.append((name, any(what in broken for _, what in files)))
    return entries


def rss_kib(pid):
    """Resident set size in KiB, as ps -o rss shows it."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    raise CheckFailed("no RSS for the viewer (ended?)")


def check_soak(_):
    folder = make_app_folder("soak")
    pairs = os.path.join(ENV.tmp, "soak-pairs")
    entries = build_soak_folder(pairs)
    require(not entries[0][1], "the first soak pair must be sound")
    values = dict(DEFAULTS, LatestPath=pairs, WinWidth=500, WinHeight=400)
    with open(os.path.join(folder, "duoptic.ini"), "wb") as f:
        f.write(settings_text(values).encode())
    v = Viewer(folder)
    try:
        open_in_filer(v, "p")
        v.wait_title("Duoptic - p000 - (Parallel)", 30)
        boxes = 0
        expected_boxes = 0
        rss = {}
        v.focus()
        for step in range(1, 301):
            name, fails = entries[step % 300]
            expected_boxes += fails
            xdo("key", "space")
            want = "Duoptic - %s - (Parallel)" % name

            def outcome():
                title = v.title()
                if title == want:
                    return "loaded"
                if title == "Loading files ..." and search("^duoptic$", v.proc.pid):
                    return "error"
                require(v.alive(), "the viewer ended at step %d (%s)" % (step, name))
                return None

            got = wait_for(outcome, 20, lambda: "step %d (%s): title %r" % (step, name, v.title()),
                           interval=0.02)
            if got == "error":
                require(fails, "step %d: %s is sound but gave an error box" % (step, name))
                boxes += 1
                box = search("^duoptic$", v.proc.pid)[0]
                activate(box)
                xdo("key", "Return")
                wait_for(lambda: not search("^duoptic$", v.proc.pid), 10,
                         "step %d: the error box did not close on Enter" % step)
                v.focus()
            else:
                require(not fails, "step %d: %s is damaged but loaded without an error box" % (step, name))
            if step in (100, 300):
                rss[step] = rss_kib(v.proc.pid)
        require(boxes == expected_boxes, "%d error boxes, expected %d" % (boxes, expected_boxes))
        growth = (rss[300] - rss[100]) / rss[100]
        require(growth <= 0.20, "RSS grew from %d to %d KiB (%.0f %%)" % (rss[100], rss[300], 100 * growth))
        # Still answering: one more step, then a clean end that writes the settings.
        v.focus()
        xdo("key", "space")
        v.wait_title("Duoptic - %s - (Parallel)" % entries[1][0])
        code = v.close_by_wm()
        require(code == 0, "exit code %s" % code)
        _, values = parse_settings(read_settings(folder))
        return "300 steps, %d error boxes dismissed, RSS %d -> %d KiB (%+.1f %%)" % (
            boxes, rss[100], rss[300], 100 * growth)
    finally:
        v.kill()


# --------------------------------------------------------------------------------------------
# what a screen reader sees: the accessibility (AT-SPI) tree

# For the system's python, which has libatspi's bindings: "window<TAB>role<TAB>name" for each node.
ATSPI_WALK = r"""
import sys, gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi
def walk(node, window):
    print("\t".join((window, node.get_role_name(), (node.get_name() or "").replace("\t", " "))))
    for child in filter(None, map(node.get_child_at_index, range(node.get_child_count()))):
        walk(child, window)
for app in filter(None, map(Atspi.get_desktop(0).get_child_at_index, range(Atspi.get_desktop(0).get_child_count()))):
    if app.get_process_id() == int(sys.argv[1]):
        for top in filter(None, map(app.get_child_at_index, range(app.get_child_count()))):
            walk(top, top.get_name())
"""
# What a user can focus or act on; each must carry a name.
OPERABLE = {"push button", "check box", "radio button", "combo box", "slider", "scroll bar", "spin button",
            "text", "list", "menu", "menu item", "image"}


def named_controls(v, env, window, wanted):
    """Polls the tree until the window whose name matches `window` has each (role, words of its name)
    of `wanted` and no operable node without a name; returns (role, name) of its nodes."""
    def probe():
        done = subprocess.run(["/usr/bin/python3", "-c", ATSPI_WALK, str(v.proc.pid)], capture_output=True,
                              timeout=15, env=dict(ENV.base_env, **env))
        nodes = [line.split("\t") for line in done.stdout.decode().splitlines()]
        inside = [(role, name.lower()) for w, role, name in nodes if re.match(window, w)]
        missing = [" ".join([r] + ws) for r, ws in wanted if not any(
            role == r and all(w in name for w in ws) for role, name in inside)]
        missing += ["an unnamed " + role for role, name in inside if role in OPERABLE and not name.strip()]
        probe.missing = missing if inside else ["the window (%s)" % done.stderr.decode(errors="replace")[-200:]]
        return None if probe.missing else inside
    return wait_for(probe, 15, lambda: "%s lacks %s" % (window, ", ".join(probe.missing)), interval=0.3)


def check_accessibility_tree(_):
    bus = os.path.join(ENV.tmp, "session-bus")
    env = {"DBUS_SESSION_BUS_ADDRESS": "unix:path=" + bus}
    daemon = ENV.spawn(["dbus-daemon", "--session", "--nofork", "--address=" + env["DBUS_SESSION_BUS_ADDRESS"]],
                       "dbus.log", env=ENV.base_env)
    wait_for(lambda: os.path.exists(bus), 10, "the session bus did not start")
    # Up before the viewer, which looks for it as it starts; without DISPLAY, so that it leaves no
    # bus address on the X server for the viewers of later checks.
    launcher = ENV.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "dbus.log",
                         env=dict(ENV.base_env, **env))
    v = Viewer(make_app_folder("a11y"), extra_env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    try:
        pair = v.title().split(" - ")[1].lower()
        nodes = named_controls(v, env, MAIN_TITLE.pattern, [
            ("slider", ["zoom"]), ("scroll bar", ["horizontal"]), ("scroll bar", ["vertical"]),
            ("push button", ["tips"]), ("push button", ["reverse"]),
            ("image", ["left eye", pair]), ("image", ["right eye", pair])])
        areas = [name for role, name in nodes if role == "image"]
        require(areas[0].startswith("left eye"), "the left image area is named %r" % areas[0])
        _, _, _, ch = v.client()
        v.click(10, ch - 11)  # "R"
        wait_for(lambda: [n for r, n in named_controls(v, env, MAIN_TITLE.pattern, []) if r == "image"] == areas[::-1],
                 10, "after Reverse the image areas' names are not swapped")
        v.click(10, ch - 31)  # "?"
        tips = named_controls(v, env, "^Duoptic - Tips$", [("push button", ["ok"]), ("text", []), ("image", [])])
        return "image areas %s; %d nodes in the Tips" % (areas, len(tips))
    finally:
        v.kill()
        launcher.terminate()
        daemon.terminate()


# --------------------------------------------------------------------------------------------


def main():
    global ENV
    if len(sys.argv) != 3:
        print("usage: run_e2e.py <duoptic executable> <testdata folder>", file=sys.stderr)
        return 2
    for tool in ("Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "wmctrl", "import", "convert", "xrandr"):
        if shutil.which(tool) is None:
            print("FAIL tools - %s is not installed" % tool)
            print("0 passed, 1 failed")
            return 1
    ENV = Env(sys.argv[1], sys.argv[2])
    # A terminated run still tears down its X server and viewers.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    suite = Suite()
    try:
        if not suite.run("x_server", lambda: ENV.start_x() or "display %s" % ENV.display):
            return 1
        main_session = MainSession()
        for name, fn in (("first_run_title_placement_bands", check_first_run),
                         ("keys_wheel_zoom_and_shift", check_keys_move_and_zoom),
                         ("popup_menu_and_reverse", check_popup_menu),
                         ("center_border_prompt", check_center_border),
                         ("tips_dialog", check_tips),
                         ("exit_writes_settings", check_exit_writes_settings)):
            viewer = main_session.viewer
            if fn is not check_first_run and (viewer is None or not viewer.alive()):
                suite.run(name, lambda: require(False, "not run: no viewer is running"))
                continue
            suite.run(name, lambda fn=fn: fn(main_session))
        if main_session.viewer is not None:
            main_session.viewer.kill()
        suite.run("placement_no_creep", lambda: check_no_creep(main_session))
        suite.run("maximised_restored", lambda: check_maximised(main_session))
        suite.run("fullscreen_and_back", lambda: check_fullscreen(main_session))
        suite.run("signals_write_settings", lambda: check_signals_write_settings(main_session))
        suite.run("command_line_pair", lambda: check_command_line_pair(main_session))
        suite.run("interlaced_rows_stay_on_the_screen", lambda: check_interlaced_rows_stay_on_the_screen(None))
        suite.run("sigterm_during_read_ahead", lambda: check_sigterm_during_read_ahead(None))
        suite.run("drop_answered_sigterm_under_report",
                  lambda: check_drop_answered_sigterm_under_report(main_session))
        suite.run("restore_lays_out", lambda: check_restore_lays_out(main_session))
        suite.run("accessibility_tree", lambda: check_accessibility_tree(None))
        suite.run("two_screens", lambda: check_two_screens(None))

        suite.run("actual_size_and_trash", lambda: check_actual_size_and_trash(None))

        filer = FilerSession()
        suite.run("filer_open_and_space", lambda: check_filer_open_and_next(filer))
        suite.run("slide_show", lambda: check_slide_show(filer))
        if filer.viewer is not None:
            filer.viewer.kill()
        suite.run("soak_300_steps", lambda: check_soak(None))
    finally:
        if suite.failed:
            log = os.path.join(ENV.tmp, "viewer.log")
            if os.path.exists(log):
                with open(log, errors="replace") as f:
                    tail = f.read()[-3000:]
                if tail.strip():
                    print("--- viewer output (last lines) ---\n" + tail, flush=True)
        ENV.cleanup()
        print("run time %.0f s" % (time.monotonic() - START))
        print("%d passed, %d failed" % (suite.passed, suite.failed), flush=True)
    return 1 if suite.failed else 0


if __name__ == "__main__":
    sys.exit(main())
