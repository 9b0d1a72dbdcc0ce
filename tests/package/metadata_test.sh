#!/bin/sh
# The desktop entry and the AppStream metadata pass their validators, and the newest release
# of the metadata and of the package change log is the project's version.
# Usage: metadata_test.sh PACKAGING_DIR VERSION
set -eu
dir=$1
version=$2
desktop-file-validate "$dir/velmor.desktop"
# The timetable file type: well-formed, its glob the extension the program writes, opened by the
# desktop entry with the file as its argument.
python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
  "$dir/velmor-timetable.xml"
grep -q '<glob pattern="\*\.velmor"/>' "$dir/velmor-timetable.xml"
grep -q '^MimeType=application/x-velmor-timetable;$' "$dir/velmor.desktop"
grep -q '^Exec=velmor %f$' "$dir/velmor.desktop"
appstreamcli validate --no-net --pedantic "$dir/cn.velmor.velmor.metainfo.xml"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$dir/cn.velmor.velmor.metainfo.xml" |
  head -n 1)
changelog=$(dpkg-parsechangelog -l "$dir/changelog" -S Version)
if [ "$release" != "$version" ] || [ "$changelog" != "$version" ]; then
  echo "project $version, metadata release $release, change log $changelog" >&2
  exit 1
fi
