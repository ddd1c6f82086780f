#!/usr/bin/env bash
# Builds the gallery and renders every page to OUT/<page>.png, offscreen:
#   scripts/screenshots.sh OUT
set -euo pipefail
if [ $# -ne 1 ]; then
    echo "usage: $0 OUT" >&2
    exit 2
fi
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target kivo-gallery
# Never the user's own data or settings.
scratch=$(mktemp -d /tmp/kivo-gallery.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
HOME="$scratch" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config" \
    QT_QPA_PLATFORM=offscreen build/release/src/kivo-gallery "$out"
