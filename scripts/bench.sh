#!/usr/bin/env bash
# Builds what it needs and prints the panel's figures, each with its unit and
# what it stands against, inside a Wine test session of its own:
#   - receive rate: command frames from an unpaced line to the page handler;
#   - upgrade: whole MCU and flash transfers on a line paced at 115200 baud,
#     8N2 (10,473 bytes a second), against their wire time;
#   - EDID upload on the paced line, against its wire time;
#   - idle CPU share and wake-ups of the panel, with no port open and
#     connected to the simulated switcher.
# The first three are the Bench* cases of the Wine test program, which ctest
# leaves out. Takes about four minutes.
set -euo pipefail

# shellcheck source=build-steps.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-steps.sh"
# The simulator is built optimised and without sanitizers: its own lateness
# would count against the panel's figures.
readonly BENCH_NATIVE="$root/build/bench-native"
readonly TESTS="$WINDOWS/tests/wine/corvane_wine_tests.exe"
readonly BENCH_FILTER='*.Bench*'
readonly FIGURE_MARK='figure: '
readonly IDLE_SETTLE_SECONDS=5
readonly IDLE_MEASURE_SECONDS=40

# User and system time of a process so far, in clock ticks.
cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$1/stat"
}

# Times any thread of a process has been woken so far.
wake_ups() {
    cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^(non)?voluntary_ctxt_switches:/ {sum += $2} END {print sum + 0}'
}

# The CPU share of one core that the panel and the wineserver take while
# nothing happens, and how often the panel wakes, over IDLE_MEASURE_SECONDS.
measure_idle() {
    local label=$1 server_pid
    server_pid=$(pgrep -x 'wineserver(64)?' | head -n 1)
    sleep "$IDLE_SETTLE_SECONDS"
    local panel_before server_before wakes_before panel_after server_after wakes_after
    panel_before=$(cpu_ticks "$panel_pid")
    server_before=$(cpu_ticks "$server_pid")
    wakes_before=$(wake_ups "$panel_pid")
    sleep "$IDLE_MEASURE_SECONDS"
    panel_after=$(cpu_ticks "$panel_pid")
    server_after=$(cpu_ticks "$server_pid")
    wakes_after=$(wake_ups "$panel_pid")
    awk -v label="$label" -v panel=$((panel_after - panel_before)) -v server=$((server_after - server_before)) \
        -v wakes=$((wakes_after - wakes_before)) -v ticks="$(getconf CLK_TCK)" -v seconds="$IDLE_MEASURE_SECONDS" \
        'BEGIN { printf "idle panel, %s: CPU %.2f%% of one core, wineserver %.2f%%; %.1f wake-ups a second (over %d s)\n",
                 label, 100 * panel / (ticks * seconds), 100 * server / (ticks * seconds), wakes / seconds, seconds }'
}

measure_idle_panel() {
    local log="$CORVANE_SESSION_DIR/switcher.log"
    # shellcheck source=panel-steps.sh
    source "$root/scripts/panel-steps.sh"
    start_simulator "$log"
    start_panel
    measure_idle "no port open, port list refreshing"
    connect_panel
    wait_for_poll "$log"
    measure_idle "COM$CORVANE_COM_PORT connected, General page, line quiet"
    kill "$panel_pid" "$simulator_pid" 2>/dev/null || true
}

# Each Bench* case runs in a program of its own, as the test groups do, and
# prints its figures among the program's output; a case that fails fails the
# run.
run_bench_cases() {
    local cases output status=0 name
    cases=$(bash "$root/tests/wine/wine-run" "$TESTS" --gtest_list_tests --gtest_filter="$BENCH_FILTER" \
        | tr -d '\r' | awk '/^[^ ]/ {suite = $1} /^  / {print suite $1}')
    [[ -n "$cases" ]] || { echo "bench: no Bench* cases in $TESTS" >&2; return 1; }
    for name in $cases; do
        output="$CORVANE_SESSION_DIR/$name.log"
        if ! bash "$root/tests/wine/wine-run" "$TESTS" --gtest_color=no --gtest_filter="$name" >"$output" 2>&1; then
            grep -E -A6 '^\S+:[0-9]+: Failure|^\[  FAILED  \]' "$output" >&2 || true
            echo "bench: $name failed (see $output)" >&2
            status=1
        fi
        grep -F "$FIGURE_MARK" "$output" | sed "s/^.*$FIGURE_MARK//" || true
    done
    return "$status"
}

if [[ "${1:-}" == "--inside-session" ]]; then
    run_bench_cases
    measure_idle_panel
    exit 0
fi

bash "$root/scripts/install-deps.sh"
build_tree "$BENCH_NATIVE" -DCMAKE_BUILD_TYPE=Release -- switcher-sim
build_windows -- Corvane corvane_panel_driver corvane_wine_tests
bash "$root/scripts/wine-session.sh" --session-dir "$WINDOWS/bench-session" \
    --simulator "$BENCH_NATIVE/tools/switcher-sim" -- \
    bash "$root/scripts/bench.sh" --inside-session
