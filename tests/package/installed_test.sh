#!/bin/bash
# The package unpacked into a temporary root: the standard tree is there, the dependencies
# name what no linker finds, both programs run from there, and the completion completes.
# Usage: installed_test.sh DEB_DIR VERSION
set -euo pipefail
. "$(dirname "$0")/find_deb.sh"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
usr=$root/usr
fail() {
  echo "$*" >&2
  exit 1
}

for f in bin/velmor bin/velmor-cli share/applications/velmor.desktop \
  share/metainfo/cn.velmor.velmor.metainfo.xml share/icons/hicolor/scalable/apps/velmor.svg \
  share/man/man1/velmor.1.gz share/man/man1/velmor-cli.1.gz \
  share/bash-completion/completions/velmor-cli share/doc/velmor/copyright \
  share/mime/packages/velmor.xml; do
  [ -f "$usr/$f" ] || fail "missing: $f"
done
for size in 16 32 48 64 128 256; do
  [ -f "$usr/share/icons/hicolor/${size}x$size/apps/velmor.png" ] || fail "no icon at $size px"
done
# The entry, the metadata and the icons agree with each other where they are installed.
appstreamcli validate-tree --no-net "$root"

depends=$(dpkg-deb -f "$deb" Depends)
for p in fonts-arphic-gbsn00lp fonts-arphic-gkai00mp qt6-translations-l10n libqt6widgets6 \
  libc6; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done

"$usr/bin/velmor-cli" --help | grep -q '^用法：velmor-cli' || fail "velmor-cli --help"
rows=$("$usr/bin/velmor-cli" --format csv zz 北京 上海)
[ -n "$rows" ] || fail "no train from 北京 to 上海"
awk -F, 'NF != 15 { exit 1 }' <<<"$rows" || fail "rows of other than 15 fields: $rows"
# Printing is handed to the full program at its installed place.
"$usr/bin/velmor-cli" --print "$root/k10.pdf" cc K10 >/dev/null || fail "velmor-cli --print"
[ "$(head -c 5 "$root/k10.pdf")" = "%PDF-" ] || fail "no PDF printed"

# The window stays up until the timeout ends it.
status=0
HOME=$root QT_QPA_PLATFORM=offscreen timeout 3 "$usr/bin/velmor" || status=$?
[ $status -eq 124 ] || fail "velmor ended with status $status before the timeout"

# shellcheck source=/dev/null
. "$usr/share/bash-completion/completions/velmor-cli"
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _velmor_cli
  echo "${COMPREPLY[*]}"
}
[ "$(complete_words velmor-cli --fo)" = "--format" ] || fail "completion of --fo"
[ "$(complete_words velmor-cli --format '')" = "table csv json" ] || fail "completion of formats"
[ "$(complete_words velmor-cli --dc z)" = "zz zzz" ] || fail "completion of commands"
[ "$(complete_words velmor-cli import feed.zip out.velmor --l)" = "--line-factor" ] ||
  fail "completion of the import options"
