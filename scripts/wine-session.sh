#!/usr/bin/env bash
# Runs one command (usually, for ctest, one group of the Windows test
# program through tests/wine/wine-run) inside a Wine test session:
#   - a private network namespace (and PID namespace) with loopback and a
#     veth pair whose both ends stay inside, so broadcasts have a route and
#     nothing a test sends can leave the machine;
#   - an X display: a private Xvfb, or the caller's display with --use-display;
#   - one Wine prefix for the whole session, made fresh under the session
#     directory, with COM5 mapped to the simulator's pty link and listed by
#     SetupAPI's COM-port interface enumeration the way Windows lists a port;
#   - one persistent wineserver, so each test program starts quickly.
#
# Usage: wine-session.sh --session-dir DIR [--simulator PATH] [--use-display]
#                        -- COMMAND [ARGS...]
#
# The command sees CORVANE_WINE_SESSION=1, WINEPREFIX, DISPLAY, WINEDEBUG,
# CORVANE_SESSION_DIR, CORVANE_SIMULATOR, CORVANE_COM_LINK,
# CORVANE_COM_PORT and CORVANE_LAN_NETNS (the simulated switcher's LAN
# namespace, see add_lan_namespace). The namespaces are made by
# in-private-namespace.sh (with a user namespace for a normal user); if they
# cannot be made, the session fails: it never falls back to the machine's
# network.
set -euo pipefail

readonly WINE=/usr/lib/wine/wine64
readonly WINESERVER=/usr/lib/wine/wineserver
readonly COM_PORT=5
readonly COMPORT_INTERFACE_GUID='{86E0D1E0-8089-11D0-9CE4-08003E301F73}'
readonly COMPORT_INTERFACE_GUID_LOWER='{86e0d1e0-8089-11d0-9ce4-08003e301f73}'
readonly PORTS_CLASS_GUID='{4D36E978-E325-11CE-BFC1-08002BE10318}'
readonly XVFB_START_SECONDS=10
readonly XVFB_ATTEMPTS=3
readonly VETH_NAME=p0
readonly VETH_PEER_NAME=s0
readonly VETH_ADDRESS=10.231.0.1/24
readonly LAN_ADDRESS=10.231.0.2/24
readonly LAN_START_SECONDS=5
readonly LATIN_FONT="Liberation Sans"
readonly CJK_FONT="WenQuanYi Micro Hei"
readonly WINE_MARLETT=/usr/share/wine/fonts/marlett.ttf
readonly NORMAL_WEIGHT=400
readonly BOLD_WEIGHT=700
readonly LOGFONT_FACE_HEX_DIGITS=128

session_dir=""
simulator=""
use_display=0

usage() {
    echo "usage: $0 --session-dir DIR [--simulator PATH] [--use-display] -- COMMAND [ARGS...]" >&2
    exit 2
}

fail() {
    echo "wine-session: $*" >&2
    exit 1
}

parse_arguments() {
    while [[ $# -gt 0 ]]; do
        case "$1" in
            --session-dir) session_dir="$2"; shift 2 ;;
            --simulator) simulator="$2"; shift 2 ;;
            --use-display) use_display=1; shift ;;
            --) shift; command_line=("$@"); return ;;
            *) usage ;;
        esac
    done
    usage
}

enter_private_network() {
    if [[ "${CORVANE_IN_NETNS:-}" == "1" ]]; then
        return
    fi
    export CORVANE_IN_NETNS=1
    # A private PID namespace too: when the session ends, however it ends,
    # the kernel ends every process it started (Wine's services included).
    exec bash "$(dirname "${BASH_SOURCE[0]}")/in-private-namespace.sh" bash "$0" "$@"
}

check_private_network() {
    ip link set lo up || fail "cannot bring up loopback in the private namespace"
    local others
    others=$(ip -o link show | awk -F': ' '$2 != "lo" {print $2}')
    [[ -z "$others" ]] || fail "network namespace is not private (interfaces: $others)"
}

# Broadcasts (255.255.255.255) need a route; a veth pair whose both ends stay
# in this namespace gives one, and the sender receives its own broadcast back.
add_broadcast_route() {
    ip link add "$VETH_NAME" type veth peer name "$VETH_PEER_NAME" \
        && ip addr add "$VETH_ADDRESS" dev "$VETH_NAME" \
        && ip link set "$VETH_NAME" up \
        && ip link set "$VETH_PEER_NAME" up \
        && ip route add default dev "$VETH_NAME" \
        || fail "cannot set up the broadcast route inside the private namespace"
}

# The simulated switcher's LAN side: the veth peer moves into a second
# namespace, held by a process of ours, so that the panel (a Wine program,
# here) and the device each bind UDP 30600 and 30601 in a namespace of their
# own; under Wine the two binds cannot share one namespace. The simulator
# makes its LAN sockets there (switcher-sim --lan-netns).
add_lan_namespace() {
    unshare --net -- sleep infinity &
    local holder=$!
    local own waited=0
    own=$(readlink /proc/self/ns/net)
    while [[ "$(readlink "/proc/$holder/ns/net" 2>/dev/null)" == "$own" || ! -e "/proc/$holder/ns/net" ]]; do
        kill -0 "$holder" 2>/dev/null || fail "cannot create the LAN network namespace (unshare -n)"
        (( waited++ < LAN_START_SECONDS * 10 )) || fail "the LAN network namespace did not come up"
        sleep 0.1
    done
    local lan_netns="/proc/$holder/ns/net"
    ip link set "$VETH_PEER_NAME" netns "$holder" \
        && nsenter --net="$lan_netns" ip link set lo up \
        && nsenter --net="$lan_netns" ip addr add "$LAN_ADDRESS" dev "$VETH_PEER_NAME" \
        && nsenter --net="$lan_netns" ip link set "$VETH_PEER_NAME" up \
        && nsenter --net="$lan_netns" ip route add default dev "$VETH_PEER_NAME" \
        || fail "cannot set up the LAN network namespace"
    export CORVANE_LAN_NETNS="$lan_netns"
}

# Sessions that start side by side can make an Xvfb fail at start-up (its
# keyboard map, compiled by a helper program, then fails); another attempt
# gets a display.
start_display() {
    if [[ "$use_display" == "1" && -n "${DISPLAY:-}" ]]; then
        return
    fi
    local attempt
    for (( attempt = 1; attempt <= XVFB_ATTEMPTS; attempt++ )); do
        start_xvfb && return
    done
    fail "Xvfb did not start (see $session_dir/xvfb.log)"
}

start_xvfb() {
    local display_file="$session_dir/xvfb-display"
    rm -f "$display_file"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$display_file" \
        >"$session_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local waited=0
    while [[ ! -s "$display_file" ]]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            wait "$xvfb_pid" 2>/dev/null || true
            xvfb_pid=""
            return 1
        fi
        (( waited++ < XVFB_START_SECONDS * 10 )) || fail "Xvfb gave no display number"
        sleep 0.1
    done
    export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
}

reg_add() {
    "$WINE" reg add "$@" /f >/dev/null
}

# The panel asks for Arial (title bar) and 微软雅黑 (every dialog), which a
# Linux machine does not have; without a replacement Wine draws them with a
# wider font that clips the title. Wine's own captions and menus (the About
# box's title, the system menu's About item) get the CJK font a Chinese
# Windows shows them in, and Wine's Marlett draws the caption buttons.
replace_windows_fonts() {
    local replacements='HKCU\Software\Wine\Fonts\Replacements'
    reg_add "$replacements" /v Arial /t REG_SZ /d "$LATIN_FONT"
    reg_add "$replacements" /v 微软雅黑 /t REG_SZ /d "$CJK_FONT"
    reg_add "$replacements" /v "Microsoft YaHei" /t REG_SZ /d "$CJK_FONT"
    local metrics='HKCU\Control Panel\Desktop\WindowMetrics'
    reg_add "$metrics" /v CaptionFont /t REG_BINARY /d "$(logfont_hex "$BOLD_WEIGHT" "$CJK_FONT")"
    reg_add "$metrics" /v SmCaptionFont /t REG_BINARY /d "$(logfont_hex "$NORMAL_WEIGHT" "$CJK_FONT")"
    reg_add "$metrics" /v MenuFont /t REG_BINARY /d "$(logfont_hex "$NORMAL_WEIGHT" "$CJK_FONT")"
    reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v "Marlett (TrueType)" /t REG_SZ \
        /d "Z:${WINE_MARLETT//\//\\}"
}

# A LOGFONTW of 9 points at 96 dpi (height -12) in hex, as the registry keeps
# the system's fonts: height, width, escapement, orientation, weight, eight
# single bytes (DEFAULT_CHARSET among them) and the face in 32 UTF-16 units.
logfont_hex() {
    local weight=$1 face=$2 face_hex
    face_hex=$(printf '%s' "$face" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
    while (( ${#face_hex} < LOGFONT_FACE_HEX_DIGITS )); do face_hex+=00; done
    printf 'f4ffffff%024x%02x%02x0000%s%s' 0 $((weight & 0xFF)) $((weight >> 8)) 0000000100000000 "$face_hex"
}

register_com_port() {
    local link_windows_side="$CORVANE_COM_LINK"
    local name="COM$COM_PORT"
    local instance='ROOT\PORTS\0000'
    local enum_key="HKLM\\System\\CurrentControlSet\\Enum\\$instance"
    local interface_key="HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\$COMPORT_INTERFACE_GUID\\##?#ROOT#PORTS#0000#$COMPORT_INTERFACE_GUID_LOWER"

    reg_add 'HKLM\Software\Wine\Ports' /v "$name" /t REG_SZ /d "$link_windows_side"
    reg_add "$enum_key" /v ClassGUID /t REG_SZ /d "$PORTS_CLASS_GUID"
    reg_add "$enum_key" /v Class /t REG_SZ /d Ports
    reg_add "$enum_key" /v FriendlyName /t REG_SZ /d "Communications Port ($name)"
    reg_add "$enum_key" /v DeviceDesc /t REG_SZ /d "Communications Port"
    reg_add "$enum_key\\Device Parameters" /v PortName /t REG_SZ /d "$name"
    reg_add "$interface_key" /v DeviceInstance /t REG_SZ /d "$instance"
    reg_add "$interface_key\\#" /v SymbolicLink /t REG_SZ /d "\\\\?\\ROOT#PORTS#0000#$COMPORT_INTERFACE_GUID_LOWER"
    reg_add "$interface_key\\#\\Control" /v Linked /t REG_DWORD /d 1
    # The interface's device path (\\?\ROOT#PORTS#0000#{...}) opens through a
    # link of that name in the prefix's device folder.
    ln -sfn "$link_windows_side" "$WINEPREFIX/dosdevices/root#ports#0000#$COMPORT_INTERFACE_GUID_LOWER"
}

prepare_prefix() {
    export WINEPREFIX="$session_dir/prefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    "$WINE" wineboot -i >"$session_dir/wineboot.log" 2>&1 || fail "wineboot failed (see $session_dir/wineboot.log)"
    register_com_port
    replace_windows_fonts
    if [[ -n "${xvfb_pid:-}" ]]; then
        # No window manager runs on our own Xvfb, and Wine would wait two
        # seconds for one at every top-level window it shows; unmanaged
        # windows skip that.
        reg_add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
    fi
    # The port mapping is read when the wineserver starts.
    "$WINESERVER" -k
    "$WINESERVER" -w 2>/dev/null || true
    "$WINESERVER" -p </dev/null >>"$session_dir/wineserver.log" 2>&1
    # Start Wine's services now rather than in the first test program.
    "$WINE" wineboot </dev/null >>"$session_dir/wineboot.log" 2>&1 || fail "wineboot failed after the port setup"
}

cleanup() {
    local status=$?
    if [[ -n "${WINEPREFIX:-}" ]]; then
        "$WINESERVER" -k 2>/dev/null || true
    fi
    if [[ -n "${xvfb_pid:-}" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    exit "$status"
}

main() {
    local -a command_line=()
    parse_arguments "$@"
    [[ -n "$session_dir" && ${#command_line[@]} -gt 0 ]] || usage
    enter_private_network "$@"
    check_private_network
    add_broadcast_route
    add_lan_namespace

    mkdir -p "$session_dir"
    session_dir=$(cd "$session_dir" && pwd)
    export CORVANE_WINE_SESSION=1
    export CORVANE_SESSION_DIR="$session_dir"
    export CORVANE_COM_PORT="$COM_PORT"
    export CORVANE_COM_LINK="$session_dir/switcher-pty"
    if [[ -n "$simulator" ]]; then
        [[ -x "$simulator" ]] || fail "simulator $simulator is not an executable"
        CORVANE_SIMULATOR=$(cd "$(dirname "$simulator")" && pwd)/$(basename "$simulator")
        export CORVANE_SIMULATOR
    fi

    trap cleanup EXIT
    trap 'exit 143' TERM INT HUP
    start_display
    prepare_prefix
    "${command_line[@]}"
}

main "$@"
