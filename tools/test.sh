#!/usr/bin/env bash
# Builds Onymix and runs every test: the formatting check, the tests of the
# build scripts' shared parts, the native unit tests, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, the library's under
# ThreadSanitizer, the Windows builds for i686 and x86_64, the Windows tests
# of each build under Wine (64-bit and 32-bit) in a virtual display, the
# Python and npm packages' tests, the web page's in headless Chromium and
# the PostgreSQL extension's against a server started for them, and a
# pg_dump masked by onymix-cli --dump on its way into a second database.
# Installs what the machine lacks first. Exits non-zero when anything fails.
# On a kernel that cannot run 32-bit programs the i686 tests are not run,
# and one line says so and names them. Last, the release is built twice from
# two clones and compared byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh all

jobs=$(nproc)
step() { printf '\n== %s (at %d s)\n' "$*" "$SECONDS"; }

step "formatting"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c' 2>/dev/null || find . -path ./build -prune -o -name '*.cpp' -print -o -name '*.h' -print -o -name '*.c' -print)
clang-format --dry-run --Werror "${sources[@]}"

step "the build scripts' shared parts"
tools/test-tools.sh

for preset in native sanitize thread; do
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

# 0 when this kernel runs a 32-bit x86 program (one that only exits), 1 when
# it cannot ("Exec format error"), 2 when the program could not be made.
kernel_runs_32_bit() {
    local dir status=0
    dir=$(mktemp -d)
    printf '.globl _start\n_start:\n\tmovl $1, %%eax\n\txorl %%ebx, %%ebx\n\tint $0x80\n' >"$dir/exit.s"
    if as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
        "$dir/exit" >/dev/null 2>&1 || status=1
    else
        status=2
    fi
    rm -rf "$dir"
    return "$status"
}

source tools/lib/wine-session.bash
trap wine_session_end EXIT

step "Windows tests of the x86_64 build under 64-bit Wine"
wine_session_begin win64
ctest --preset mingw-x86_64
wine_session_end

step "Windows tests of the i686 build under 32-bit Wine"
runs_32_bit=0
kernel_runs_32_bit || runs_32_bit=$?
case $runs_32_bit in
    0)
        wine_session_begin win32
        ctest --preset mingw-i686
        wine_session_end
        ;;
    1)
        mapfile -t not_run < <(ctest --preset mingw-i686 -N | sed -n 's/^ *Test *#[0-9]*: //p')
        echo "NOT RUN: this machine's kernel cannot run 32-bit programs, so these ${#not_run[@]} i686 Windows tests did not run (not passed): ${not_run[*]}"
        ;;
    *)
        echo "could not build the 32-bit check program (as --32, ld -m elf_i386)" >&2
        exit 1
        ;;
esac

step "Python package: the wheel in a fresh virtual environment"
# The wheel links the archive the native build made, and has its version.
ONYMIX_BUILD_DIR=$(pwd)/build/native tools/test-python.sh

step "npm package: the tarball installed, with Node's test runner"
tools/test-js.sh

step "web page: the zip in headless Chromium, as a file and from a server"
ONYMIX_CLI=build/native/onymix-cli tools/test-web.sh

step "PostgreSQL extension: its regression tests against a server of their own"
# The extension links the archive the native build made.
ONYMIX_BUILD=$(pwd)/build/native tools/test-postgres.sh

step "onymix-cli --dump: a pg_dump masked on its way into a second database"
ONYMIX_CLI=build/native/onymix-cli tools/test-mask-dump.sh

step "release packages: built twice, compared byte for byte"
tools/check-release.sh
