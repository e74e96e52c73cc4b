#!/usr/bin/env bash
# Builds the panel and the switcher simulator and runs the panel under Wine
# with the simulated switcher on COM5. On a machine without a display the
# panel runs on a private Xvfb and a screenshot is written to
# build/screenshot.png.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly root
JOBS=$(nproc)
readonly JOBS
readonly NATIVE="$root/build/native"
readonly WINDOWS="$root/build/win"
readonly PANEL="$WINDOWS/app/Corvane.exe"
readonly SCREENSHOT="$root/build/screenshot.png"
# The panel's window, and how long a headless run waits for it to show.
readonly PANEL_TITLE=Corvane
readonly WINDOW_WAIT_SECONDS=60

# Polls until the panel's window is on the display; fails when the panel
# ends first or the window does not show in time.
wait_for_panel_window() {
    local panel_pid=$1
    local waited=0
    until xwininfo -root -tree 2>/dev/null | grep -q "\"$PANEL_TITLE\""; do
        kill -0 "$panel_pid" 2>/dev/null || { echo "run-panel: the panel ended early (see $CORVANE_SESSION_DIR/panel.log)" >&2; exit 1; }
        (( waited++ < WINDOW_WAIT_SECONDS * 10 )) || { echo "run-panel: the panel's window did not show within $WINDOW_WAIT_SECONDS s" >&2; exit 1; }
        sleep 0.1
    done
}

# Inside the session: the simulator on the mapped port, then the panel.
run_inside_session() {
    local headless=$1
    "$CORVANE_SIMULATOR" --pty-link "$CORVANE_COM_LINK" --log "$CORVANE_SESSION_DIR/switcher.log" \
        >"$CORVANE_SESSION_DIR/switcher.out" 2>&1 &
    local simulator_pid=$!
    WINEDEBUG=-all /usr/lib/wine/wine64 "$PANEL" >"$CORVANE_SESSION_DIR/panel.log" 2>&1 &
    local panel_pid=$!
    if [[ "$headless" == "1" ]]; then
        wait_for_panel_window "$panel_pid"
        import -window root "$SCREENSHOT"
        echo "run-panel: screenshot written to $SCREENSHOT"
    else
        echo "run-panel: the panel is up; the simulated switcher is on COM$CORVANE_COM_PORT"
        wait "$panel_pid" || true
    fi
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
cmake --build "$WINDOWS" -j "$JOBS" --target Corvane

# A local display (":0") is reachable from the session's private network;
# anything else gets a private Xvfb.
display_options=()
headless=1
if [[ "${DISPLAY:-}" == :* ]]; then
    display_options=(--use-display)
    headless=0
fi
bash "$root/scripts/wine-session.sh" --session-dir "$WINDOWS/panel-session" \
    --simulator "$NATIVE/tools/switcher-sim" "${display_options[@]}" -- \
    bash "$root/scripts/run-panel.sh" --inside-session "$headless"
