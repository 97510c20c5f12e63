#!/usr/bin/env bash
# Installs feh, the reference viewer of the benchmarks in an X server, with apt-get when it is
# missing. Exits 1 when it is not there and cannot be installed.
set -uo pipefail
command -v feh > /dev/null && exit 0
echo "Installing feh" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo -n)
install() {
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        feh > /dev/null 2>&1
}
install && exit 0
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -qq > /dev/null 2>&1 || true
install
