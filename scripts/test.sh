#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: a normal build, an
# AddressSanitizer + UndefinedBehaviorSanitizer build, and a ThreadSanitizer
# build of the audio players' and playback engines' tests. Extra arguments go
# to ctest (for example: -R Track). KIVO_TEST_BUILDS chooses the variants.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

builds=${KIVO_TEST_BUILDS:-"release asan tsan"}

# No test may touch the real user's data, display or sound card.
scratch=$(mktemp -d /tmp/kivo-tests.XXXXXX)
mkdir -p "$scratch/home" "$scratch/data" "$scratch/config" "$scratch/runtime"
chmod 0700 "$scratch/runtime"
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
export XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# die_after_fork=0: the sink test records the output with a child process.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$PWD/tests/tsan.supp"

# A sound server with a null sink stands in for the sound card. An idle null
# sink runs with a latency of up to two seconds, which stalls every new stream
# that long; a silent low-latency keep-alive stream keeps it responsive.
# Without pulseaudio the tests run against the players' silent output.
pulse_pid=""
keepalive_pid=""
if command -v pulseaudio >/dev/null 2>&1; then
    pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
        --load=module-null-sink --load=module-native-protocol-unix \
        >"$scratch/pulseaudio.log" 2>&1 &
    pulse_pid=$!
    if command -v pactl >/dev/null 2>&1; then
        for _ in $(seq 50); do
            pactl info >/dev/null 2>&1 && break
            sleep 0.1
        done
        if pactl info >/dev/null 2>&1; then
            pacat --playback --raw --format=s16le --rate=44100 --channels=2 \
                --latency-msec=20 --client-name=kivo-keepalive </dev/zero \
                >"$scratch/keepalive.log" 2>&1 &
            keepalive_pid=$!
        else
            echo "warning: the sound server did not start; tests use the silent output" >&2
        fi
    fi
fi
# The sound server removes its own files from the runtime folder as it exits,
# so it is waited for before the scratch folder goes; a leftover scratch
# folder is only warned about and never changes the tests' result.
cleanup() {
    local rc=$?
    for pid in $keepalive_pid $pulse_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch" 2>/dev/null || { sleep 1; rm -rf "$scratch" 2>/dev/null; } \
        || echo "warning: could not remove $scratch" >&2
    exit "$rc"
}
trap cleanup EXIT

status=0
# Every source file keeps the repository's format (.clang-format).
echo "== format"
find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format --dry-run -Werror || status=1
# QtTest's QTRY_ macros record a failure GoogleTest never sees: tests wait
# with support/WaitFor.h instead.
if grep -rnE 'QTRY_[A-Z_]+\(' tests; then
    echo "error: the tests above wait with QTRY_; use KIVO_WAIT_TRUE / KIVO_WAIT_EQ" >&2
    status=1
fi
for variant in $builds; do
    echo "== build: $variant"
    ./scripts/build.sh "$variant"
    echo "== tests: $variant"
    # The tsan variant runs the tests of the audio players and the audio
    # engine, whose threads are ours; elsewhere Qt's thread pools, invisible
    # to the tool, give only false reports. The tool slows those threads
    # enough that a test's real-time wait can run out on a busy machine, so a
    # test gets three tries (a failed try still prints its report in the log).
    select=()
    [ "$variant" = tsan ] && select=(-R '^(Outputs/)?Audio(Player|Engine)' --repeat until-pass:3)
    ctest --test-dir "build/$variant" -j "$(nproc)" --output-on-failure "${select[@]}" "$@" \
        || status=1
done
exit $status
