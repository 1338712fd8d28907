#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and test tools this Debian 12
# machine lacks; installs nothing when all are there. Benchmarks' peers
# (Faker: python3-fake-factory) are left to the benchmark scripts' users.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev clang-format
    libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 wine32:i386 xvfb x11-utils imagemagick
)
# The release packages and their check (tools/release.sh, tools/check-release.sh).
packages+=(git zip unzip dpkg-dev lintian groff-base tzdata pkg-config)
# The Python package: built against Debian's Python with no network, tested
# with its pytest (tools/test-python.sh, tools/release-python.sh).
packages+=(python3-dev python3-pip python3-setuptools python3-wheel python3-venv python3-pytest)
# The WebAssembly build, the npm package and the web page: Debian's
# emscripten, its TypeScript for the types check, Chromium driven by
# Selenium for the browser tests (tools/test-js.sh, tools/test-web.sh).
packages+=(emscripten node-typescript chromium chromium-driver python3-selenium)
# Node and npm, unless some Node of 18 or later is there already.
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)

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
