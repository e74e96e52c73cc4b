#!/usr/bin/env bash
# Builds both trees and runs every test: the native tests (sanitizers on) and
# the Windows tests under Wine, a few groups side by side, each inside a
# private test session of its own (tests/wine/CMakeLists.txt). Fails when any
# test fails.
set -euo pipefail

# shellcheck source=build-steps.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-steps.sh"

# The repository stands alone: a clone with nothing beside it must build and
# pass. Only documentation may mention the workspace next to it.
check_stands_alone() {
    local named
    named=$(git -C "$root" grep -l -E '\.\./shared' -- ':(exclude)*.md') || true
    if [[ -n "$named" ]]; then
        echo "test.sh: these tracked files read the shared folder beside the repository; copy what they need in:" >&2
        echo "$named" >&2
        exit 1
    fi
}

check_stands_alone
bash "$root/scripts/install-deps.sh"

build_native
build_windows -DCORVANE_SIMULATOR="$NATIVE/tools/switcher-sim"

status=0
ctest --test-dir "$NATIVE" --output-on-failure -j "$JOBS" || status=1
ctest --test-dir "$WINDOWS" --output-on-failure -j "$JOBS" || status=1

# The libFuzzer targets (clang, a tree of their own), each run briefly over
# its seeds and regression inputs; README shows a long run.
readonly FUZZ="$root/build/fuzz"
build_tree "$FUZZ" -DCORVANE_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -- corvane_fuzz_targets
ctest --test-dir "$FUZZ" -L fuzz --output-on-failure -j "$JOBS" || status=1

if [[ $status -ne 0 ]]; then
    # The Wine program's output is long; repeat its failures last so that a
    # shortened log still names them.
    grep -h -A6 -E '^\S+:[0-9]+: Failure|^\[  FAILED  \]' \
        "$WINDOWS/Testing/Temporary/LastTest.log" 2>/dev/null | head -60 || true
    echo "test.sh: some tests failed" >&2
else
    echo "test.sh: all tests passed"
fi
exit "$status"
