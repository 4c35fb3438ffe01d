#!/bin/sh
# Installs the built tree into a temporary prefix and checks that exactly the program, its menu
# entry and its icons land there, the icons rendered from the SVG at their sizes.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR RSVG_CONVERT "ICON_SIZES"
set -eu
BUILD=$1 SOURCE=$2 RSVG_CONVERT=$3 ICON_SIZES=$4
SVG="$SOURCE/data/snapwick.svg"
. "$(dirname "$0")/common.sh"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
prefix="$WORK/prefix"

cmake --install "$BUILD" --prefix "$prefix" >"$WORK/install.log" 2>&1 ||
  { cat "$WORK/install.log" >&2; fail "cmake --install failed"; }

(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort) >"$WORK/got"
expected_files | sort >"$WORK/expected"
diff -u "$WORK/expected" "$WORK/got" || fail "the installed files differ from the expected list"

[ -x "$prefix/bin/snapwick" ] || fail "bin/snapwick is not executable"
sh "$(dirname "$0")/validate-desktop.sh" desktop-file-validate \
  "$prefix/share/applications/snapwick.desktop" >/dev/null ||
  fail "the installed desktop file does not validate"
check_icons "$prefix"
echo "installed tree holds the $(wc -l <"$WORK/got") expected files"
