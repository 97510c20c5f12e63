#!/usr/bin/env bash
# Writes the committed seed corpora: tiny JPEG files of the kinds the decoder must tell apart
# (made with ImageMagick and cjpeg) and a few settings files, integers and file-name lists.
# The test pictures of tests/data are added as seeds at run time by run.sh.
set -euo pipefail
corpus=$(cd "$(dirname "$0")" && pwd)/corpus
mkdir -p "$corpus"/{jpeg,ini,texttoint,pairoffsets,classify}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

picture() { # name, size, cjpeg options...
    local name=$1 size=$2
    shift 2
    convert -size "$size" gradient:red-blue -depth 8 "ppm:$tmp/in.ppm"
    cjpeg "$@" -outfile "$corpus/jpeg/$name.jpg" "$tmp/in.ppm"
}
picture baseline 24x16 -quality 75
picture grey 24x16 -grayscale
picture progressive-odd-width 33x17 -progressive
picture arithmetic-restarts 16x16 -arithmetic -restart 1B
picture unsubsampled 16x8 -sample 1x1 -optimize
picture one-column 1x24
picture one-row 40x1

ini=$corpus/ini
printf '[Viewer]\r\nViewerMode=(Parallel)\r\nFittingMode=0\r\nBorderWidth=4\r\nSlideInterval=10\r\n\r\n[File]\r\nLatestPath=/home/u/\r\n\r\n[Window]\r\nWinTop=0\r\nWinLeft=0\r\nWinWidth=600\r\nWinHeight=480\r\nWinState=0\r\n' >"$ini/written"
printf '\xef\xbb\xbf; edited by hand\n [ viewer ] \nborderwidth = 0x10 \nFittingMode="10"\n[Other]\nKey=\x27q\x27\n[viewer]\nViewerMode=second\n' >"$ini/hand-edited"
printf '[Viewer]\rBorderWidth=5\r[File]\nLatestPath=\n[Window\nWinState=$2\n=\n[]\nK=v' >"$ini/odd-lines"

printf '%s' '0x10' >"$corpus/texttoint/zero-x"
printf '%s' ' -$80000000' >"$corpus/texttoint/hex-min"
printf '%s' '+2147483647' >"$corpus/texttoint/max"
printf '%s' 'X7fffffff0' >"$corpus/texttoint/too-long"

printf '# note\n0123456789abcdef 3 -4 7\n0123456789ABCDEF\t0 0\r\n\nfedcba9876543210 1 2\n' >"$corpus/pairoffsets/written"
printf 'garbage\n0123 1 2\n0123456789abcdef 65536 0 0\n0123456789abcdef +1 -0 1801\n\x00\xff 1 2\nfedcba9876543210 9' >"$corpus/pairoffsets/damaged"

printf 'x_DUL.jpg\na_DUL.JPG\nb_dul.jpg\n_DUL.jpg\nc_DUL.jpg\nd_DUL.jpg\ne_DUL.jpg\nf_DUL.jpg\nq_DUP.jpg\nq_duc.JPG\n.h_DUL.jpg\n' >"$corpus/classify/names"

# Two-image MPOs made from the baseline picture: the first image to be turned a quarter, the
# second holding a Fujifilm parallax in its MakerNote; and the same with the Exif IFD's link
# pointing back at IFD0 and the MakerNote's length far past its segment.
mkdir -p "$corpus/mpo"
python3 - "$corpus" <<'PY'
import struct, sys
corpus = sys.argv[1]
jpeg = open(f"{corpus}/jpeg/baseline.jpg", "rb").read()

def segment(code, payload):
    return b"\xff" + bytes([code]) + struct.pack(">H", len(payload) + 2) + payload

def exif(orientation, exif_link=38, note_count=38):
    t = b"MM\x00\x2a" + struct.pack(">I", 8) + struct.pack(">H", 2)
    t += struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0)
    t += struct.pack(">HHII", 0x8769, 4, 1, exif_link) + struct.pack(">I", 0)
    t += struct.pack(">H", 1) + struct.pack(">HHII", 0x927C, 7, note_count, 56) + struct.pack(">I", 0)
    t += b"FUJIFILM" + struct.pack("<IH", 12, 1) + struct.pack("<HHII", 0xB211, 10, 1, 30)
    t += struct.pack("<I", 0) + struct.pack("<ii", -7, 2)
    return segment(0xE1, b"Exif\x00\x00" + t)

def mpo(name, **hostile):
    second = jpeg[:2] + exif(1, **hostile) + jpeg[2:]
    def first(size1, offset2):
        index = b"MM\x00\x2a" + struct.pack(">I", 8) + struct.pack(">H", 3)
        index += struct.pack(">HHI", 0xB000, 7, 4) + b"0100"
        index += struct.pack(">HHII", 0xB001, 4, 1, 2)
        index += struct.pack(">HHII", 0xB002, 7, 32, 50) + struct.pack(">I", 0)
        index += struct.pack(">IIII", 0x20002, size1, 0, 0)
        index += struct.pack(">IIII", 0x20002, len(second), offset2, 0)
        return jpeg[:2] + exif(6, **hostile) + segment(0xE2, b"MPF\x00" + index) + jpeg[2:]
    draft = first(0, 0)
    tiff = draft.index(b"MPF\x00") + 4
    whole = first(len(draft), len(draft) - tiff) + second
    open(f"{corpus}/mpo/{name}", "wb").write(whole)

mpo("turned-with-parallax.mpo")
mpo("exif-links-back.mpo", exif_link=8, note_count=0x7FFFFFF0)

# A bare little-endian TIFF as an APP1 "Exif" segment holds it, with the camera's fields: Make
# and Model (with a control character) in IFD0, the shot's fields in the Exif IFD, texts and
# fractions after both IFDs.
def camera_tiff():
    ifd0 = [(0x010F, 2, b"Maker\x00"), (0x0110, 2, b"Model\t3D\x00"), (0x8769, 4, None)]
    shot = [(0x829A, 5, struct.pack("<II", 1, 250)), (0x829D, 5, struct.pack("<II", 56, 10)),
            (0x8827, 3, struct.pack("<H", 200)), (0x9003, 2, b"2020:01:02 03:04:05\x00"),
            (0x920A, 5, struct.pack("<II", 45, 10)), (0xA405, 3, struct.pack("<H", 28))]
    exif_at = 8 + 2 + 12 * len(ifd0) + 4
    data_at = exif_at + 2 + 12 * len(shot) + 4
    head, data = b"", b""
    for entries, link in ((ifd0, exif_at), (shot, 0)):
        head += struct.pack("<H", len(entries))
        for tag, kind, value in entries:
            if value is None:
                head += struct.pack("<HHII", tag, kind, 1, link)
                continue
            count = len(value) // {2: 1, 3: 2, 5: 8}[kind]
            if len(value) <= 4:
                head += struct.pack("<HHI", tag, kind, count) + value.ljust(4, b"\x00")
            else:
                head += struct.pack("<HHII", tag, kind, count, data_at + len(data))
                data += value
        head += struct.pack("<I", 0)
    return b"II\x2a\x00" + struct.pack("<I", 8) + head + data

open(f"{corpus}/mpo/camera-fields.tiff", "wb").write(camera_tiff())
PY
