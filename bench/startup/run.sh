#!/usr/bin/env bash
# Start-up benchmark of the Windows program against a baseline with the same
# user interface and none of its work (bench/startup/baseline.cpp), in one
# run under Wine: time from CreateProcess to the visible main window and peak
# working set, alternating the two programs (bench/startup/probe.cpp). Also
# prints the stripped sizes of both onymix.exe builds beside the baseline's
# and the bytes of the name strings.
#
# bench/startup/run.sh [ROUNDS]     (default 15 measured rounds)
#
# The targets are printed as information; the exit code is 0 whenever the
# measurement ran, not a judgement of the figures.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
rounds=${1:-15}
out=build/bench-startup
mkdir -p "$out"

step() { printf '\n== %s\n' "$*"; }

step "onymix.exe, x86_64 and i686"
for preset in mingw-x86_64 mingw-i686; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target onymix >/dev/null
    echo "built build/$preset/onymix.exe"
done

step "baseline.exe and probe.exe"
# version.h and the manifest are made by the x86_64 build above.
cxx=(x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -static -s -I build/mingw-x86_64/generated)
x86_64-w64-mingw32-windres -I res -I build/mingw-x86_64/generated res/onymix.rc -O coff \
    -o "$out/onymix.res"
# The controls take the mode chooser's labels from names/modes.cpp.
"${cxx[@]}" -mwindows bench/startup/baseline.cpp shell/factory.cpp shell/controls.cpp \
    shell/window_class.cpp program/scratch.cpp names/modes.cpp \
    "$out/onymix.res" -lcomctl32 \
    -o "$out/baseline.exe"
"${cxx[@]}" bench/startup/probe.cpp -lpsapi -o "$out/probe.exe"
echo "built $out/baseline.exe and $out/probe.exe"

step "start-up under Wine"
source tools/lib/wine-session.bash
trap wine_session_end EXIT
trap 'exit 130' INT TERM
wine_session_begin
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# In the background, so that an interrupt ends the session at once instead of
# after the last round.
/usr/lib/wine/wine64 "$out/probe.exe" --rounds "$rounds" \
    "$(windows_path "$root/$out/baseline.exe")" \
    "$(windows_path "$root/build/mingw-x86_64/onymix.exe")" </dev/null | tr -d '\r' |
    tee "$out/probe.txt" &
wait $!
wine_session_end
trap - EXIT

step "sizes"
cp build/mingw-x86_64/onymix.exe "$out/onymix-x86_64.exe"
cp build/mingw-i686/onymix.exe "$out/onymix-i686.exe"
x86_64-w64-mingw32-strip "$out/onymix-x86_64.exe"
i686-w64-mingw32-strip "$out/onymix-i686.exe"
size_of() { stat -c %s "$1"; }
baseline_size=$(size_of "$out/baseline.exe")
x64_size=$(size_of "$out/onymix-x86_64.exe")
i686_size=$(size_of "$out/onymix-i686.exe")
name_bytes=$(awk '{ total += length($0) + 1 } END { print total }' names/data/*.txt)
printf '%-34s %9s bytes\n' "baseline.exe (x86_64, stripped)" "$baseline_size"
printf '%-34s %9s bytes  (%s above the baseline)\n' "onymix.exe x86_64, stripped" "$x64_size" \
    "$((x64_size - baseline_size))"
printf '%-34s %9s bytes\n' "onymix.exe i686, stripped" "$i686_size"
printf '%-34s %9s bytes  (each name and its NUL)\n' "name strings, names/data/*.txt" "$name_bytes"

step "against the targets (information only)"
read -r _ _ base_ms onymix_ms startup_ratio < <(grep '^summary startup_ms' "$out/probe.txt")
read -r _ _ base_kib onymix_kib memory_ratio < <(grep '^summary peak_kib' "$out/probe.txt")
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit) ? "pass" : "miss" }'; }
printf 'start-up     onymix/baseline %s (%s ms / %s ms), target <= 1.10: %s\n' \
    "$startup_ratio" "$onymix_ms" "$base_ms" "$(verdict "$startup_ratio" 1.10)"
printf 'peak memory  onymix/baseline %s (%s KiB / %s KiB), target <= 1.15: %s\n' \
    "$memory_ratio" "$onymix_kib" "$base_kib" "$(verdict "$memory_ratio" 1.15)"
printf 'i686 size    %s bytes, target < 800 KB (819,200 bytes): %s\n' "$i686_size" \
    "$( [ "$i686_size" -lt 819200 ] && echo pass || echo miss)"
