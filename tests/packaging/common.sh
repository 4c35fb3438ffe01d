# Helpers shared by the packaging checks (sourced).

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Width and height from a PNG's header (signature, then the IHDR chunk), as "WxH"; fails on
# anything that is not a PNG.
png_size() {
  set -- $(od -An -tu1 -N24 "$1")
  [ $# -eq 24 ] || return 1
  [ "$1 $2 $3 $4 $5 $6 $7 $8" = "137 80 78 71 13 10 26 10" ] || return 1
  [ "${13}${14}${15}${16}" = "73726882" ] || return 1 # "IHDR"
  echo "$(((${17} << 24) | (${18} << 16) | (${19} << 8) | ${20}))x$(((${21} << 24) | (${22} << 16) | (${23} << 8) | ${24}))"
}

# The files (not folders) a tree should hold, relative to its prefix, sorted.
expected_files() {
  echo bin/snapwick
  echo share/applications/snapwick.desktop
  for size in $ICON_SIZES; do
    echo "share/icons/hicolor/${size}x${size}/apps/snapwick.png"
  done
  echo share/icons/hicolor/scalable/apps/snapwick.svg
}

# Checks the icons under PREFIX: each PNG has its size and is the SVG rendered at that size.
check_icons() {
  prefix=$1
  for size in $ICON_SIZES; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/snapwick.png"
    [ -s "$png" ] || fail "$png is missing or empty"
    got=$(png_size "$png") || fail "$png is not a PNG"
    [ "$got" = "${size}x${size}" ] || fail "$png is $got, not ${size}x${size}"
    "$RSVG_CONVERT" --width="$size" --height="$size" --format=png --output="$WORK/render.png" "$SVG"
    cmp -s "$png" "$WORK/render.png" || fail "$png is not the icon SVG rendered at ${size}x${size}"
  done
  cmp -s "$prefix/share/icons/hicolor/scalable/apps/snapwick.svg" "$SVG" ||
    fail "the installed SVG icon differs from $SVG"
}
