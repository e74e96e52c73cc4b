#!/usr/bin/env bash
# Enters the test session's private namespaces the way wine-session.sh does,
# as a user without privileges (nobody, when run as root), and checks that
# loopback is all the namespace holds. Skipped (exit 77) where the machine
# does not let a normal user create user namespaces.
set -euo pipefail

readonly SKIPPED=77
readonly UNPRIVILEGED_ID=65534

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
readonly entry="$root/scripts/in-private-namespace.sh"

as_user=()
if [[ $(id -u) -eq 0 ]]; then
    as_user=(setpriv --reuid="$UNPRIVILEGED_ID" --regid="$UNPRIVILEGED_ID" --clear-groups --)
fi

if ! "${as_user[@]}" unshare --user --map-root-user -- true 2>/dev/null; then
    echo "skipped: this machine does not let a normal user create user namespaces"
    exit "$SKIPPED"
fi

links=$("${as_user[@]}" bash "$entry" ip -o link show | awk -F': ' '{print $2}')
if [[ "$links" != "lo" ]]; then
    echo "the private namespace of a normal user holds: $links" >&2
    exit 1
fi
echo "a normal user enters the private namespaces; loopback is all they hold"
