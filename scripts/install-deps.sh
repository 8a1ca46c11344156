#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing and running Trovik needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config git ccache
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libqt5opengl5-dev
  libqwt-qt5-dev libmatio-dev libfftw3-dev libtirpc-dev zlib1g-dev libssl-dev
  # the Python module, built for Debian's python3
  pybind11-dev python3-dev
  # tests, fuzzing, benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  python3 python3-numpy python3-scipy python3-pyvisa python3-pyvisa-py python3-pytest
  sox libsox-fmt-all
  xvfb xauth x11-utils imagemagick twm xfonts-base
  iproute2 util-linux procps
  # the Debian package: dependencies, lint, manual pages, completion
  dpkg-dev lintian man-db bash-completion file
  # running
  fonts-dejavu-core fonts-liberation xdg-utils
)

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
