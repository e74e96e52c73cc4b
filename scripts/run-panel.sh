#!/usr/bin/env bash
# Builds the panel and the switcher simulator and runs the panel under Wine
# with the simulated switcher on COM5, connected to it as an operator would.
# On a machine without a display the panel runs on a private Xvfb and a
# screenshot is written to build/screenshot.png.
#
#   run-panel.sh             run the panel (or take the screenshot)
#   run-panel.sh --idle-cpu  measure the idle panel's CPU share, first with no
#                            port open, then connected to COM5
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly root
JOBS=$(nproc)
readonly JOBS
readonly NATIVE="$root/build/native"
readonly WINDOWS="$root/build/win"
readonly PANEL="$WINDOWS/app/Corvane.exe"
readonly SCREENSHOT="$root/build/screenshot.png"
readonly DRIVER="$WINDOWS/tests/wine/corvane_panel_driver.exe"
# The switcher's state the General page shows once connected: input 2 on
# output A, audio mode 3 on input 1, auto switch and ARC on.
readonly DEVICE_STATE=("set route 1 2" "set edid 1 3" "set autoswitch on" "set arc 1 on")
# The last of the four queries of the General page's poll (the ARC of output A).
readonly LAST_POLL_QUERY='RX A5 5B 10 02 '
readonly POLL_WAIT_SECONDS=30
readonly SIMULATOR_START_SECONDS=30
readonly PAINT_SETTLE_SECONDS=1
readonly IDLE_SETTLE_SECONDS=5
readonly IDLE_MEASURE_SECONDS=40

start_simulator() {
    local log=$1
    local -a state_options=()
    local command
    for command in "${DEVICE_STATE[@]}"; do
        state_options+=(--command "$command")
    done
    rm -f "$log" "$CORVANE_COM_LINK"
    "$CORVANE_SIMULATOR" --pty-link "$CORVANE_COM_LINK" --lan-netns "$CORVANE_LAN_NETNS" --log "$log" \
        "${state_options[@]}" \
        >"$CORVANE_SESSION_DIR/switcher.out" 2>&1 &
    simulator_pid=$!
    # The port is listed from the registry before the line exists: the
    # operator's Connect must not come before the simulator's pty does.
    local waited=0
    until [[ -e "$CORVANE_COM_LINK" ]]; do
        kill -0 "$simulator_pid" 2>/dev/null \
            || { echo "run-panel: the simulator ended early (see $CORVANE_SESSION_DIR/switcher.out)" >&2; exit 1; }
        (( waited++ < SIMULATOR_START_SECONDS * 10 )) || { echo "run-panel: the simulator made no pty" >&2; exit 1; }
        sleep 0.1
    done
}

start_panel() {
    WINEDEBUG=-all /usr/lib/wine/wine64 "$PANEL" >"$CORVANE_SESSION_DIR/panel.log" 2>&1 &
    panel_pid=$!
}

connect_panel() {
    WINEDEBUG=-all /usr/lib/wine/wine64 "$DRIVER" "COM$CORVANE_COM_PORT" \
        || { echo "run-panel: the panel could not be connected to COM$CORVANE_COM_PORT" >&2; exit 1; }
}

wait_for_poll() {
    local log=$1 waited=0
    until grep -qi "$LAST_POLL_QUERY" "$log" 2>/dev/null; do
        (( waited++ < POLL_WAIT_SECONDS * 10 )) || { echo "run-panel: the poll's queries never reached the switcher" >&2; exit 1; }
        sleep 0.1
    done
}

# User and system time of a process so far, in clock ticks.
cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$1/stat"
}

# Prints the CPU share of one core that the panel and the wineserver take
# while nothing happens, over IDLE_MEASURE_SECONDS.
measure_idle() {
    local label=$1 server_pid
    server_pid=$(pgrep -x 'wineserver(64)?' | head -n 1)
    sleep "$IDLE_SETTLE_SECONDS"
    local panel_before server_before panel_after server_after
    panel_before=$(cpu_ticks "$panel_pid")
    server_before=$(cpu_ticks "$server_pid")
    sleep "$IDLE_MEASURE_SECONDS"
    panel_after=$(cpu_ticks "$panel_pid")
    server_after=$(cpu_ticks "$server_pid")
    awk -v label="$label" -v panel=$((panel_after - panel_before)) -v server=$((server_after - server_before)) \
        -v ticks="$(getconf CLK_TCK)" -v seconds="$IDLE_MEASURE_SECONDS" \
        'BEGIN { printf "idle CPU, %s: panel %.2f%% of one core, wineserver %.2f%% (over %d s)\n",
                 label, 100 * panel / (ticks * seconds), 100 * server / (ticks * seconds), seconds }'
}

# Inside the session: the simulator on the mapped port, the panel, and the
# driver that connects the panel to the port.
run_inside_session() {
    local mode=$1
    local log="$CORVANE_SESSION_DIR/switcher.log"
    start_simulator "$log"
    start_panel
    case "$mode" in
        idle-cpu)
            measure_idle "(b) no port open, port list refreshing"
            connect_panel
            wait_for_poll "$log"
            measure_idle "(a) COM$CORVANE_COM_PORT connected, General page, link idle"
            ;;
        headless)
            connect_panel
            wait_for_poll "$log"
            sleep "$PAINT_SETTLE_SECONDS"
            kill -0 "$panel_pid" 2>/dev/null || { echo "run-panel: the panel ended early (see $CORVANE_SESSION_DIR/panel.log)" >&2; exit 1; }
            import -window root "$SCREENSHOT"
            echo "run-panel: screenshot written to $SCREENSHOT"
            ;;
        *)
            connect_panel
            echo "run-panel: the panel is up and connected to the simulated switcher on COM$CORVANE_COM_PORT"
            wait "$panel_pid" || true
            ;;
    esac
    kill "$simulator_pid" 2>/dev/null || true
}

if [[ "${1:-}" == "--inside-session" ]]; then
    run_inside_session "$2"
    exit 0
fi

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$NATIVE" -G Ninja -DCORVANE_SANITIZE=ON
cmake --build "$NATIVE" -j "$JOBS" --target switcher-sim
cmake -S "$root" -B "$WINDOWS" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
cmake --build "$WINDOWS" -j "$JOBS" --target Corvane corvane_panel_driver

# A local display (":0") is reachable from the session's private network;
# anything else gets a private Xvfb. The measurement always runs on its own.
display_options=()
mode=headless
if [[ "${1:-}" == "--idle-cpu" ]]; then
    mode=idle-cpu
elif [[ "${DISPLAY:-}" == :* ]]; then
    display_options=(--use-display)
    mode=display
fi
bash "$root/scripts/wine-session.sh" --session-dir "$WINDOWS/panel-session" \
    --simulator "$NATIVE/tools/switcher-sim" "${display_options[@]}" -- \
    bash "$root/scripts/run-panel.sh" --inside-session "$mode"
