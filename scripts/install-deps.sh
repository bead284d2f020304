#!/bin/sh
# Installs the Debian packages the build and the tests need, only when one is missing.
# Runs apt-get update once before installing; uses sudo when not root.
set -eu

# Build: cmake g++ make libtinyxml-dev. Tests: googletest, the ARM GCC toolchain and newlib that
# build the generated projects, qemu-system-arm that runs what they build (a Cortex-M4F board),
# valgrind, setpriv (util-linux) for the unprivileged runs, man-db and groff-base for the man
# page check, dpkg-dev and file for the package's dependencies (CPack
# runs file and dpkg-shlibdeps), lintian to check the package. Fuzzing: clang with its sanitizer
# and libFuzzer runtimes.
PACKAGES="cmake g++ make libtinyxml-dev googletest libgtest-dev \
  gcc-arm-none-eabi libnewlib-arm-none-eabi qemu-system-arm valgrind util-linux man-db groff-base \
  dpkg-dev file lintian clang libclang-rt-dev"

missing=""
for pkg in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $pkg"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
else
  SUDO="sudo"
fi

echo "Installing:$missing"
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
