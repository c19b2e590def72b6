#!/usr/bin/env bash
# Installs the Debian packages harmograph needs, only those that are missing.
# Quiet and quick when everything is already there; uses sudo when not root.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev libgl-dev
    fonts-ipafont-gothic
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-numpy python3-pandas
    xvfb xauth poppler-utils
    clang-format
    qt6-translations-l10n
    libcups2-dev
    clang libclang-rt-14-dev
    nlohmann-json3-dev
    qt6-svg-dev
    # the install and package checks: desktop entry validation, dpkg-shlibdeps, file
    desktop-file-utils dpkg-dev file
    # the Windows build of the command line and Wine to test it
    g++-mingw-w64-x86-64-posix wine wine64
    # Qt's own printing (the build without CUPS): Qt PDF draws a sheet onto a printer
    qt6-pdf-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
