#!/usr/bin/env bash
# Builds with ThreadSanitizer and runs the tests that involve threads: the loaders, sessions
# sharing the tables, the version check and the windows.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/dev/install-deps.sh
cmake --preset tsan >/dev/null
cmake --build build/tsan -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1"
# The print test starts pdftotext, and a fork under this ThreadSanitizer (clang 14) trips an
# internal check of the sanitizer itself; it runs under the other two builds.
ctest --test-dir build/tsan --output-on-failure -R 'Loaders|Concurrent|app\.' -E 'app\.print_export_test' \
  -j "$(nproc)"
