#!/bin/sh
# Configures and builds the tool for installing: a Release build without the tests, where compiler
# warnings do not stop the build (a newer compiler may warn where ours does not).
# Usage: scripts/release-build.sh <build folder> <install prefix>   (JOBS sets the parallel jobs)
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 <build folder> <install prefix>" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$source_dir" -B "$1" -DCMAKE_BUILD_TYPE=Release -DQM26_WERROR=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX="$2"
cmake --build "$1" -j "${JOBS:-2}"
