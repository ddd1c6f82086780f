#!/usr/bin/env bash
# Installs every Debian package needed to build, run and test the program.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-l10n-tools
    qcoro-qt6-dev
    libtag1-dev
    libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
    nlohmann-json3-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    ffmpeg pulseaudio pulseaudio-utils
    clang-format
    xvfb xauth
    libicu-dev fonts-inter fonts-dejavu-core fonts-material-design-icons-iconfont
    # The portal test's private bus.
    dbus-daemon
    # The program's icon (Qt SVG) and the validators of its installed files.
    qt6-svg-dev desktop-file-utils appstream
)
# The AT-SPI window test: a private D-Bus session, the accessibility bus and
# registry, the client library for Debian's own Python, and real X key presses.
packages+=(dbus-daemon at-spi2-core python3-pyatspi xdotool)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
