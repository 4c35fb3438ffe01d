#!/bin/sh
# Installs the Debian packages that building, running and testing need, when any is missing.
set -eu

packages="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-image-formats-plugins
libturbojpeg0-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core fontconfig
clang libclang-rt-14-dev chromium chromium-driver desktop-file-utils xvfb xauth
librsvg2-bin dpkg-dev file exiv2 python3 groff-base"
# The programs the batch benchmarks time ours against, for `make bench` only.
if [ "${1:-}" = "--bench-peers" ]; then
  packages="$packages libvips-tools imagemagick"
fi

missing=""
for p in $packages; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
