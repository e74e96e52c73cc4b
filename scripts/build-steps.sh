# shellcheck shell=bash
# Build steps shared by test.sh, run-panel.sh and bench.sh: where the trees
# are and how each is configured and built. Sourced.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly root
JOBS=$(nproc)
readonly JOBS
readonly NATIVE="$root/build/native"
readonly WINDOWS="$root/build/win"

# build_tree DIR [CMAKE_OPTION...] [-- TARGET...]: configures the tree at DIR
# and builds the targets named, or every target when none is.
build_tree() {
    local dir=$1
    shift
    local -a options=() targets=()
    while [[ $# -gt 0 && "$1" != -- ]]; do
        options+=("$1")
        shift
    done
    if [[ $# -gt 1 ]]; then
        targets=(--target "${@:2}")
    fi
    cmake -S "$root" -B "$dir" -G Ninja "${options[@]}"
    cmake --build "$dir" -j "$JOBS" "${targets[@]}"
}

# The native tree has the sanitizers on; the Windows tree is cross-compiled.
build_native() {
    build_tree "$NATIVE" -DCORVANE_SANITIZE=ON "$@"
}

build_windows() {
    build_tree "$WINDOWS" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" "$@"
}
