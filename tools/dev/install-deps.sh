#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need; only what is missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config python3
  zlib1g-dev libdeflate-dev libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev hyperfine
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  fonts-arphic-gbsn00lp fonts-arphic-gkai00mp
  xvfb xauth poppler-utils strace
  clang libclang-rt-14-dev
  libzip-dev unicode-data
  dpkg-dev file lintian desktop-file-utils appstream groff-base man-db
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
