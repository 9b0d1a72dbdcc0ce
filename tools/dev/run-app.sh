#!/usr/bin/env bash
# Installs what is missing, builds the release program and starts it.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/dev/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMOR_BUILD_TESTS=OFF -DVELMOR_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
if [ -x build/release/app/velmor ]; then
  exec build/release/app/velmor "$@"
fi
exec build/release/cli/velmor-cli "$@"
