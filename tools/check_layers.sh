#!/usr/bin/env bash
# The house rules of the source tree, checked on every `make test`:
#  - the core (every folder but app/, cli/, ui/ and platform/qt/) includes no Qt header and
#    nothing of platform/qt/;
#  - only platform/ includes an operating system's header (unistd.h, sys/..., windows.h ...): every
#    system call lives behind its interface there;
#  - a file includes only its own folder and the folders below it, from the bottom: platform,
#    datafile, analysis, compliance, then csv and graph (side by side, neither includes the other), then print,
#    then cli and ui (side by side), then app; so no folder includes another in a cycle;
#  - no window includes another window's header: a file of ui/ includes a header of ui/ declaring
#    a Qt object only when it is its own (graph_window_reading.cpp may include graph_window.h) or
#    when the file is the application controller, which alone knows the windows;
#  - every C++ file is clang-format clean.
# Every file on disk is checked (tracked by git or not); an include is read however it is written
# ("#  include", <folder/x.h> as well as "folder/x.h").
# tools/check_layers.sh [ROOT]: the tree at ROOT (this project's by default). Prints each breach on
# one line and exits 1 when there is any.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2

rank() {
    case "$1" in
        platform) echo 0 ;; datafile) echo 1 ;; analysis) echo 2 ;; compliance) echo 3 ;;
        csv | graph) echo 4 ;; print) echo 5 ;; cli | ui) echo 6 ;; app) echo 7 ;;
        *) echo -1 ;;
    esac
}

# Headers of an operating system rather than of C++ or its C library.
is_system_header() {
    case "$1" in
        sys/* | unistd.h | fcntl.h | dirent.h | iconv.h | termios.h | pthread.h | dlfcn.h | \
            windows.h | io.h | direct.h | shellapi.h | winbase.h | fileapi.h) return 0 ;;
    esac
    return 1
}

is_window_layer() {
    case "$1" in
        app/* | cli/* | ui/* | platform/qt/*) return 0 ;;
    esac
    return 1
}

breaches=0
breach() {
    echo "$1"
    breaches=$((breaches + 1))
}

# "LINE:TARGET" for every include of FILE, TARGET being what lies between the quotes or brackets.
includes() {
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' "$1" |
        sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1:\2/'
}

# Whether ui/ file FILE including ui/ header TARGET reaches into another window: TARGET declares
# a Qt object, is not FILE's own header, and FILE is not the application controller.
another_window() {
    local stem=${1##*/} header=${2##*/}
    stem=${stem%.*}
    header=${header%.h}
    case "$stem" in app_controller | app_controller_* | "$header" | "$header"_*) return 1 ;; esac
    grep -q 'Q_OBJECT' "$2" 2>/dev/null
}

files=$(find platform datafile analysis compliance csv graph print cli ui app -name '*.cpp' -o -name '*.h' \
    2>/dev/null | sort)
for f in $files; do
    folder=${f%%/*}
    own=$(rank "$folder")
    while IFS=: read -r line target; do
        [ -n "$target" ] || continue
        if ! is_window_layer "$f"; then
            case "$target" in
                Q[A-Za-z]* | Qt*/* | platform/qt/*)
                    breach "$f:$line: the core includes Qt: $target"
                    continue
                    ;;
            esac
        fi
        if [ "$folder" != platform ] && is_system_header "$target"; then
            breach "$f:$line: a system header outside platform/: $target"
            continue
        fi
        top=${target%%/*}
        [ "$top" = "$target" ] && continue # a system or library header
        if [ "$folder" = ui ] && [ "$top" = ui ] && another_window "$f" "$target"; then
            breach "$f:$line: a window includes another window's header: $target"
            continue
        fi
        [ "$top" = "$folder" ] && continue
        other=$(rank "$top")
        [ "$other" -lt 0 ] && continue
        if [ "$other" -ge "$own" ]; then
            breach "$f:$line: $folder/ may not include $top/ (only folders below it)"
        fi
    done < <(includes "$f")
done

if command -v clang-format >/dev/null 2>&1; then
    for f in $(find platform datafile analysis compliance csv graph print cli ui app tests bench fuzz \
        -name '*.cpp' -o -name '*.h' 2>/dev/null | sort); do
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
