#!/usr/bin/env bash
# Installs what building, running and testing Vantorel needs on Debian 12.
# With --tests it also installs the X server that the lost-display test stops
# under the program's feet.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
extra=()
if [ "${1:-}" = "--tests" ]; then extra+=(xvfb); fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-multimedia-dev libpng-dev \
  libgtest-dev libbenchmark-dev \
  fonts-liberation2 fonts-dejavu-core "${extra[@]}" >/dev/null
