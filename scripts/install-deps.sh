#!/bin/sh
# Installs every Debian 12 package the build, the tests and the tools need.
# Idempotent and non-interactive; run as root or with sudo available.
set -eu
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
PACKAGES="build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev libfuzzer-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev libcairo2-dev libxcb1-dev
  libxcb-keysyms1-dev libxcb-xrm-dev libfontconfig-dev fonts-liberation2 fontconfig xvfb xauth xdotool x11-utils imagemagick
  lv2-dev sordi lilv-utils liblilv-dev"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
