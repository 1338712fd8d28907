#!/usr/bin/env bash
# Builds Onymix and runs every test: the formatting check, the native unit
# tests, the same under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows builds for i686 and x86_64, and the Windows tests (x86_64) under
# Wine in a virtual display. Installs what the machine lacks first. Exits
# non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }

step "formatting"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find runtime names store shell tests bench -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}"

for preset in native sanitize; do
    step "$preset build and tests"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

for preset in mingw-i686 mingw-x86_64; do
    step "$preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

step "Windows tests under Wine"
source tools/wine-session.sh
trap wine_session_end EXIT
wine_session_begin
ctest --preset mingw-x86_64

step "release packages: built twice, compared byte for byte"
tools/check-release.sh
