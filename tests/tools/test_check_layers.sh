#!/usr/bin/env bash
# The layering check itself: a clean scratch tree passes; each way of breaking the layers fails it
# (an upward include in angle brackets or with blanks after "#", a Qt header in quotes or in
# brackets, a core file including a window's header, a window including another's, a system
# header outside platform/), in files git has never seen.
# tests/tools/test_check_layers.sh SCRATCH
set -u
check=$(cd "$(dirname "$0")/../.." && pwd)/tools/check_layers.sh
dir=$1
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

clean_tree() {
    rm -rf "$dir" && mkdir -p "$dir"/{platform,analysis,graph,print,ui} || exit 1
    printf '#pragma once\n' >"$dir/print/print_page.h"
    printf '#pragma once\n#define WINDOW Q_OBJECT\n' >"$dir/ui/graph_window.h"
    printf '#include "ui/graph_window.h"\n' >"$dir/ui/graph_window_reading.cpp"
    printf '#include "ui/graph_window.h"\n' >"$dir/ui/app_controller.cpp"
    printf '#include "platform/x.h"\n' >"$dir/analysis/a.cpp"
    printf '#include <sys/stat.h>\n#include <windows.h>\n' >"$dir/platform/s.cpp"
    printf '#include <QString>\n\n#include "print/print_page.h"\n' >"$dir/ui/w.cpp"
}

clean_tree
bash "$check" "$dir" >"$dir.out" || fail "a clean tree: $(cat "$dir.out")"
while IFS='|' read -r what file text; do
    clean_tree
    printf '%b' "$text" >"$dir/$file"
    if bash "$check" "$dir" >"$dir.out"; then
        fail "$what: passed"
    elif ! grep -q "^$file:1: " "$dir.out"; then
        fail "$what: not named: $(cat "$dir.out")"
    fi
done <<'CASES'
angle brackets upward|analysis/b.cpp|#include <print/print_page.h>\n
blanks after the hash|analysis/b.cpp|#  include "print/print_page.h"\n
a Qt header in quotes|graph/b.cpp|#include "QtCore/qstring.h"\n
a Qt header in brackets|graph/b.cpp|#include <QPainter>\n
a window header in the core|print/b.cpp|#include "ui/graph_window.h"\n
another window's header|ui/print_dialog.cpp|#include "ui/graph_window.h"\n
a system header in the core|analysis/b.cpp|#include <sys/mman.h>\n
a system header in a window|ui/b.cpp|#  include <unistd.h>\n
CASES
rm -rf "$dir" "$dir.out"
((failures)) && exit 1
echo "check_layers: all passed"
