#!/bin/sh
# Builds the Debian package qm26-ide-gen_<version>_<arch>.deb: a release build installed below
# /usr, packed by CPack (which asks dpkg-shlibdeps for the run-time dependencies).
# Usage: scripts/build-package.sh <build folder> <output folder>   (JOBS sets the parallel jobs)
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 <build folder> <output folder>" >&2
  exit 2
fi
"$(dirname "$0")/release-build.sh" "$1" /usr
rm -rf "$1/packages"
(cd "$1" && cpack -G DEB -B "$PWD/packages")
mkdir -p "$2"
for deb in "$1"/packages/*.deb; do
  cp "$deb" "$2/"
  echo "Package: $2/$(basename "$deb")"
done
