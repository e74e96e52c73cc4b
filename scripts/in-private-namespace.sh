#!/usr/bin/env bash
# Runs a command in a private network namespace with only loopback, and a
# private PID namespace: when the command ends, however it ends, the kernel
# ends every process it started. A normal user gets a user namespace too (as
# root of it), which is what lets a user without privileges make the other
# two, where the machine allows user namespaces.
#
# Usage: in-private-namespace.sh COMMAND [ARGS...]
#
# If the namespaces cannot be made, it fails with a message: it never falls
# back to the machine's network.
set -euo pipefail

if [[ $# -eq 0 ]]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

namespaces=(--net --pid --fork --kill-child --mount-proc)
if [[ $(id -u) -ne 0 ]]; then
    namespaces=(--user --map-root-user "${namespaces[@]}")
fi

# Tried first with a command that does nothing, so that a refusal is told
# here rather than by unshare in place of the command.
if ! refusal=$(unshare "${namespaces[@]}" -- true 2>&1); then
    echo "in-private-namespace: cannot create private namespaces (unshare ${namespaces[*]}: ${refusal:-refused})." >&2
    if [[ $(id -u) -ne 0 ]]; then
        echo "in-private-namespace: as a normal user this needs user namespaces (sysctl user.max_user_namespaces > 0," \
            "and kernel.unprivileged_userns_clone=1 where the kernel has it); or run as root." >&2
    fi
    echo "in-private-namespace: refusing to run on the machine's network." >&2
    exit 1
fi
exec unshare "${namespaces[@]}" -- "$@"
