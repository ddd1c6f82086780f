#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh release
program=build/release/src/kivo-vovid
if [ ! -x "$program" ]; then
    echo "Built the libraries and tests; the program's window is not part of this build yet, so there is nothing to start."
    exit 0
fi
exec "$program" "$@"
