#!/bin/sh
# The manual pages render without a single groff warning, and the page of velmor-cli names
# every option its usage text names.
# Usage: man_test.sh VELMOR_CLI PAGE...
set -eu
cli=$1
shift
cli_page=
for page in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings=w "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    printf '%s:\n%s\n' "$page" "$warnings" >&2
    exit 1
  fi
  case $page in *velmor-cli.1) cli_page=$page ;; esac
done
missing=
for option in $("$cli" --help | grep -o -- '--[a-z]*' | sort -u); do
  # Hyphens are written \- in the page source.
  grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" "$cli_page" || missing="$missing $option"
done
if [ -n "$missing" ]; then
  echo "not in $cli_page:$missing" >&2
  exit 1
fi
