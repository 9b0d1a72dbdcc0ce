#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test through ctest three ways: the
# ordinary build; clang with AddressSanitizer, UndefinedBehaviorSanitizer and short libFuzzer
# runs; clang with ThreadSanitizer for the tests that involve threads.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/dev/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

cmake --preset asan >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS="detect_leaks=1" ctest --test-dir build/asan --output-on-failure -j "$jobs"

tools/dev/run-tsan.sh
