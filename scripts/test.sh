#!/usr/bin/env bash
# Builds Vantorel and runs its tests headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --tests
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
