#!/usr/bin/env bash
# Makes the release packages in dist/ from the checked-out commit:
#   onymix-VERSION-win32.zip, onymix-VERSION-win64.zip  (folder Onymix/ with
#     onymix.exe, onymix-cli.exe, README.txt, LICENSE.txt, NOTICE.txt)
#   onymix-cli_VERSION_amd64.deb                       (onymix-cli for Debian)
#   SHA256SUMS
# VERSION is the CMake project version. The files are the same bytes wherever
# and whenever the same commit is built: every time stamp is the commit's
# date (SOURCE_DATE_EPOCH), file order, modes and owners are fixed, and the
# build paths are mapped away by CMakeLists.txt. Builds in build/release-*.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh

export LC_ALL=C TZ=UTC
umask 022
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }

rm -rf build/release-win32 build/release-win64 build/release-deb build/release-stage dist
mkdir -p dist build/release-stage

# One configuration per package, independent of the development presets:
# no tests, no benchmarks.
configure() { # build-folder [cmake arguments...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DONYMIX_TESTS=OFF -DONYMIX_BENCH=OFF \
        "$@" >/dev/null
}

step "native onymix-cli for the Debian package"
# Debian's hardening flags, as a Debian package build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
configure build/release-deb -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build/release-deb -j "$jobs" --target onymix-cli

version=$(sed -n 's/^#define ONYMIX_VERSION "\(.*\)"$/\1/p' build/release-deb/generated/version.h)
[ -n "$version" ] || { echo "release: no version in version.h" >&2; exit 1; }
echo "version $version, SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH"

# Sets every time stamp under the given paths to the commit's date.
stamp() { find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

# A text for Windows: the version filled in, CR LF line ends whatever the
# checkout's line ends are.
windows_text() { # source destination
    sed -e "s/@VERSION@/$version/g" -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}

for arch in win32 win64; do
    case $arch in
    win32) toolchain=cmake/mingw-i686.cmake ;;
    win64) toolchain=cmake/mingw-x86_64.cmake ;;
    esac
    step "Windows $arch build"
    configure "build/release-$arch" -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    cmake --build "build/release-$arch" -j "$jobs" --target onymix onymix-cli

    stage="build/release-stage/$arch"
    mkdir -p "$stage/Onymix"
    install -m 0755 "build/release-$arch/onymix.exe" "build/release-$arch/onymix-cli.exe" "$stage/Onymix/"
    for text in README.txt LICENSE.txt NOTICE.txt; do
        windows_text "packaging/$text" "$stage/Onymix/$text"
        chmod 0644 "$stage/Onymix/$text"
    done
    stamp "$stage"
    # -X: no owner ids or extra time fields; the names in a fixed order.
    (cd "$stage" && zip -X -9 -q "$root/dist/onymix-$version-$arch.zip" \
        Onymix/ Onymix/onymix.exe Onymix/onymix-cli.exe \
        Onymix/README.txt Onymix/LICENSE.txt Onymix/NOTICE.txt)
done

step "Debian package"
arch=$(dpkg --print-architecture)
deb_root=build/release-stage/deb
DESTDIR="$root/$deb_root" cmake --install build/release-deb >/dev/null
# Stripped as Debian's own packages are: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note "$deb_root/usr/bin/onymix-cli"
doc="$deb_root/usr/share/doc/onymix-cli"
mkdir -p "$doc" "$deb_root/DEBIAN"
gzip -9n "$deb_root/usr/share/man/man1/onymix-cli.1"
cp packaging/debian/copyright "$doc/copyright"
date_rfc2822=$(date -u -R -d "@$SOURCE_DATE_EPOCH")
cat >"$doc/changelog" <<EOF
onymix-cli ($version) unstable; urgency=medium

  * Release $version.

 -- Onymix authors <dev@onymix.invalid>  $date_rfc2822
EOF
gzip -9n "$doc/changelog"

# The runtime libraries the program links, with the versions it needs, as
# dpkg-shlibdeps finds them (it wants a debian/control beside it).
shlibdeps=build/release-deb/shlibdeps
mkdir -p "$shlibdeps/debian"
printf 'Source: onymix\n\nPackage: onymix-cli\nArchitecture: any\n' >"$shlibdeps/debian/control"
depends=$(cd "$shlibdeps" && dpkg-shlibdeps -O "$root/$deb_root/usr/bin/onymix-cli" |
    sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "release: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

find "$deb_root" -type d -exec chmod 0755 {} +
find "$deb_root" -type f -exec chmod 0644 {} +
chmod 0755 "$deb_root/usr/bin/onymix-cli"
# Installed-Size as dpkg counts it: KiB per file, rounded up, and 1 for each
# other entry.
installed_size=$(find "$deb_root" -path "$deb_root/DEBIAN" -prune -o -mindepth 1 -printf '%y %s\n' |
    awk '$1 == "f" { n += int(($2 + 1023) / 1024); next } { n += 1 } END { print n }')
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@INSTALLED_SIZE@/$installed_size/" \
    -e "s/@DEPENDS@/$depends/" packaging/debian/control.in >"$deb_root/DEBIAN/control"
(cd "$deb_root" && find usr -type f | sort | xargs md5sum) >"$deb_root/DEBIAN/md5sums"
chmod 0644 "$deb_root/DEBIAN/md5sums"
stamp "$deb_root"
dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$deb_root" \
    "dist/onymix-cli_${version}_$arch.deb" >/dev/null

(cd dist && sha256sum "onymix-$version-win32.zip" "onymix-$version-win64.zip" \
    "onymix-cli_${version}_$arch.deb" >SHA256SUMS)
step "dist/"
(cd dist && ls -l && cat SHA256SUMS)
