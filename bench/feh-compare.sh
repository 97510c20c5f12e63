#!/usr/bin/env bash
# Time from pressing Space to the next pair on screen in duoptic, against feh showing the next of
# two files, in the same window size, both in Xvfb under openbox.
#
#   duoptic: a folder of two pairs, each two 6000 x 4000 files; Space steps to the other pair,
#            which decodes both files (on two threads) and draws both panels. Done when the title
#            reads "Duoptic - <pair> - (Parallel)" and both panels show that pair's colours.
#   feh:     the left-eye files of the same two pairs; Space shows the other one (one decode,
#            scaled down into the window). Done when the title names the file and the window
#            shows its colours.
#   duoptic again in the red-cyan anaglyph and row-interlaced modes (one image area over both
#            panels), against its own side-by-side time: the same steps, the same probes.
#
# The pairs are tinted (one reddish, one bluish), so a pixel probe tells which pair is on screen.
# Each side gets two untimed presses first (buffers, caches), then the median of 15. Prints the
# times and the table rows in the format bench/run.sh collects. Needs Xvfb, openbox, xdotool and
# python3; installs feh when it is missing (bench/common/install-feh.sh). Every wait is bounded.
#
# usage: bench/feh-compare.sh [build folder]   (default build-bench)
set -euo pipefail

build=${1:-build-bench}
here=$(cd "$(dirname "$0")/.." && pwd)
viewer="$here/$build/duoptic"
make_photo="$here/$build/bench/common/bench_make_photo"
width=1200
height=700

skip() {
    printf '@row\tSpace to next pair on screen vs feh\tskipped: %s\t-\t0.00\t-\t-\n' "$1"
    exit 0
}

for tool in Xvfb openbox xdotool python3; do
    command -v "$tool" > /dev/null || skip "$tool is missing"
done
[ -x "$viewer" ] && [ -x "$make_photo" ] || skip "build $build first"
bash "$here/bench/common/install-feh.sh" || skip "feh could not be installed"

work=$(mktemp -d "${TMPDIR:-/tmp}/duoptic-feh-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2> /dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2> /dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Two pairs, two files each, generated two at a time.
mkdir -p "$work/pairs" "$work/app" "$work/xdg"
chmod 700 "$work/xdg"
"$make_photo" "$work/pairs/red_DUL.jpg" 6000 4000 tint=1.4,0.8,0.6 &
"$make_photo" "$work/pairs/red_DUR.jpg" 6000 4000 right tint=1.4,0.8,0.6 &
wait
"$make_photo" "$work/pairs/blue_DUL.jpg" 6000 4000 tint=0.6,0.8,1.4 &
"$make_photo" "$work/pairs/blue_DUR.jpg" 6000 4000 right tint=0.6,0.8,1.4 &
wait

# A copy of the viewer in a folder of its own, so that its settings file lives there: the last
# folder is the pairs' folder, the window 1200 x 700 at the top-left, and the output mode given
# (none: side by side).
cp "$viewer" "$work/app/duoptic"
settings() {
    printf '%s\r\n' "[Viewer]" "ViewerMode=(Parallel)" "FittingMode=0" "BorderWidth=4" \
        "SlideInterval=10" "[File]" "LatestPath=$work/pairs/" "[Window]" "WinTop=0" "WinLeft=0" \
        "WinWidth=$width" "WinHeight=$height" "WinState=0" > "$work/app/duoptic.ini"
    if [ -n "$1" ]; then
        printf '%s\r\n' "[Display]" "Mode=$1" >> "$work/app/duoptic.ini"
    fi
}

exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2> /dev/null)
pids+=($!)
read -r -t 30 -u 3 display || skip "Xvfb did not start"
export DISPLAY=":$display"
export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY QT_SCALE_FACTOR
openbox --sm-disable > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q "window id" && break
    sleep 0.1
done

measure() { # name, then the command to start
    local name=$1
    shift
    "$@" > "$work/$name.log" 2>&1 &
    local pid=$! status=0
    timeout 120 python3 - "$name" "$width" "$height" << 'PYTHON' || status=$?
import ctypes, ctypes.util, statistics, subprocess, sys, time

name, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
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
x11.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_int, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                      ctypes.POINTER(ctypes.c_ulong)]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

dpy = x11.XOpenDisplay(None)
if not dpy:
    sys.exit("cannot open the display")
root = x11.XDefaultRootWindow(dpy)


def fail(why):
    print("%s: %s" % (name, why), file=sys.stderr)
    sys.exit(1)


def wait_for(condition, seconds, why):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    fail(why)


def title(window):
    text = ctypes.c_char_p()
    if not x11.XFetchName(dpy, window, ctypes.byref(text)) or not text.value:
        return ""
    value = text.value.decode("latin-1")
    x11.XFree(text)
    return value


def find_window():
    pattern = "^Duoptic - " if name.startswith("duoptic") else "^feh - "
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                         capture_output=True, text=True).stdout.split()
    return int(out[0]) if out else None


def origin(window):
    x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
    x11.XTranslateCoordinates(dpy, window, root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                              ctypes.byref(child))
    return x.value, y.value


def mean_at(x, y):
    """The mean colour (r, g, b) of a 9 x 9 block of the screen, or None."""
    image = x11.XGetImage(dpy, root, x - 4, y - 4, 9, 9, 0xFFFFFFFF, 2)  # ZPixmap
    if not image:
        return None
    r = g = b = 0
    for dy in range(9):
        for dx in range(9):
            p = x11.XGetPixel(image, dx, dy)
            r, g, b = r + (p >> 16 & 255), g + (p >> 8 & 255), b + (p & 255)
    x11.XDestroyImage(image)
    return r / 81, g / 81, b / 81


def colour_at(x, y):
    """'red', 'blue' or None, by the tint of the block at (x, y)."""
    mean = mean_at(x, y)
    if mean is None:
        return None
    r, _, b = mean
    return "red" if r > b + 60 else "blue" if b > r + 60 else None


# The modes that mix both eyes turn the tints into other colours: there each pair's probe colours
# are taken once it has settled on screen after an untimed press, and a pair counts as shown when
# the probes show those colours again.
mixed = name != "duoptic" and name.startswith("duoptic")
settled = {}


def matches(at, colours):
    means = [mean_at(x, y) for x, y in at]
    return all(m is not None and max(abs(a - b) for a, b in zip(m, c)) <= 3
               for m, c in zip(means, colours))


window = wait_for(find_window, 30, "no window")
time.sleep(1.0)  # the window manager frames and places the window; the viewer corrects its size
subprocess.run(["xdotool", "windowactivate", "--sync", str(window)], timeout=10,
               capture_output=True)
space = x11.XKeysymToKeycode(dpy, 0x20)


def probes():
    left, top = origin(window)
    if name.startswith("duoptic"):
        return [(left + width // 4, top + height * 45 // 100),
                (left + width * 3 // 4, top + height * 45 // 100)]
    return [(left + width // 2, top + height // 2)]


def pair_in_title():
    words = title(window)
    return "red" if "red" in words else "blue" if "blue" in words else None


def shown(at):
    """The pair on screen, when the title and every probe agree on it."""
    pair = pair_in_title()
    if pair is None:
        return None
    if mixed:
        return pair if pair in settled and matches(at, settled[pair]) else None
    if any(colour_at(x, y) != pair for x, y in at):
        return None
    return pair


def settle(at, before):
    """After an untimed press in a mixed mode: the new pair's colours, once they have settled."""
    pair = wait_for(lambda: pair_in_title() not in (None, before) and pair_in_title(), 20,
                    "the next pair's title did not appear")
    time.sleep(0.5)
    settled[pair] = [mean_at(x, y) for x, y in at]


times = []
for press in range(17):
    at = probes()
    before = shown(at)
    titled_before = pair_in_title()
    start = time.monotonic()
    xtst.XTestFakeKeyEvent(dpy, space, 1, 0)
    xtst.XTestFakeKeyEvent(dpy, space, 0, 0)
    x11.XFlush(dpy)
    if mixed and press < 2:
        settle(at, titled_before)
        continue
    while True:
        now = shown(at)
        if now is not None and now != before:
            break
        if time.monotonic() - start > 20:
            fail("the next picture did not appear (title %r, before %r, probes %r: %r)"
                 % (title(window), before, at, [colour_at(x, y) for x, y in at]))
        time.sleep(0.002)
    elapsed = time.monotonic() - start
    if press >= 2:
        times.append(elapsed)
    time.sleep(1.0)  # let the program settle (and decode ahead) before the next press
print("%.6f" % statistics.median(times))
print("%s: %s ms" % (name, " ".join("%.0f" % (t * 1e3) for t in times)), file=sys.stderr)
PYTHON
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    return "$status"
}

settings ""
duoptic_s=$(measure duoptic "$work/app/duoptic") || skip "duoptic run failed"
# The modes that mix both eyes into one area, against the two panels of the same run.
settings AnaglyphRedCyan
anaglyph_s=$(measure duoptic-anaglyph "$work/app/duoptic") || skip "duoptic run in anaglyph failed"
settings RowInterlaced
interlaced_s=$(measure duoptic-interlaced "$work/app/duoptic") || skip "duoptic run interlaced failed"
feh_s=$(measure feh feh --geometry "${width}x${height}+0+0" --scale-down --title "feh - %n" \
    "$work/pairs/red_DUL.jpg" "$work/pairs/blue_DUL.jpg") || skip "feh run failed"

awk -v d="$duoptic_s" -v f="$feh_s" -v a="$anaglyph_s" -v i="$interlaced_s" 'BEGIN {
    printf "duoptic %.0f ms, feh %.0f ms, ratio %.2f\n", d * 1e3, f * 1e3, d / f > "/dev/stderr"
    printf "@row\tSpace to next pair on screen, 2 x 6000x4000 (Xvfb)\t%.0f ms\tfeh, 1 file, %.0f ms\t%.2f\t-\t-\n", d * 1e3, f * 1e3, d / f
    printf "@row\t  the same in red-cyan anaglyph\t%.1f ms\tside by side %.1f ms\t%.2f\t<= 1.10\t%s\n", a * 1e3, d * 1e3, a / d, a / d <= 1.10 ? "ok" : "MISS"
    printf "@row\t  the same row interlaced\t%.1f ms\tside by side %.1f ms\t%.2f\t<= 1.10\t%s\n", i * 1e3, d * 1e3, i / d, i / d <= 1.10 ? "ok" : "MISS"
}'
