#!/bin/sh
# Builds the Debian package from the built tree into a temporary folder and checks its control
# fields and file list, then unpacks it into a temporary root (never installing it on this
# machine) and checks that the program there finds all its libraries and starts.
# Usage: check-package.sh BUILD_DIR SOURCE_DIR RSVG_CONVERT "ICON_SIZES" VERSION
set -eu
BUILD=$1 SOURCE=$2 RSVG_CONVERT=$3 ICON_SIZES=$4 VERSION=$5
SVG="$SOURCE/data/snapwick.svg"
. "$(dirname "$0")/common.sh"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

(cd "$BUILD" && cpack -G DEB -B "$WORK/out") >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log" >&2; fail "cpack failed"; }
deb="$WORK/out/snapwick_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$WORK/out" >&2; fail "no $(basename "$deb")"; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = snapwick ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$VERSION" ] || fail "Version is '$(field Version)', not $VERSION"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libturbojpeg0 \
  qt6-image-formats-plugins; do
  echo "$depends" | tr ',' '\n' | sed 's/^ *//' | grep -q "^$lib\( \|$\)" ||
    fail "Depends lacks $lib: $depends"
done

# Every file is owned by root, under /usr, and the list is exactly the installed tree.
dpkg-deb -c "$deb" >"$WORK/contents"
if awk '$2 != "root/root"' "$WORK/contents" | grep .; then fail "files not owned by root"; fi
awk '$1 !~ /^d/ { print $6 }' "$WORK/contents" | sort >"$WORK/got"
expected_files | sed 's|^|./usr/|' | sort >"$WORK/expected"
diff -u "$WORK/expected" "$WORK/got" || fail "the package's files differ from the expected list"

root="$WORK/root"
dpkg-deb -x "$deb" "$root"
check_icons "$root/usr"
sh "$(dirname "$0")/validate-desktop.sh" desktop-file-validate \
  "$root/usr/share/applications/snapwick.desktop" >/dev/null ||
  fail "the packaged desktop file does not validate"

program="$root/usr/bin/snapwick"
[ -x "$program" ] || fail "usr/bin/snapwick is not executable"
if ldd "$program" | grep 'not found'; then fail "the packaged program misses libraries"; fi

# The program should still be running when it is stopped after two seconds; it runs in a scratch
# home so that it reads and writes no real settings.
mkdir "$WORK/home"
status=0
(cd "$WORK/home" && HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" \
  XDG_CACHE_HOME="$WORK/home/.cache" QT_QPA_PLATFORM=offscreen timeout 2 "$program") \
  >"$WORK/run.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$WORK/run.log" >&2; fail "the packaged program exited with $status"; }
echo "$(basename "$deb"): $(wc -l <"$WORK/got") files, Depends: $depends"
