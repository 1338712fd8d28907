#!/usr/bin/env bash
# Makes the release packages in dist/ from the checked-out commit:
#   onymix-VERSION-win32.zip, onymix-VERSION-win64.zip  (folder Onymix/ with
#     onymix.exe, onymix-cli.exe, README.txt, LICENSE.txt, NOTICE.txt)
#   onymix-VERSION-win32-dev.zip, onymix-VERSION-win64-dev.zip  (the library
#     for Windows programs: include/onymix.h, bin/onymix.dll,
#     lib/libonymix.dll.a, lib/onymix.def, LICENSE.txt, NOTICE.txt; the
#     64-bit one also sqlite3/onymix.sqlite3.dll, the SQLite extension)
#   onymix-cli_VERSION_ARCH.deb, libonymix1_VERSION_ARCH.deb,
#   libonymix-dev_VERSION_ARCH.deb,
#   libsqlite3-mod-onymix_VERSION_ARCH.deb,
#   postgresql-15-onymix_VERSION_ARCH.deb               (for Debian)
#   onymix-VERSION-cp311-abi3-linux_x86_64.whl          (the Python package)
#   onymix-VERSION.tgz                                 (the npm package)
#   onymix-VERSION-web.zip                             (the web page)
#   SHA256SUMS
# VERSION is the CMake project version. The files are the same bytes wherever
# and whenever the same commit is built: every time stamp is the commit's
# date (SOURCE_DATE_EPOCH), file order, modes and owners are fixed, and the
# build paths are mapped away by CMakeLists.txt. Builds with the release
# presets (CMakePresets.json: no tests, no benchmarks), in build/release-*.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/install-deps.sh release
source tools/lib/reproducible.bash
source tools/lib/version.bash

jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }

rm -rf build/release-native build/release-win32 build/release-win64 build/release-stage \
    build/release-wasm dist
mkdir -p dist build/release-stage

step "native onymix-cli, libonymix and the SQLite extension for the Debian packages"
# Debian's hardening flags, as a Debian package build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset release-native -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build --preset release-native -j "$jobs" \
    --target onymix-cli onymix_shared onymix_archive onymix_sqlite

version=$(build_version build/release-native)
echo "version $version, SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH"

# A text for Windows: the version filled in, CR LF line ends whatever the
# checkout's line ends are.
windows_text() { # source destination
    sed -e "s/@VERSION@/$version/g" -e 's/\r$//' -e 's/$/\r/' "$1" >"$2"
}

for arch in win32 win64; do
    step "Windows $arch build"
    # The SQLite extension is built for 64-bit Windows only.
    extension=()
    [ "$arch" = win32 ] || extension=(onymix_sqlite)
    cmake --preset "release-$arch" >/dev/null
    cmake --build --preset "release-$arch" -j "$jobs" --target onymix onymix-cli onymix_shared \
        "${extension[@]}"

    stage="build/release-stage/$arch"
    mkdir -p "$stage/Onymix"
    install -m 0755 "build/release-$arch/onymix.exe" "build/release-$arch/onymix-cli.exe" "$stage/Onymix/"
    for text in README.txt LICENSE.txt NOTICE.txt; do
        windows_text "packaging/$text" "$stage/Onymix/$text"
    done
    # The programs first, then the texts.
    zip_folder "dist/onymix-$version-$arch.zip" "$stage" \
        Onymix/ Onymix/onymix.exe Onymix/onymix-cli.exe \
        Onymix/README.txt Onymix/LICENSE.txt Onymix/NOTICE.txt

    # The library for Windows programs.
    dev="build/release-stage/$arch-dev/onymix-$version-$arch-dev"
    mkdir -p "$dev/include" "$dev/bin" "$dev/lib"
    install -m 0644 include/onymix.h "$dev/include/"
    install -m 0755 "build/release-$arch/onymix.dll" "$dev/bin/"
    install -m 0644 "build/release-$arch/libonymix.dll.a" lib/onymix.def "$dev/lib/"
    extension_entries=()
    if [ ${#extension[@]} -gt 0 ]; then
        mkdir -p "$dev/sqlite3"
        install -m 0755 "build/release-$arch/sqlite/onymix.sqlite3.dll" "$dev/sqlite3/"
        extension_entries=("${dev##*/}/sqlite3/" "${dev##*/}/sqlite3/onymix.sqlite3.dll")
    fi
    for text in LICENSE.txt NOTICE.txt; do
        windows_text "packaging/$text" "$dev/$text"
    done
    zip_folder "dist/onymix-$version-$arch-dev.zip" "${dev%/*}" \
        "${dev##*/}/" "${dev##*/}/include/" "${dev##*/}/include/onymix.h" \
        "${dev##*/}/bin/" "${dev##*/}/bin/onymix.dll" \
        "${dev##*/}/lib/" "${dev##*/}/lib/libonymix.dll.a" "${dev##*/}/lib/onymix.def" \
        "${extension_entries[@]}" "${dev##*/}/LICENSE.txt" "${dev##*/}/NOTICE.txt"
done

step "Debian packages"
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
installed=build/release-stage/installed
DESTDIR="$root/$installed" cmake --install build/release-native >/dev/null
libdir=usr/lib/$multiarch
# Stripped as Debian's own packages are: no symbols, no compiler notes.
strip --remove-section=.comment --remove-section=.note "$installed/usr/bin/onymix-cli"
strip --strip-unneeded --remove-section=.comment --remove-section=.note \
    "$installed/$libdir/libonymix.so.$version" "$installed/$libdir/onymix/sqlite3/onymix.so"
strip --strip-debug --remove-section=.comment --enable-deterministic-archives \
    "$installed/$libdir/libonymix.a"
gzip -9n "$installed/usr/share/man/man1/onymix-cli.1" "$installed/usr/share/man/man3/onymix.3"

# Moves the given paths (relative to the installed tree) into a package's tree.
take() { # package path...
    local package=$1 path
    shift
    for path in "$@"; do
        mkdir -p "build/release-stage/$package/$(dirname "$path")"
        mv "$installed/$path" "build/release-stage/$package/$path"
    done
}
take onymix-cli usr/bin/onymix-cli usr/share/man/man1/onymix-cli.1.gz
take libonymix1 "$libdir/libonymix.so.$version" "$libdir/libonymix.so.1"
take libonymix-dev usr/include/onymix.h "$libdir/libonymix.so" "$libdir/libonymix.a" \
    "$libdir/pkgconfig/onymix.pc" "$libdir/cmake/onymix" usr/share/man/man3/onymix.3.gz
# The SQLite extension in a package of its own, named as Debian names
# SQLite's loadable modules: SQLite users need neither the development files
# nor the shared library, whose objects it holds.
take libsqlite3-mod-onymix "$libdir/onymix/sqlite3/onymix.so"
left=$(find "$installed" -type f -o -type l)
[ -z "$left" ] || { echo "release: installed but in no package: $left" >&2; exit 1; }

date_rfc2822=$(date -u -R -d "@$SOURCE_DATE_EPOCH")

# The runtime libraries a file links, with the versions it needs, as
# dpkg-shlibdeps finds them (it wants a debian/control beside it).
shlibdeps=build/release-native/shlibdeps
mkdir -p "$shlibdeps/debian"
printf 'Source: onymix\n\nPackage: onymix-cli\nArchitecture: any\n' >"$shlibdeps/debian/control"
depends_of() { # file
    local depends
    depends=$(cd "$shlibdeps" && dpkg-shlibdeps -O "$root/$1" | sed -n 's/^shlibs:Depends=//p')
    [ -n "$depends" ] || { echo "release: dpkg-shlibdeps found no dependencies of $1" >&2; return 1; }
    echo "$depends"
}

# Makes dist/PACKAGE_VERSION_ARCH.deb from build/release-stage/PACKAGE, with
# the copyright, a changelog and the control file from the template.
make_deb() { # package template depends
    local package=$1 template=$2 depends=$3
    local tree=build/release-stage/$package
    local doc="$tree/usr/share/doc/$package"
    mkdir -p "$doc" "$tree/DEBIAN"
    cp packaging/debian/copyright "$doc/copyright"
    printf '%s (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- Onymix authors <dev@onymix.invalid>  %s\n' \
        "$package" "$version" "$version" "$date_rfc2822" >"$doc/changelog"
    gzip -9n "$doc/changelog"
    find "$tree" -type d -exec chmod 0755 {} +
    find "$tree" -type f -exec chmod 0644 {} +
    find "$tree/usr/bin" -type f -exec chmod 0755 {} + 2>/dev/null || true
    # Installed-Size as dpkg counts it: KiB per file, rounded up, and 1 for
    # each other entry.
    local installed_size
    installed_size=$(find "$tree" -path "$tree/DEBIAN" -prune -o -mindepth 1 -printf '%y %s\n' |
        awk '$1 == "f" { n += int(($2 + 1023) / 1024); next } { n += 1 } END { print n }')
    sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@INSTALLED_SIZE@/$installed_size/" \
        -e "s/@DEPENDS@/$depends/" "packaging/debian/$template" >"$tree/DEBIAN/control"
    (cd "$tree" && find usr -type f | sort | xargs md5sum) >"$tree/DEBIAN/md5sums"
    chmod 0644 "$tree"/DEBIAN/*
    stamp "$tree"
    dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$tree" \
        "dist/${package}_${version}_$arch.deb" >/dev/null
}

make_deb onymix-cli control.in "$(depends_of build/release-stage/onymix-cli/usr/bin/onymix-cli)"

# The shared library's package says which package provides it (shlibs) and
# since which version each symbol is there (symbols), and has ldconfig run.
lib1=build/release-stage/libonymix1
mkdir -p "$lib1/DEBIAN"
printf 'libonymix 1 libonymix1 (>= %s)\n' "$version" >"$lib1/DEBIAN/shlibs"
{
    echo "libonymix.so.1 libonymix1 #MINVER#"
    echo "* Build-Depends-Package: libonymix-dev"
    nm -D --defined-only "$lib1/$libdir/libonymix.so.$version" |
        awk -v v="$version" '{ sub(/@@/, "@", $3); print " " $3 " " v }' | sort
} >"$lib1/DEBIAN/symbols"
echo "activate-noawait ldconfig" >"$lib1/DEBIAN/triggers"
make_deb libonymix1 libonymix1.control.in "$(depends_of "$lib1/$libdir/libonymix.so.$version")"
make_deb libonymix-dev libonymix-dev.control.in ""
make_deb libsqlite3-mod-onymix libsqlite3-mod-onymix.control.in \
    "$(depends_of build/release-stage/libsqlite3-mod-onymix/$libdir/onymix/sqlite3/onymix.so)"

# The PostgreSQL extension, over the archive of the native build, installed
# where the server looks (pg_config's folders). Its version is the
# project's, which the Makefile reads from that build: the control file and
# the install script must say so.
pg_config=/usr/lib/postgresql/15/bin/pg_config
pg_stage=build/release-stage/postgresql-15-onymix
make -s -C postgres PG_CONFIG="$pg_config" clean
make -s -C postgres PG_CONFIG="$pg_config" ONYMIX_BUILD="$root/build/release-native" \
    COPT="-ffile-prefix-map=$root=."
make -s -C postgres PG_CONFIG="$pg_config" ONYMIX_BUILD="$root/build/release-native" \
    DESTDIR="$root/$pg_stage" install
pg_module="$pg_stage$("$pg_config" --pkglibdir)/onymix.so"
pg_extension="$pg_stage$("$pg_config" --sharedir)/extension"
grep -qx "default_version = '$version'" "$pg_extension/onymix.control" &&
    [ -f "$pg_extension/onymix--$version.sql" ] ||
    { echo "release: the PostgreSQL extension is not at version $version" >&2; exit 1; }
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$pg_module"
make -s -C postgres PG_CONFIG="$pg_config" clean
make_deb postgresql-15-onymix postgresql-15-onymix.control.in "postgresql-15, $(depends_of "$pg_module")"

step "Python package"
tools/release-python.sh dist

step "npm package"
tools/release-js.sh dist

step "web page"
tools/release-web.sh dist

(cd dist && sha256sum "onymix-$version-win32.zip" "onymix-$version-win64.zip" \
    "onymix-$version-win32-dev.zip" "onymix-$version-win64-dev.zip" \
    "onymix-cli_${version}_$arch.deb" "libonymix1_${version}_$arch.deb" \
    "libonymix-dev_${version}_$arch.deb" "libsqlite3-mod-onymix_${version}_$arch.deb" \
    "postgresql-15-onymix_${version}_$arch.deb" \
    onymix-"$version"-*.whl "onymix-$version.tgz" "onymix-$version-web.zip" \
    >SHA256SUMS)
step "dist/"
(cd dist && ls -l && cat SHA256SUMS)
