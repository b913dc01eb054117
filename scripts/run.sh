#!/usr/bin/env bash
# Builds the program, starts a simulated RD5540-1 on a pseudo-terminal and opens the main
# window. Choose "РД5540-1" and press "Подключение": the program finds the simulator by
# probing the ports. Lines typed in this terminal work the simulator's front panel. Closing the
# window stops the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j "$(nproc)" --target vardeko vardeko-sim

variant=${VARDEKO_SIM_VARIANT:-1}
# A model name with a ninth character, as the stability figures (δн, Δн) need one.
# The simulator keeps this terminal as its input: lines typed here work its front panel
# ("value 123,45", "display C", "mode B"; vardeko-sim --help lists them).
./build-release/vardeko-sim --variant "$variant" --model "RD5540-${variant}0" <&0 &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting a virtual one (Xvfb :99); nothing will be visible." >&2
  Xvfb :99 -screen 0 1024x800x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$sim" "$xvfb" 2>/dev/null || true' EXIT
  export DISPLAY=:99
  sleep 1
fi
./build-release/vardeko
