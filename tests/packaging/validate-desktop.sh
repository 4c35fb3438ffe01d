#!/bin/sh
# Runs desktop-file-validate on a menu entry and fails on errors, warnings and hints alike: a
# hint such as a missing main category still leaves the program in the wrong menu.
# Usage: validate-desktop.sh DESKTOP_FILE_VALIDATE FILE
out=$("$1" "$2" 2>&1) && [ -z "$out" ] || { echo "$out" >&2; exit 1; }
