# shellcheck shell=bash
# Steps inside a Wine test session (scripts/wine-session.sh) shared by
# run-panel.sh and bench.sh: the simulated switcher on the session's COM port,
# the panel, and the driver that connects the panel to the port as an
# operator would. Sourced after build-steps.sh, whose Windows tree holds the
# panel and the driver.

readonly PANEL="$WINDOWS/app/Corvane.exe"
readonly DRIVER="$WINDOWS/tests/wine/corvane_panel_driver.exe"

# The switcher's state the General page shows once connected: input 2 on
# output A, audio mode 3 on input 1, auto switch and ARC on.
readonly DEVICE_STATE=("set route 1 2" "set edid 1 3" "set autoswitch on" "set arc 1 on")
# The last of the four queries of the General page's poll (the ARC of output A).
readonly LAST_POLL_QUERY='RX A5 5B 10 02 '
readonly POLL_WAIT_SECONDS=30
readonly SIMULATOR_START_SECONDS=30

panel_step_failed() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

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
            || panel_step_failed "the simulator ended early (see $CORVANE_SESSION_DIR/switcher.out)"
        (( waited++ < SIMULATOR_START_SECONDS * 10 )) || panel_step_failed "the simulator made no pty"
        sleep 0.1
    done
}

start_panel() {
    WINEDEBUG=-all /usr/lib/wine/wine64 "$PANEL" >"$CORVANE_SESSION_DIR/panel.log" 2>&1 &
    panel_pid=$!
}

connect_panel() {
    WINEDEBUG=-all /usr/lib/wine/wine64 "$DRIVER" "COM$CORVANE_COM_PORT" \
        || panel_step_failed "the panel could not be connected to COM$CORVANE_COM_PORT"
}

wait_for_poll() {
    local log=$1 waited=0
    until grep -qi "$LAST_POLL_QUERY" "$log" 2>/dev/null; do
        (( waited++ < POLL_WAIT_SECONDS * 10 )) || panel_step_failed "the poll's queries never reached the switcher"
        sleep 0.1
    done
}
