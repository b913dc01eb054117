#!/usr/bin/env bash
# Renders the README's pictures of the main window under a virtual display (Xvfb): the program
# as scripts/run.sh starts it, against a simulated RD5540-1, once in each skin and once in
# English. Each run gets its own settings.ini beside the program; an existing one is kept aside
# and put back afterwards.
#   BUILD=build-release scripts/screenshots.sh     (default build dir: build-release)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD:-build-release}
if [ ! -x "$build/vardeko" ]; then
  bash scripts/setup.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j "$(nproc)" --target vardeko vardeko-sim
fi
if ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get install -y -qq --no-install-recommends xdotool imagemagick >/dev/null
fi

ini="$build/settings.ini"
[ -f "$ini" ] && mv "$ini" "$ini.keep"
export VARDEKO_SIM_DIR
VARDEKO_SIM_DIR=$(mktemp -d)
Xvfb :97 -screen 0 1024x900x24 >/dev/null 2>&1 &
xvfb=$!
"$build/vardeko-sim" --variant 1 --model RD5540-10 </dev/null >/dev/null 2>&1 &
sim=$!
cleanup() {
  kill "$sim" "$xvfb" 2>/dev/null || true
  rm -f "$ini"
  [ -f "$ini.keep" ] && mv "$ini.keep" "$ini"
  rm -rf "$VARDEKO_SIM_DIR"
}
trap cleanup EXIT
export DISPLAY=:97
sleep 1

# shot <png> <skin number> <russian 0|1>
shot() {
  printf '[POSITION]\r\nx=0\r\ny=0\r\n[INPUT]\r\ninpMode=0\r\ninpType=2\r\n[SKIN]\r\nnumber=%s\r\n[Language]\r\nRussian=%s\r\n' "$2" "$3" >"$ini"
  "$build/vardeko" &
  local app=$! win=""
  for _ in $(seq 50); do
    win=$(xdotool search --pid "$app" --name 'v1.0' 2>/dev/null | head -n 1) && [ -n "$win" ] && break
    sleep 0.2
  done
  [ -n "$win" ] || { echo "the window did not appear" >&2; kill "$app"; return 1; }
  sleep 1
  # The layout's positions, below a menu bar of about 25 px: "Подключение" finds the
  # simulator by probing the ports, then a value goes into the entry and "Ввод" sets it.
  local bar=25
  xdotool mousemove --window "$win" 630 $((106 + bar)) click 1
  sleep 3
  for y in 399 422 444; do # "Rвос, Ом", "ΔR, Ом", "δR, %" under "Отображение"
    xdotool mousemove --window "$win" 545 $((y + bar)) click 1
  done
  xdotool mousemove --window "$win" 219 $((76 + bar)) click 1
  xdotool type --delay 50 "1234,5"
  xdotool mousemove --window "$win" 373 $((76 + bar)) click 1
  sleep 4
  import -window "$win" "$1"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}

# The default skin, "lucky", is the main picture.
names=(skin-iosdark main-window skin-macmetal skin-nautilus skin-sand)
for i in 0 1 2 3 4; do
  shot "docs/${names[$i]}.png" "$i" 1
done
shot docs/main-window-en.png 1 0
echo "pictures written to docs/"
