#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual box and then the tool
# with the virtual box's port selected in "COM PORT".
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_BUILD_TESTS=OFF \
  -DLUMORA_BUILD_BENCH=OFF >/dev/null
cmake --build build --target lumora-warp lumora-boxsim lumora-warp-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: lumora-warp needs a graphical session (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
  echo "Run this from a desktop session, or start one with: xvfb-run -a bash scripts/start.sh" >&2
  exit 1
fi

port_file=$(mktemp)
build/bin/lumora-boxsim --port-file "$port_file" &
box=$!
trap 'kill $box 2>/dev/null || true; rm -f "$port_file"' EXIT
for _ in $(seq 100); do
  [ -s "$port_file" ] && break
  sleep 0.05
done
[ -s "$port_file" ] || { echo "The virtual box did not start." >&2; exit 1; }
port=$(cat "$port_file")
echo "Virtual box on $port"
build/bin/lumora-warp --port "$port"
