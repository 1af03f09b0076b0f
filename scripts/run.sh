#!/usr/bin/env bash
# Builds Vantorel and starts it on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: cannot open a display. Run it on a desktop, or under xvfb-run." >&2
  exit 1
fi
bash scripts/install-deps.sh
cmake --preset default -DBUILD_TESTING=OFF -DVANTOREL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build --preset default --target vantorel
exec build/bin/vantorel "$@"
