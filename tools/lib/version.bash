# version.bash: sourced by the scripts that need the product version. They
# read it one way: from the generated/version.h of a configured build
# folder, which CMake writes from the project version in CMakeLists.txt, the
# one place it is written.

# build_version BUILD_DIR: prints the version, or says what is missing and
# fails.
build_version() {
    local header=$1/generated/version.h version=""
    [ -f "$header" ] && version=$(sed -n 's/^#define ONYMIX_VERSION "\([^"]*\)"$/\1/p' "$header")
    if [ -z "$version" ]; then
        echo "${0##*/}: no ONYMIX_VERSION in $header: not a configured build folder" >&2
        return 1
    fi
    printf '%s\n' "$version"
}
