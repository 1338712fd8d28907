#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools this Debian 12
# machine lacks; installs nothing when all are there.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev clang-format
    libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 wine32:i386 xvfb x11-utils imagemagick
)
# The release packages and their check (tools/release.sh, tools/check-release.sh).
packages+=(git zip dpkg-dev lintian groff-base tzdata)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    # 32-bit Wine, for the i686 build's tests, comes from Debian's i386
    # architecture, which apt must know of before the update.
    if [[ " ${missing[*]} " == *" wine32:i386 "* ]] &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi
