#!/bin/sh
# check-package.sh install|deb BUILD_DIR SOURCE_DIR RSVG_CONVERT "ICON_SIZES" [VERSION]: the tree
# installed, or the Debian package unpacked (its dependencies checked), holds exactly the program,
# its menu entry, without even a hint from the validator, the SVG icon with PNGs made from it, the
# manual page, compressed, which groff formats without a warning, and the copyright file.
set -eu
MODE=$1 BUILD=$2 SVG=$3/data/snapwick.svg RSVG_CONVERT=$4 ICON_SIZES=$5
fail() { echo "FAIL: $*" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
root=$WORK/root tree=$WORK/root/usr icons=share/icons/hicolor

if [ "$MODE" = install ]; then
  cmake --install "$BUILD" --prefix "$tree" >"$WORK/log" 2>&1 || fail "cmake --install: $(cat "$WORK/log")"
else
  (cd "$BUILD" && cpack -G DEB -B "$WORK/out") >"$WORK/log" 2>&1 || fail "cpack: $(cat "$WORK/log")"
  deb="$WORK/out/snapwick_$6_$(dpkg --print-architecture).deb"
  dpkg-deb -x "$deb" "$root"
  for lib in libqt6widgets6 libturbojpeg0 qt6-image-formats-plugins; do
    dpkg-deb -f "$deb" Depends | grep -q "$lib" || fail "Depends lacks $lib"
  done
fi
(cd "$root" && find . ! -type d | sed 's|^\./usr/||' | sort) >"$WORK/got"
{
  echo bin/snapwick share/applications/snapwick.desktop $icons/scalable/apps/snapwick.svg
  echo share/doc/snapwick/copyright share/man/man1/snapwick.1.gz
  for size in $ICON_SIZES; do echo "$icons/${size}x$size/apps/snapwick.png"; done
} | tr ' ' '\n' | sort | diff -u - "$WORK/got" || fail "the files differ from the expected list"
[ -x "$tree/bin/snapwick" ] || fail "bin/snapwick is not executable"
out=$(desktop-file-validate "$tree/share/applications/snapwick.desktop" 2>&1) && [ -z "$out" ] ||
  fail "the menu entry does not validate: $out"
cmp -s "$tree/$icons/scalable/apps/snapwick.svg" "$SVG" || fail "the SVG icon differs"
cmp -s "$tree/share/doc/snapwick/copyright" "$(dirname "$SVG")/copyright" ||
  fail "the copyright file differs"
gzip -dc "$tree/share/man/man1/snapwick.1.gz" | cmp -s - "$(dirname "$SVG")/snapwick.1" ||
  fail "the manual page differs from data/snapwick.1"
out=$(gzip -dc "$tree/share/man/man1/snapwick.1.gz" | groff -man -ww -z 2>&1) && [ -z "$out" ] ||
  fail "the manual page does not format cleanly: $out"
for size in $ICON_SIZES; do
  png="$tree/$icons/${size}x$size/apps/snapwick.png"
  "$RSVG_CONVERT" --width="$size" --height="$size" --format=png --output="$WORK/icon.png" "$SVG"
  cmp -s "$png" "$WORK/icon.png" || fail "$png is not the SVG rendered at ${size}x$size"
done
