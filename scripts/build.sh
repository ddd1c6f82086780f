#!/usr/bin/env bash
# Configures and builds one variant: build.sh release | asan | tsan
# (tsan builds only the platform and playback tests, whose audio threads it is
# there to check). KIVO_BUILD_JOBS limits the parallel jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
variant=${1:-release}
jobs=${KIVO_BUILD_JOBS:-$(nproc)}
targets=()
case "$variant" in
    release) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan) flags=(-DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON -DKIVO_BUILD_BENCH=OFF) ;;
    tsan)
        flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVO_TSAN=ON -DKIVO_BUILD_BENCH=OFF)
        targets=(--target tests_platform tests_engines_playback)
        ;;
    *) echo "unknown build variant: $variant" >&2; exit 2 ;;
esac
cmake -S . -B "build/$variant" -G Ninja "${flags[@]}" >/dev/null
cmake --build "build/$variant" -j "$jobs" "${targets[@]}"
