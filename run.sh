#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts Оримакс-расчёт.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

orx_install_packages run
orx_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORX_BUILD_TESTS=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Оримакс-расчёт needs a display; on a machine without one run it under a virtual display: xvfb-run -a ./run.sh" >&2
    exit 2
fi
exec ./build/src/app/orimax-raschet "$@"
