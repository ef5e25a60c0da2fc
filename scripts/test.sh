#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
# Also builds every target in Release with warnings as errors: some warnings
# come only from the optimiser's analysis.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_WERROR=ON \
  -DLUMORA_SANITIZE=ON >/dev/null
cmake --build "$build"

release=build-release
cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMORA_WERROR=ON >/dev/null
cmake --build "$release"
# What is installed, and the Debian package made of it.
bash scripts/package-check.sh "$release"

# No display is needed: the window tests use Qt's offscreen platform.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Virtual boxes started by the tests announce themselves here, not among the
# user's own.
export LUMORA_BOXSIM_DIR="$PWD/$build/boxsim-announce"
ctest --test-dir "$build" --output-on-failure -j2
