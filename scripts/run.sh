#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool with one simulated device, so that a
# first run needs no hardware. Arguments go to the program (e.g. --devices 2).
# The production program, for real devices, is build/app/r58_vizorevavuv (see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build --parallel "$(nproc)" --target r58_vizorevavuv_sim r58_vizorevavuv

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'MSG'
Built build/app/r58_vizorevavuv_sim, but there is no display to show its windows on
(neither DISPLAY nor WAYLAND_DISPLAY is set). Run it from a desktop session, over
"ssh -X", or on a virtual display:

    xvfb-run -a scripts/run.sh          # needs the xvfb package

To look at the windows without any display, render them to PNG files instead:

    cmake --build build --target screenshots   # writes build/screenshots/*.png
MSG
    exit 1
fi

exec build/app/r58_vizorevavuv_sim "$@"
