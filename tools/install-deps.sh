#!/usr/bin/env bash
# Installs with apt-get what the named commands need and this Debian 12
# machine lacks, and nothing when all of it is there. Each command asks for
# its own group, so that none waits for tools it never runs.
#
#   tools/install-deps.sh [--list] [GROUP...]     (no GROUP: all)
#
#   run       tools/run.sh: the x86_64 Windows build under 64-bit Wine on a
#             virtual display, and its screenshot
#   format    the formatting check of tools/test.sh
#   native    the native preset's build and tests, the installed library's
#             consumer check, the SQLite extension's test (Debian's Python
#             and sqlite3 shell load it)
#   sanitize  the sanitize and thread presets (clang and its sanitizers)
#   windows   both Windows builds and their tests, under 64-bit and 32-bit
#             Wine (the 32-bit one from Debian's i386 architecture); the
#             SQLite extension's DLL takes the host's SQLite headers
#   wheel     tools/release-python.sh
#   python    tools/test-python.sh
#   wasm      tools/release-js.sh, tools/release-web.sh, tools/web.sh
#   js        tools/test-js.sh
#   web       tools/test-web.sh
#   postgres  tools/test-postgres.sh, bench/postgres_bench.sh: the server and
#             what PGXS builds an extension with
#   release   tools/release.sh, tools/check-release.sh
#   all       tools/test.sh: every group but run
#
# --list prints the groups' packages, one a line, and installs nothing.
# Needs root or sudo to install. Benchmarks' peers (Faker:
# python3-fake-factory) are left to the benchmark scripts' users.
set -euo pipefail

# packages_of GROUP: its Debian packages, one a line.
packages_of() {
    case $1 in
        run) printf '%s\n' cmake make g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils imagemagick ;;
        format) printf '%s\n' clang-format ;;
        native)
            printf '%s\n' cmake make g++ libgtest-dev libbenchmark-dev pkg-config \
                libsqlite3-dev sqlite3 python3
            ;;
        sanitize) printf '%s\n' cmake make clang libclang-rt-14-dev libgtest-dev ;;
        windows)
            printf '%s\n' cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
                wine wine64 wine32:i386 xvfb libsqlite3-dev
            ;;
        wheel)
            # Debian's Python and its build tools: no package index is needed.
            printf '%s\n' cmake make g++ git python3-dev python3-pip python3-setuptools python3-wheel
            ;;
        python)
            packages_of wheel
            # Dask's cluster, for the test that splits names over processes.
            printf '%s\n' python3-venv python3-pytest python3-dask python3-distributed
            # The debug build, which counts every reference, for the test of
            # lists made while other code meddles.
            printf '%s\n' python3-dbg
            ;;
        wasm)
            printf '%s\n' cmake make git zip emscripten
            # Node and npm, unless some Node of 18 or later is there already.
            command -v node >/dev/null && command -v npm >/dev/null || printf '%s\n' nodejs npm
            ;;
        js)
            # TypeScript for the types check, Chromium for the file:// page.
            packages_of wasm
            printf '%s\n' node-typescript chromium
            ;;
        web)
            # Chromium driven by Selenium; a native onymix-cli to compare with.
            packages_of wasm
            printf '%s\n' g++ unzip chromium chromium-driver python3-selenium
            ;;
        postgres)
            printf '%s\n' cmake make gcc postgresql-15 postgresql-server-dev-15
            ;;
        release)
            packages_of wheel
            packages_of wasm
            packages_of postgres
            printf '%s\n' g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
                zip unzip dpkg-dev lintian groff-base tzdata libsqlite3-dev
            ;;
        all)
            local group
            for group in format native sanitize windows python js web postgres release; do
                packages_of "$group"
            done
            ;;
        *)
            echo "install-deps: no group '$1' (run, format, native, sanitize, windows, wheel," \
                "python, wasm, js, web, postgres, release, all)" >&2
            return 1
            ;;
    esac
}

list=no
if [ "${1:-}" = --list ]; then
    list=yes
    shift
fi
[ $# -gt 0 ] || set -- all

packages=()
declare -A seen=()
for group in "$@"; do
    # Taken whole first, so that an unknown group stops the script.
    group_packages=$(packages_of "$group")
    for p in $group_packages; do
        [ -n "${seen[$p]:-}" ] || packages+=("$p")
        seen[$p]=1
    done
done

if [ "$list" = yes ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

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
