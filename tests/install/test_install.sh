#!/usr/bin/env bash
# cmake --install into a scratch prefix: the program in bin/ runs, the desktop entry is valid and
# names the program and the icon that were installed, the icon is an SVG picture.
# $1 = the build folder, $2 = a scratch folder.
set -uo pipefail
build=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

prefix=$dir/prefix
cmake --install "$build" --prefix "$prefix" >"$dir/install.txt" || { cat "$dir/install.txt"; exit 1; }
program=$prefix/bin/harmograph
entry=$prefix/share/applications/harmograph.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/harmograph.svg
for f in "$program" "$entry" "$icon"; do [[ -f $f ]] || fail "not installed: ${f#$prefix/}"; done
[[ -x $program ]] || fail "bin/harmograph is not executable"

[[ $("$program" --version) =~ ^harmograph\ [0-9] ]] || fail "the installed program: $("$program" --version 2>&1)"
desktop-file-validate "$entry" || fail "desktop-file-validate"
value() { sed -n "s/^$1=//p" "$entry"; }
[[ $(value Exec) == "harmograph %f" && $(value Icon) == harmograph ]] || fail "Exec/Icon: $(value Exec) $(value Icon)"
[[ $(value Categories) == "Science;Engineering;" ]] || fail "Categories: $(value Categories)"
[[ -n $(value Name) && -n $(value 'Name\[ja\]') ]] || fail "Japanese and English names"
python3 - "$icon" <<'PY' || fail "the icon is not an SVG picture"
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "{http://www.w3.org/2000/svg}svg" and len(list(root.iter())) > 5
PY

((failures)) && { echo "$failures failure(s)" >&2; exit 1; }
echo "install: all passed"
