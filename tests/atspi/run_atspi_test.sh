#!/usr/bin/env bash
# Runs window_atspi_test.py against the program inside a private D-Bus session
# (the accessibility bus starts in it on demand), with Debian's own Python,
# which holds pyatspi; the script starts its own virtual X display. Exits 77 (skipped) only when one of
# these tools is missing; scripts/install-deps.sh installs them all.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
missing=()
for tool in Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher \
    /usr/libexec/at-spi2-registryd; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ! -x /usr/bin/python3 ] || ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    missing+=("pyatspi for /usr/bin/python3")
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "SKIPPED: the AT-SPI window test needs ${missing[*]} (scripts/install-deps.sh installs them)"
    exit 77
fi
# The accessibility bus puts its socket in the runtime folder: a folder of
# this run's own keeps two runs at once apart. The program still finds the
# sound server of the test run, if there is one; without it it plays silently.
runtime=$(mktemp -d /tmp/kivo-atspi-runtime.XXXXXX)
chmod 0700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
if [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
fi
XDG_RUNTIME_DIR=$runtime dbus-run-session -- /usr/bin/python3 "$here/window_atspi_test.py" "$program"
