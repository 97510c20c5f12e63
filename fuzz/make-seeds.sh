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
