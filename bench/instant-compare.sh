#!/usr/bin/env bash
# The viewer as a user meets it, against feh, in an X server without a window manager: a
# 1900 x 1000 window on a folder of 20 pairs, each two 6000 x 4000 camera-like files, a fresh
# program start for every round, rounds interleaved with feh's. Rows (bench/instant/
# instant_rounds.py measures them):
#   - Space 1 s after the window appeared, to both panels showing the first pair;
#   - Space as soon as the window appears (no time to work ahead);
#   - Space after Space, 1 s apart, stepping through the folder;
#   - the slide show at 1 s over the 20 pairs: how late the latest slide was after its tick;
#   - cold starts, from the process start: on the first pair's left file and on an MPO file to
#     both panels showing the pair, and on the folder to the window painted.
# The reference is feh started on the first pair's left file, to its first frame; for the folder,
# an empty Qt window started to painted. Each row is
# skipped, with the reason, when a tool it needs is missing. Every wait is bounded.
#
# usage: bench/instant-compare.sh [build folder] [rounds]   (default build-bench, 5)
set -euo pipefail

build=${1:-build-bench}
rounds=${2:-5}
here=$(cd "$(dirname "$0")/.." && pwd)
viewer="$here/$build/duoptic"
make_photo="$here/$build/bench/common/bench_make_photo"
width=1900
height=1000
pairs=20

skip() {
    for name in "first Space 1 s after start" "repeated Space" "first Space as the window appears" \
        "slide show, 1 s, 20 pairs" "cold start on a pair file" "cold start on an MPO file" \
        "cold start on a folder"; do
        printf '@row\t%s\tskipped: %s\t-\t-\t-\t-\n' "$name" "$1"
    done
    exit 0
}

for tool in Xvfb python3; do
    command -v "$tool" > /dev/null || skip "$tool is missing"
done
[ -x "$viewer" ] && [ -x "$make_photo" ] || skip "build $build first"
python3 -c 'import ctypes.util, sys; sys.exit(not ctypes.util.find_library("Xtst"))' ||
    skip "libXtst is missing"

work=$(mktemp -d "${TMPDIR:-/tmp}/duoptic-instant-XXXXXX")
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2> /dev/null || true
        wait "$xvfb" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Two pictures per tint, made two at a time. The pairs of the folder are copies of them, red and
# blue in turn along the order in which the viewer walks the folder (the order the file system
# lists it in), so that a probe of the screen tells each pair from the one before. The names are
# given first, then the order is read, then the pictures are copied in.
mkdir -p "$work/made" "$work/pairs" "$work/app" "$work/xdg" "$work/mpo"
chmod 700 "$work/xdg"
for tint in red:1.4,0.8,0.6 blue:0.6,0.8,1.4; do
    "$make_photo" "$work/made/${tint%%:*}_DUL.jpg" 6000 4000 "tint=${tint#*:}" &
    "$make_photo" "$work/made/${tint%%:*}_DUR.jpg" 6000 4000 right "tint=${tint#*:}" &
    wait
done
for i in $(seq -w 1 "$pairs"); do
    touch "$work/pairs/s${i}_DUL.jpg" "$work/pairs/s${i}_DUR.jpg"
done
colour=red
for left in $(ls -U "$work/pairs" | grep '_DUL\.jpg$'); do
    pair=${left%_DUL.jpg}
    cp "$work/made/${colour}_DUL.jpg" "$work/pairs/${pair}_DUL.jpg"
    cp "$work/made/${colour}_DUR.jpg" "$work/pairs/${pair}_DUR.jpg"
    echo "$pair $colour" >> "$work/walk.txt"
    colour=$([ "$colour" = red ] && echo blue || echo red)
done
# An MPO of the first pair's tint, in a folder of its own so that it is not one of the walk.
"$make_photo" "$work/mpo/stereo.mpo" 6000 4000 mpo tint=1.4,0.8,0.6

# A copy of the viewer in a folder of its own, so that its settings file lives there: the last
# folder is the pairs' folder, the window at the top-left, the slide show at 1 s.
cp "$viewer" "$work/app/duoptic"
printf '%s\r\n' "[Viewer]" "ViewerMode=(Parallel)" "FittingMode=0" "BorderWidth=4" \
    "SlideInterval=1" "[File]" "LatestPath=$work/pairs/" "[Window]" "WinTop=0" "WinLeft=0" \
    "WinWidth=$width" "WinHeight=$height" "WinState=0" > "$work/app/duoptic.ini"

exec 3< <(Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp -noreset 2> /dev/null)
xvfb=$!
read -r -t 30 -u 3 display || skip "Xvfb did not start"
export DISPLAY=":$display"
export XDG_RUNTIME_DIR="$work/xdg" QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY QT_SCALE_FACTOR

feh_file=
bash "$here/bench/common/install-feh.sh" && feh_file="$work/pairs/$(head -n1 "$work/walk.txt" |
    cut -d' ' -f1)_DUL.jpg"
timeout 420 python3 "$here/bench/instant/instant_rounds.py" "$work/app/duoptic" "$work/walk.txt" \
    "$feh_file" "$width" "$height" "$rounds" "$work/pairs" "$work/mpo/stereo.mpo" \
    "$here/$build/bench/startup/bench_empty_window"
