#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and only those that are
# missing. Runs apt-get directly as root, through sudo otherwise.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config libxcb1-dev clang libclang-rt-14-dev clang-format clang-tidy ccache
    qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev libturbojpeg0-dev libjpeg-turbo-progs libfontconfig-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont-gothic fonts-dejavu-core
    xvfb xauth xdotool imagemagick openbox x11-utils x11-xserver-utils wmctrl
    python3 python3-pil libimage-exiftool-perl appstream desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin
    dpkg-dev file lintian
    dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
