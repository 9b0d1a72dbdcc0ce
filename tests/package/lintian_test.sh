#!/bin/sh
# lintian finds no error in the package; every tag it reports is shown with its explanation.
# Usage: lintian_test.sh DEB_DIR VERSION
set -eu
. "$(dirname "$0")/find_deb.sh"
lintian --fail-on error --info --display-info --pedantic "$deb"
