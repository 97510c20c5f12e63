"""`duoptic --export` through the real executable, with no display: every format, round trips,
lossless copies, refusals, and failures and signals that must leave no partial file behind.

Usage: export_cli.py DUOPTIC TEST_DATA_FOLDER"""

import json, math, os, re, resource, shutil, signal, subprocess, sys, tempfile
from PIL import Image, ImageChops, ImageStat

# The files each format writes for a pair NAME, as the viewer's naming reads them back.
FORMATS = {"sbs": ["_DUP.jpg"], "cross": ["_DUC.jpg"], "jps": [".jps"], "mpo": [".mpo"],
           "pair": ["_DUL.jpg", "_DUR.jpg"], "anaglyph": ["_anaglyph.jpg"],
           "half-sbs": ["_hsbs.jpg"], "half-tb": ["_htb.jpg"]}
PAIRS = ["aloe", "sugarshack", "x"]
failures = []


def check(ok, what):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


def run(*args, preexec_fn=None):
    return subprocess.run([PROGRAM, "--export", *args], env=ENV, capture_output=True,
                          text=True, errors="replace", preexec_fn=preexec_fn, timeout=120)


def folder(name, files=()):
    path = os.path.join(ROOT, name)
    os.makedirs(path)
    for source, target in files:
        shutil.copy(source, os.path.join(path, target))
    return path


def psnr(a, b):
    mse = sum(r * r for r in ImageStat.Stat(ImageChops.difference(a, b)).rms) / 3
    return math.inf if mse == 0 else 10 * math.log10(255 ** 2 / mse)


def eyes(path):
    """The two eyes of an exported pair (its _DUL/_DUR files)."""
    return [Image.open(path + s).convert("RGB") for s in FORMATS["pair"]]


def entropy_data(data):
    """From the picture's SOS marker on: the segments before it are walked, as an EXIF
    thumbnail holds a SOS of its own."""
    at = 2
    while data[at + 1] != 0xDA:
        at += 2 + int.from_bytes(data[at + 2:at + 4], "big")
    return data[at:]


def listing(path):
    return sorted(os.listdir(path))


def main():
    data = os.path.join(sys.argv[2], "stereo")
    inputs = folder("in", [(os.path.join(data, "aloeL.jpg"), "aloe_DUL.jpg"),
                           (os.path.join(data, "aloeR.jpg"), "aloe_DUR.jpg"),
                           (os.path.join(data, "sugarshack.mpo"), "sugarshack.mpo"),
                           (os.path.join(data, "stereograph.left-right.jpg"), "x_DUP.jpg")])

    # Every format, from every kind of pair; sizes follow from the eyes' (the pair format's).
    out = {}
    for name, suffixes in FORMATS.items():
        out[name] = folder(name)
        result = run(name, "--output", out[name], inputs)
        check(result.returncode == 0, f"{name}: status 0 {result.stderr.splitlines()[-1:]}")
        check(listing(out[name]) == sorted(p + s for p in PAIRS for s in suffixes),
              f"{name}: the files {listing(out[name])}")
    for pair in PAIRS:
        w, h = Image.open(os.path.join(out["pair"], pair + "_DUR.jpg")).size
        check(Image.open(os.path.join(out["pair"], pair + "_DUL.jpg")).size == (w, h),
              f"{pair}: eyes of one size")
        for name, size in {"sbs": (2 * w, h), "cross": (2 * w, h), "jps": (2 * w, h),
                           "anaglyph": (w, h), "half-sbs": (w, h), "half-tb": (w, h)}.items():
            image = Image.open(os.path.join(out[name], pair + FORMATS[name][0]))
            image.load()
            check(abs(image.size[0] - size[0]) <= 1 and abs(image.size[1] - size[1]) <= 1,
                  f"{pair} {name}: size {image.size}, eyes {(w, h)}")
        mpo_path = os.path.join(out["mpo"], pair + ".mpo")
        mpo = Image.open(mpo_path)
        frames = []
        for i in range(getattr(mpo, "n_frames", 1)):
            mpo.seek(i)
            frames.append(mpo.size)
        check(frames == [(w, h)] * 2, f"{pair} mpo: frames {frames}")
        mpf = json.loads(subprocess.run(["exiftool", "-j", "-MPF:all", mpo_path],
                                        capture_output=True, text=True).stdout)[0]
        check(mpf.get("NumberOfImages") == 2 and "Disparity" in mpf.get("MPImageType", ""),
              f"{pair} mpo: MP index {mpf}")

    # Written back as a pair, each stereo form gives the same eyes on the same sides.
    for name in ["sbs", "cross", "jps", "mpo"]:
        back = folder("back-" + name)
        source = os.path.join(out[name], "aloe" + FORMATS[name][0])
        result = run("pair", "--quality", "95", "--output", back, source)
        worst = min(psnr(a, b) for a, b in zip(eyes(os.path.join(back, "aloe")),
                                                eyes(os.path.join(out["pair"], "aloe"))))
        check(result.returncode == 0 and worst >= 45, f"{name} back to pair: PSNR {worst:.1f}")

    # Two eye files need no change: the MPO holds their coded pictures unchanged, left first.
    mpo = open(os.path.join(out["mpo"], "aloe.mpo"), "rb").read()
    places = [mpo.find(entropy_data(open(os.path.join(inputs, "aloe" + s), "rb").read()))
              for s in FORMATS["pair"]]
    check(0 <= places[0] < places[1], f"mpo from two files: coded data found at {places}")

    # An existing file stays unless --force; a file being read is never replaced.
    target = os.path.join(out["sbs"], "aloe_DUP.jpg")
    before = open(target, "rb").read()
    source = os.path.join(inputs, "aloe_DUL.jpg")
    result = run("sbs", "--quality", "50", "--output", out["sbs"], source)
    check(result.returncode == 1 and open(target, "rb").read() == before, "existing: kept, 1")
    result = run("sbs", "--quality", "50", "--force", "--output", out["sbs"], source)
    check(result.returncode == 0 and open(target, "rb").read() != before, "--force: replaced")
    originals = {f: open(os.path.join(inputs, f), "rb").read() for f in listing(inputs)}
    result = run("pair", "--force", "--output", inputs, source)
    check(result.returncode == 1 and
          all(open(os.path.join(inputs, f), "rb").read() == b for f, b in originals.items()),
          "an input as output: refused with --force, 1")

    # Failures leave the folder as it was: no file, no temporary file.
    locked = folder("locked")
    if os.geteuid() != 0:
        os.chmod(locked, 0o555)
    elif subprocess.run(["chattr", "+i", locked], capture_output=True).returncode != 0:
        locked = None
        print("skipped: an unwritable folder (root, and chattr +i does not work here)")
    if locked:
        result = run("sbs", "--output", locked, inputs)
        check(result.returncode == 1 and listing(locked) == [], "unwritable folder: 1, empty")
        subprocess.run(["chattr", "-i", locked], capture_output=True)
        os.chmod(locked, 0o755)
    full = folder("full")
    limit = min(os.path.getsize(os.path.join(out["sbs"], p + "_DUP.jpg")) for p in PAIRS) // 2
    result = run("sbs", "--output", full, inputs,
                 preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))
    check(result.returncode == 1 and listing(full) == [], f"full disk: 1, {listing(full)}")

    # A signal stops a long run: only whole files are left.
    # Enough pairs that even many cores are still at work when the signal comes.
    many = folder("many")
    for i in range(64):
        os.link(os.path.join(inputs, "x_DUP.jpg"), os.path.join(many, f"p{i:02}_DUP.jpg"))
    stopped = folder("stopped")
    process = subprocess.Popen([PROGRAM, "--export", "half-tb", "--output", stopped, many],
                               env=ENV, stderr=subprocess.PIPE, text=True)
    first = process.stderr.readline()
    process.send_signal(signal.SIGTERM)
    last = (first + process.communicate(timeout=120)[1]).splitlines()[-1:]
    left = listing(stopped)
    for name in left:
        Image.open(os.path.join(stopped, name)).load()
    # Stopped by the signal only once it has cleaned up and said how far it got.
    check(process.returncode == -signal.SIGTERM and
          all(re.fullmatch(r"p\d\d_htb\.jpg", n) for n in left) and
          not any(line.startswith("written:") for line in last),
          f"SIGTERM: status {process.returncode}, left {left}, last line {last}")

    # A PATH that leads nowhere fails; the others are still written.
    alone = folder("alone")
    result = run("sbs", "--output", alone, os.path.join(ROOT, "nowhere"), source)
    check(result.returncode == 1 and "nowhere" in result.stderr and
          listing(alone) == ["aloe_DUP.jpg"], "missing PATH: 1, named, the others written")
    for args, status in [([], 2), (["sbs"], 2), (["sbs3d", inputs], 2),
                         (["sbs", "--quality", "0", inputs], 2),
                         (["sbs", "--quality=101", inputs], 2),
                         (["sbs", inputs, "--output"], 2), (["sbs", "--what", inputs], 2),
                         (["sbs", "--output", os.path.join(ROOT, "nowhere"), inputs], 1)]:
        result = run(*args)
        check(result.returncode == status, f"{args}: status {result.returncode}, not {status}")


if __name__ == "__main__":
    # A copy of the program in a folder of its own, and a home of its own: the settings and the
    # stored shifts of whoever runs the test stay out of it.
    with tempfile.TemporaryDirectory() as ROOT:
        PROGRAM = shutil.copy(sys.argv[1], os.path.join(ROOT, "duoptic"))
        ENV = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        ENV.update(QT_QPA_PLATFORM="xcb", HOME=os.path.join(ROOT, "home"),
                   XDG_DATA_HOME=os.path.join(ROOT, "data"),
                   XDG_CONFIG_HOME=os.path.join(ROOT, "config"))
        main()
    sys.exit(1 if failures else 0)
