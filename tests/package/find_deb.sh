# Sourced by the package tests: sets `deb` to the one package of the project's version in a
# folder (its file name carries the version, so a package of an earlier version left there is
# never the one checked). Arguments: DEB_DIR VERSION.
set -- "$1"/velmor_"$2"_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "expected one package, found: $*" >&2
  exit 1
fi
deb=$1
