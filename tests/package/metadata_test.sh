#!/bin/sh
# The desktop entry and the AppStream metadata pass their validators, and the newest release
# of the metadata and of the package change log is the project's version.
# Usage: metadata_test.sh PACKAGING_DIR VERSION
set -eu
dir=$1
version=$2
desktop-file-validate "$dir/velmor.desktop"
appstreamcli validate --no-net --pedantic "$dir/cn.velmor.velmor.metainfo.xml"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$dir/cn.velmor.velmor.metainfo.xml" |
  head -n 1)
changelog=$(dpkg-parsechangelog -l "$dir/changelog" -S Version)
if [ "$release" != "$version" ] || [ "$changelog" != "$version" ]; then
  echo "project $version, metadata release $release, change log $changelog" >&2
  exit 1
fi
