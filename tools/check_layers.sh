#!/usr/bin/env bash
# The house rules of the source tree, checked on every `make test`:
#  - the core (everything but app/, cli/, platform/qt/ and the window files Form*/MDIForm*)
#    includes no Qt header and nothing of platform/qt/;
#  - a file includes only its own folder and the folders below it, from the bottom: platform,
#    datafile, analysis, then csv and graph (side by side, neither includes the other), then print,
#    then cli, then app; so no folder includes another in a cycle;
#  - every C++ file is clang-format clean.
# Prints each breach on one line and exits 1 when there is any.
set -u
cd "$(dirname "$0")/.."

rank() {
    case "$1" in
        platform) echo 0 ;; datafile) echo 1 ;; analysis) echo 2 ;;
        csv | graph) echo 3 ;; print) echo 4 ;; cli) echo 5 ;; app) echo 6 ;;
        *) echo -1 ;;
    esac
}

is_window_layer() {
    case "$1" in
        app/* | cli/* | platform/qt/*) return 0 ;;
    esac
    case "$(basename "$1")" in
        Form[0-9]* | MDIForm[0-9]*) return 0 ;;
    esac
    return 1
}

breaches=0
breach() {
    echo "$1"
    breaches=$((breaches + 1))
}

files=$(git ls-files -- '*.cpp' '*.h' | grep -E '^(platform|datafile|analysis|csv|graph|print|cli|app)/')
for f in $files; do
    folder=${f%%/*}
    own=$(rank "$folder")
    if ! is_window_layer "$f"; then
        grep -nE '^#include <Q|^#include "platform/qt/' "$f" | while IFS= read -r line; do
            echo "$f:${line%%:*}: the core includes Qt: ${line#*:}"
        done | grep . && breaches=$((breaches + 1))
    fi
    while IFS= read -r line; do
        target=$(sed -E 's/^[0-9]+:#include "([^/"]+)\/.*/\1/' <<<"$line")
        [ "$target" = "$folder" ] && continue
        other=$(rank "$target")
        [ "$other" -lt 0 ] && continue
        if [ "$other" -ge "$own" ]; then
            breach "$f:${line%%:*}: $folder/ may not include $target/ (only folders below it)"
        fi
    done < <(grep -nE '^#include "[a-z]+/' "$f")
done

if command -v clang-format >/dev/null 2>&1; then
    for f in $(git ls-files -- '*.cpp' '*.h'); do
        clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || breach "$f: not clang-format clean"
    done
else
    breach "clang-format is not installed (tools/install-deps.sh installs it)"
fi

if [ "$breaches" -gt 0 ]; then
    echo "$breaches breach(es) of the source tree's rules"
    exit 1
fi
echo "layers, Qt-free core and formatting: clean"
