#!/usr/bin/env bash
# Builds the panel and the switcher simulator and runs the panel under Wine
# with the simulated switcher on COM5, connected to it as an operator would.
# On a machine without a display the panel runs on a private Xvfb and a
# screenshot is written to build/screenshot.png. (scripts/bench.sh measures
# the panel, its idle CPU share included.)
set -euo pipefail

# shellcheck source=build-steps.sh
source "$(dirname "${BASH_SOURCE[0]}")/build-steps.sh"
readonly SCREENSHOT="$root/build/screenshot.png"
readonly PAINT_SETTLE_SECONDS=1

# Inside the session: the simulator on the mapped port, the panel, and the
# driver that connects the panel to the port.
run_inside_session() {
    local mode=$1
    local log="$CORVANE_SESSION_DIR/switcher.log"
    # shellcheck source=panel-steps.sh
    source "$root/scripts/panel-steps.sh"
    start_simulator "$log"
    start_panel
    connect_panel
    if [[ "$mode" == headless ]]; then
        wait_for_poll "$log"
        sleep "$PAINT_SETTLE_SECONDS"
        kill -0 "$panel_pid" 2>/dev/null || panel_step_failed "the panel ended early (see $CORVANE_SESSION_DIR/panel.log)"
        import -window root "$SCREENSHOT"
        echo "run-panel: screenshot written to $SCREENSHOT"
    else
        echo "run-panel: the panel is up and connected to the simulated switcher on COM$CORVANE_COM_PORT"
        wait "$panel_pid" || true
    fi
    kill "$simulator_pid" 2>/dev/null || true
}

if [[ "${1:-}" == "--inside-session" ]]; then
    run_inside_session "$2"
    exit 0
fi

bash "$root/scripts/install-deps.sh"
build_native -- switcher-sim
build_windows -- Corvane corvane_panel_driver

# A local display (":0") is reachable from the session's private network;
# anything else gets a private Xvfb.
display_options=()
mode=headless
if [[ "${DISPLAY:-}" == :* ]]; then
    display_options=(--use-display)
    mode=display
fi
bash "$root/scripts/wine-session.sh" --session-dir "$WINDOWS/panel-session" \
    --simulator "$NATIVE/tools/switcher-sim" "${display_options[@]}" -- \
    bash "$root/scripts/run-panel.sh" --inside-session "$mode"
