"""Timed rounds of duoptic and feh in an X server without a window manager, from the outside:
window titles and pixel probes of the screen, keys and clicks through XTest. Called by
bench/instant-compare.sh, which prepares the pictures, the program folder and the X server, and
prints the table rows this writes to standard output.

usage: instant_rounds.py VIEWER WALK FEH_FILE WIDTH HEIGHT ROUNDS [FOLDER MPO EMPTY_WINDOW]
  WALK lists the pairs of the viewer's folder in the order Space steps through them, one
  "name tint" a line, the tints (red, blue) alternating; FEH_FILE is the first pair's left file,
  or "" to skip the rows that need feh. FOLDER is the viewer's folder, MPO an MPO file of the
  first pair's tint and EMPTY_WINDOW a program that shows an empty Qt window titled "empty
  window": with them, the cold starts are measured too.
"""
import ctypes
import ctypes.util
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

viewer, walk_file, feh_file = sys.argv[1], sys.argv[2], sys.argv[3]
width, height, rounds = int(sys.argv[4]), int(sys.argv[5]), int(sys.argv[6])
folder, mpo_file, empty_window = (sys.argv[7:10] + ["", "", ""])[:3]
with open(walk_file) as lines:
    tints = dict(line.split() for line in lines)
pairs = list(tints)  # in the order of the walk

x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XGetPixel.restype = ctypes.c_ulong
x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
x11.XDestroyImage.argtypes = [ctypes.c_void_p]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.c_ulong),
                           ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                           ctypes.POINTER(ctypes.c_uint)]
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(ctypes.c_ulong)]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
x11.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_int)]
class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("c_class", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                     ctypes.POINTER(WindowAttributes)]
IS_VIEWABLE = 2
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
# A window found by its title may not be mapped yet, or already gone: such requests fail, and
# the rounds look again instead of letting Xlib end the program.
ignore_errors = ERROR_HANDLER(lambda display, event: 0)
x11.XSetErrorHandler(ignore_errors)
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                      ctypes.c_ulong]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_ulong]


class X:
    """Only what the rounds need. Without a window manager the top-level windows are the root's
    children, and no one gives a new window the keyboard focus."""

    def __init__(self):
        self.dpy = x11.XOpenDisplay(None)
        if not self.dpy:
            raise Failed("cannot open the display")
        self.root = x11.XDefaultRootWindow(self.dpy)

    def title(self, window):
        text = ctypes.c_char_p()
        if not x11.XFetchName(self.dpy, window, ctypes.byref(text)) or not text.value:
            return ""
        value = text.value.decode("latin-1")
        x11.XFree(text)
        return value

    def window_titled(self, prefix):
        """A top-level window whose title starts with prefix and that has a visible pixel."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        x11.XSync(self.dpy, 0)
        if not x11.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(count)):
            return None
        found = [children[i] for i in range(count.value)
                 if self.title(children[i]).startswith(prefix)]
        if children:
            x11.XFree(children)
        return found[-1] if found else None

    def popups(self):
        """The top-level windows on screen that no window manager would handle: menus."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not x11.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                              ctypes.byref(children), ctypes.byref(count)):
            return []
        found = []
        for i in range(count.value):
            attributes = WindowAttributes()
            if (x11.XGetWindowAttributes(self.dpy, children[i], ctypes.byref(attributes)) and
                    attributes.override_redirect and attributes.map_state == IS_VIEWABLE):
                found.append(children[i])
        if children:
            x11.XFree(children)
        return found

    def origin(self, window):
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        x11.XTranslateCoordinates(self.dpy, window, self.root, 0, 0, ctypes.byref(x),
                                  ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value

    def pixels_at(self, x, y):
        """The raw pixels of the 9 x 9 block of the screen around (x, y)."""
        image = x11.XGetImage(self.dpy, self.root, x - 4, y - 4, 9, 9, 0xFFFFFFFF, 2)
        if not image:
            return None
        pixels = tuple(x11.XGetPixel(image, dx, dy) for dy in range(9) for dx in range(9))
        x11.XDestroyImage(image)
        return pixels

    def colour_at(self, x, y):
        """'red', 'blue' or None: the mean of a 9 x 9 block of the screen."""
        image = x11.XGetImage(self.dpy, self.root, x - 4, y - 4, 9, 9, 0xFFFFFFFF, 2)
        if not image:
            return None
        r = b = 0
        for dy in range(9):
            for dx in range(9):
                p = x11.XGetPixel(image, dx, dy)
                r, b = r + (p >> 16 & 255), b + (p & 255)
        x11.XDestroyImage(image)
        r, b = r / 81, b / 81
        return "red" if r > b + 60 else "blue" if b > r + 60 else None

    def key(self, keysym):
        code = x11.XKeysymToKeycode(self.dpy, keysym)
        xtst.XTestFakeKeyEvent(self.dpy, code, 1, 0)
        xtst.XTestFakeKeyEvent(self.dpy, code, 0, 0)
        x11.XFlush(self.dpy)

    def focused(self):
        window, revert = ctypes.c_ulong(), ctypes.c_int()
        x11.XGetInputFocus(self.dpy, ctypes.byref(window), ctypes.byref(revert))
        return window.value

    def focus(self, window):
        """Gives the window the keyboard once it is on screen; that is when it has appeared."""
        def taken():
            x11.XSetInputFocus(self.dpy, window, 2, 0)  # RevertToParent, CurrentTime
            x11.XSync(self.dpy, 0)
            return self.focused() == window
        wait_for(taken, 10, "the window never took the keyboard")

    def point_at(self, x, y):
        xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        x11.XFlush(self.dpy)

    def click(self, button):
        xtst.XTestFakeButtonEvent(self.dpy, button, 1, 0)
        xtst.XTestFakeButtonEvent(self.dpy, button, 0, 0)
        x11.XFlush(self.dpy)


SPACE, DOWN, RETURN = 0x20, 0xFF54, 0xFF0D


class Failed(Exception):
    pass


def wait_for(condition, seconds, why, step=0.002):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    raise Failed(why)


class Program:
    """One start of a program, ended (and waited for) when the round is over. With trace set,
    the viewer writes the moments of its work to its standard error (see base/Trace.h), read
    back by moment()."""

    def __init__(self, command, trace=False):
        self.started = time.monotonic()
        self.log = tempfile.TemporaryFile() if trace else None
        env = dict(os.environ, DUOPTIC_TRACE="1") if trace else None
        self.process = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                        stderr=self.log or subprocess.DEVNULL, env=env,
                                        start_new_session=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.process.send_signal(signal.SIGKILL)  # nothing of a round is kept, settings included
        self.process.wait()
        if self.log:
            self.log.close()

    def moment(self, what):
        """The monotonic time of the program's first trace line for what, or None."""
        self.log.seek(0)
        for line in self.log.read().decode(errors="replace").splitlines():
            parts = line.split(" ", 2)
            if len(parts) == 3 and parts[0] == "duoptic-trace" and parts[2] == what:
                return float(parts[1])
        return None


def tint(pair):
    return tints[pair]


class Viewer:
    def __init__(self, x, program, focus=True):
        self.x = x
        self.program = program
        self.window = wait_for(lambda: x.window_titled("Duoptic - "), 30, "no viewer window",
                               step=0.001)
        if focus:
            self.x.focus(self.window)

    def probes(self):
        left, top = self.x.origin(self.window)
        return [(left + width // 4, top + height * 45 // 100),
                (left + width * 3 // 4, top + height * 45 // 100)]

    def shows(self, pair, colour=None):
        if self.x.title(self.window) != "Duoptic - %s - (Parallel)" % pair:
            return False
        return all(self.x.colour_at(x, y) == (colour or tint(pair)) for x, y in self.probes())

    def press_and_time(self, keysym, pair):
        """Seconds from the key to the pair in both panels."""
        start = time.monotonic()
        self.x.key(keysym)
        try:
            wait_for(lambda: self.shows(pair), 20, "")
        except Failed:
            raise Failed("%s did not appear (title %r, probes %r)" % (
                pair, self.x.title(self.window),
                [self.x.colour_at(x, y) for x, y in self.probes()]))
        return time.monotonic() - start


def feh_first_frame(x):
    with Program(["feh", "--geometry", "%dx%d+0+0" % (width, height), "--scale-down",
                  "--title", "feh - %n", feh_file]) as feh:
        window = wait_for(lambda: x.window_titled("feh - "), 30, "no feh window")
        wait_for(lambda: x.colour_at(width // 2, height // 2) == tint(pairs[0]), 20,
                 "feh showed no picture")
        del window
        return time.monotonic() - feh.started


def first_space(x, settle):
    """A fresh start, Space `settle` seconds after the window appears (at once for 0)."""
    with Program([viewer]) as program:
        view = Viewer(x, program)
        if settle:
            time.sleep(settle)
        return view.press_and_time(SPACE, pairs[0])


def repeated_space(x, presses):
    with Program([viewer]) as program:
        view = Viewer(x, program)
        time.sleep(1.0)
        view.press_and_time(SPACE, pairs[0])
        times = []
        for k in range(1, presses + 1):
            time.sleep(1.0)  # a user looks at a pair before stepping on
            times.append(view.press_and_time(SPACE, pairs[k % len(pairs)]))
        return times


def cold_pair(x, path, pair, colour):
    """A fresh start on a pair's file, to both panels showing that pair, from the process start."""
    with Program([viewer, path]) as program:
        view = Viewer(x, program, focus=False)
        wait_for(lambda: view.shows(pair, colour), 20, "%s never appeared" % pair, step=0.001)
        return time.monotonic() - program.started


def cold_window(x, command, title):
    """A fresh start to its window on screen and painted: the probe in the left half of the
    window no longer shows what the screen showed there before."""
    probe = (width // 4, height * 45 // 100)
    before = x.pixels_at(*probe)
    with Program(command) as program:
        def painted():
            window = x.window_titled(title)
            if window is None:
                return False
            left, top = x.origin(window)
            now = x.pixels_at(left + probe[0], top + probe[1])
            return now is not None and now != before
        wait_for(painted, 20, "%s never painted" % title, step=0.001)
        return time.monotonic() - program.started


def slide_show(x, slides, interval):
    """How late each slide appeared after its tick. The ticks are counted from the moment the
    program's own timer started, as its trace gives it: the k-th falls k intervals later."""
    with Program([viewer], trace=True) as program:
        view = Viewer(x, program)
        time.sleep(1.0)
        left, top = view.x.origin(view.window)
        view.x.point_at(left + width // 4, top + height // 2)
        view.x.click(3)  # the pop-up menu
        time.sleep(0.5)
        for _ in range(5):  # Open, Reverse, Zoom in, Zoom out, then Slide Show
            view.x.key(DOWN)
            time.sleep(0.05)
        # The menu's window is taken down as its command runs, which starts the timer.
        menus = view.x.popups()
        if not menus:
            raise Failed("the menu did not open")
        view.x.key(RETURN)
        wait_for(lambda: not set(menus) & set(view.x.popups()), 5, "the menu stayed",
                 step=0.0005)
        late = []
        for k in range(1, slides + 1):
            pair = pairs[(k - 1) % len(pairs)]
            wait_for(lambda: view.shows(pair), interval * 3 + 5, "slide %d (%s) never appeared"
                     % (k, pair), step=0.001)
            late.append(time.monotonic())
        started = program.moment("slide timer started")
        if started is None:
            raise Failed("the viewer traced no slide timer")
        return [seen - (started + k * interval) for k, seen in enumerate(late, 1)]


def row(name, measured, reference, ratio, bound):
    verdict = "ok" if ratio <= bound else "MISS"
    print("@row\t%s\t%s\t%s\t%.2f\t<= %.2f\t%s" % (name, measured, reference, ratio, bound,
                                                  verdict), flush=True)


def skipped(name, why):
    print("@row\t%s\tskipped: %s\t-\t-\t-\t-" % (name, why), flush=True)


def ms(seconds):
    return "%.0f ms" % (seconds * 1e3)


ROW_LATE = "first Space 1 s after start, 2 x 6000x4000 (Xvfb)"
ROW_AT_ONCE = "first Space as the window appears"
ROW_REPEATED = "repeated Space, 1 s apart"
ROW_SLIDES = "slide show, 1 s, 20 pairs: latest slide after its tick"
ROW_COLD_PAIR = "cold start on a pair file to both panels, 2 x 6000x4000"
ROW_COLD_PAIR_SLOWEST = "cold start on a pair file, slowest of the rounds"
ROW_COLD_MPO = "cold start on an MPO file to both panels, 2 x 6000x4000"
ROW_COLD_FOLDER = "cold start on a folder to the window painted"


def cold_rounds(x, count):
    """The cold starts, interleaved round by round with their references; the first round only
    fills the caches. Prints their rows."""
    first = pairs[0]
    mpo_name = mpo_file.rsplit("/", 1)[-1].rsplit(".", 1)[0]
    times = {"pair": [], "mpo": [], "folder": [], "feh": [], "empty": []}
    try:
        for r in range(count + 1):
            measured = {
                "pair": cold_pair(x, "%s/%s_DUL.jpg" % (folder, first), first, tint(first)),
                "feh": feh_first_frame(x),
                "mpo": cold_pair(x, mpo_file, mpo_name, tint(first)),
                "folder": cold_window(x, [viewer, folder], "Duoptic - "),
                "empty": cold_window(x, [empty_window], "empty window"),
            }
            if r:
                for name, seconds in measured.items():
                    times[name].append(seconds)
                print("cold round %d: %s" % (r, ", ".join(
                    "%s %s" % (name, ms(seconds)) for name, seconds in measured.items())),
                    file=sys.stderr)
    except Failed as e:
        for name in (ROW_COLD_PAIR, ROW_COLD_PAIR_SLOWEST, ROW_COLD_MPO, ROW_COLD_FOLDER):
            skipped(name, str(e))
        return
    feh = statistics.median(times["feh"])
    pair = statistics.median(times["pair"])
    row(ROW_COLD_PAIR, "%s (median of %d)" % (ms(pair), count),
        "feh start to first frame " + ms(feh), pair / feh, 0.8)
    row(ROW_COLD_PAIR_SLOWEST, ms(max(times["pair"])), "feh median " + ms(feh),
        max(times["pair"]) / feh, 1.2)
    mpo = statistics.median(times["mpo"])
    row(ROW_COLD_MPO, "%s (median of %d)" % (ms(mpo), count),
        "feh start to first frame " + ms(feh), mpo / feh, 0.8)
    opened, empty = statistics.median(times["folder"]), statistics.median(times["empty"])
    row(ROW_COLD_FOLDER, "%s (median of %d)" % (ms(opened), count),
        "empty Qt window " + ms(empty), opened / empty, 1.3)


def main():
    x = X()
    fresh = {ROW_LATE: [], ROW_AT_ONCE: []}
    reference = []
    failed = {}
    # Rounds interleaved, so that a change in the machine's load hits both programs alike; the
    # first round only fills the caches.
    for r in range(rounds + 1):
        for name, settle in ((ROW_LATE, 1.0), (ROW_AT_ONCE, 0.0)):
            try:
                seconds = first_space(x, settle)
                if r:
                    fresh[name].append(seconds)
            except Failed as e:
                failed[name] = str(e)
        if feh_file:
            try:
                seconds = feh_first_frame(x)
                if r:
                    reference.append(seconds)
            except Failed as e:
                failed["feh"] = str(e)
        if r and not failed:
            print("round %d: viewer %s and %s, feh %s" % (r, ms(fresh[ROW_LATE][-1]),
                                                         ms(fresh[ROW_AT_ONCE][-1]),
                                                         ms(reference[-1]) if feh_file else "-"),
                  file=sys.stderr)
    repeated = []
    try:
        repeated = repeated_space(x, 8)
        print("repeated: %s" % " ".join(ms(t) for t in repeated), file=sys.stderr)
    except Failed as e:
        failed[ROW_REPEATED] = str(e)

    feh = statistics.median(reference) if reference else None
    why_no_feh = failed.get("feh", "feh is missing")
    for name, values, bound in ((ROW_LATE, fresh[ROW_LATE], 0.25),
                                (ROW_REPEATED, repeated, 0.15),
                                (ROW_AT_ONCE, fresh[ROW_AT_ONCE], 1.0)):
        if name in failed:
            skipped(name, failed[name])
        elif feh is None:
            skipped(name, why_no_feh)
        else:
            measured = statistics.median(values)
            row(name, "%s (median of %d)" % (ms(measured), len(values)),
                "feh start to first frame " + ms(feh), measured / feh, bound)

    if folder and mpo_file and empty_window and feh_file:
        cold_rounds(x, 7)
    else:
        for name in (ROW_COLD_PAIR, ROW_COLD_PAIR_SLOWEST, ROW_COLD_MPO, ROW_COLD_FOLDER):
            skipped(name, "feh or the cold-start files are missing")

    try:
        late = slide_show(x, 20, 1.0)
        print("slides late: %s" % " ".join(ms(t) for t in late), file=sys.stderr)
        worst = max(late)
        row(ROW_SLIDES, ms(worst), "allowed 50 ms", worst / 0.050, 1.0)
    except Failed as e:
        skipped(ROW_SLIDES, str(e))


if __name__ == "__main__":
    try:
        main()
    except Failed as e:
        for name in (ROW_LATE, ROW_REPEATED, ROW_AT_ONCE, ROW_SLIDES):
            skipped(name, str(e))
