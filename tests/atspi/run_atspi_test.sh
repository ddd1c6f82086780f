#!/usr/bin/env bash
# Runs window_atspi_test.py against the program inside a private D-Bus session
# (the accessibility bus starts in it on demand), with Debian's own Python,
# which holds pyatspi; the script starts its own virtual X display. Exits 77 (skipped) only when one of
# these tools is missing; scripts/install-deps.sh installs them all.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
missing=()
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher \
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
# No sound card is needed: without a sound server the program plays silently.
exec dbus-run-session -- /usr/bin/python3 "$here/window_atspi_test.py" "$program"
