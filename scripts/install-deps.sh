#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, once: packages
# already installed are left alone, and apt-get runs only when one is missing.
set -euo pipefail

readonly PACKAGES=(
    cmake ninja-build g++ googletest libgtest-dev
    g++-mingw-w64-x86-64-posix
    wine64 xvfb imagemagick iproute2 util-linux
    clang libclang-rt-dev   # the fuzz targets: libFuzzer and the sanitizers' runtime
    # Fonts with the metrics the panel has on Windows: Liberation Sans stands
    # in for Arial, WenQuanYi Micro Hei for the dialogs' 微软雅黑 and the
    # About box's own characters, Wine's Marlett for its caption buttons (see
    # the font replacements in wine-session.sh).
    fonts-liberation fonts-wqy-microhei fonts-wine
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "install-deps: need root (or sudo) to install ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
