#!/usr/bin/env bash
# Runs a command with demo_service.py up on a free port of 127.0.0.1 and
# named in TAVENRO_DEMO_SERVICE ("127.0.0.1:port"); stops the service after
# the command and exits with the command's status. The Windows test programs
# run through it, since they cannot start the Python service themselves.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

coproc SERVICE { exec python3 "$here/demo_service.py" --port 0 --quiet --idle-exit 900; }
service_pid=$SERVICE_PID
trap 'kill "$service_pid" 2>/dev/null || true; wait "$service_pid" 2>/dev/null || true' EXIT
read -r port <&"${SERVICE[0]}"

status=0
TAVENRO_DEMO_SERVICE="127.0.0.1:$port" "$@" || status=$?
exit "$status"
