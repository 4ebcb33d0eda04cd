#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what a built tree installs, in a temporary folder (nothing touches the
# system or the real home folder):
#   - cmake --install into a DESTDIR holds exactly the files of
#     data/installed-files.txt (paths under the prefix /usr);
#   - the desktop entry passes desktop-file-validate, the metainfo
#     appstreamcli validate, the PNG icons have their folder's size;
#   - man -l renders both manual pages without a warning;
#   - the installed tclean and TidloCleaner start from the installed files, and
#     under Xvfb the window has the class the desktop entry's StartupWMClass
#     names, and an icon;
#   - the bash completion completes tclean's commands and options;
#   - cpack -G DEB builds a .deb whose files are the DESTDIR install's and whose
#     Depends were computed (linked libraries and QML modules), and lintian
#     finds no error and no warning in it.
#   scripts/check-install.sh [BUILD_DIR]      (default build; needs the app)
set -eu

# Run by xvfb-run below as "--x11-window APP NAME=VALUE...": starts APP with
# only that environment and prints the class of its first window with an icon.
if [ "${1:-}" = "--x11-window" ]; then
    app="$2"
    shift 2
    env -i "$@" QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" "$app" >/dev/null 2>&1 &
    pid=$!
    win=""
    tries=0
    while [ -z "$win" ] && [ $tries -lt 60 ] && kill -0 $pid 2>/dev/null; do
        sleep 0.5
        tries=$((tries + 1))
        win="$(xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }' |
            while read -r id; do
                if xprop -id "$id" _NET_WM_ICON 2>/dev/null | grep -q 'Icon ('; then echo "$id"; fi
            done | head -n 1)"
    done
    [ -n "$win" ] && xprop -id "$win" WM_CLASS
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    exit 0
fi

cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
ROOT="$(pwd)"

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
DEST="$TMP/dest"
PREFIX=/usr
APP_ID=org.tidlo.TidloCleaner

fail() {
    echo "check-install: $*" >&2
    exit 1
}

# Every file and link under a folder, relative to it, sorted.
list_files() {
    (cd "$1" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}

# --- install into a DESTDIR ---------------------------------------------------
DESTDIR="$DEST" cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$TMP/install.log" ||
    { cat "$TMP/install.log" >&2; fail "cmake --install failed"; }
list_files "$DEST$PREFIX" >"$TMP/installed.txt"
[ -z "$(list_files "$DEST" | grep -v "^${PREFIX#/}/")" ] || fail "files installed outside $PREFIX"
LC_ALL=C sort data/installed-files.txt >"$TMP/expected.txt"
diff -u "$TMP/expected.txt" "$TMP/installed.txt" ||
    fail "the install differs from data/installed-files.txt (- expected, + installed)"
SHARE="$DEST$PREFIX/share"
if grep -rl '@[A-Z_]*@' "$SHARE/applications" "$SHARE/metainfo" >/dev/null; then
    fail "a placeholder was left unfilled in the desktop files"
fi

# --- desktop entry, metainfo, icons ---------------------------------------------
desktop="$SHARE/applications/$APP_ID.desktop"
desktop-file-validate "$desktop" >"$TMP/dfv.txt" 2>&1 || { cat "$TMP/dfv.txt" >&2; fail "desktop-file-validate failed"; }
# Hints are advice; anything else fails.
if grep -v ': hint: ' "$TMP/dfv.txt" | grep -q .; then
    cat "$TMP/dfv.txt" >&2
    fail "desktop-file-validate reported problems"
fi
grep -qx "Icon=$APP_ID" "$desktop" || fail "the desktop entry's icon is not $APP_ID"
appstreamcli validate --no-net "$SHARE/metainfo/$APP_ID.metainfo.xml" >"$TMP/asv.txt" 2>&1 ||
    { cat "$TMP/asv.txt" >&2; fail "appstreamcli validate failed"; }
appstreamcli validate-tree --no-net "$DEST$PREFIX" >"$TMP/ast.txt" 2>&1 ||
    { cat "$TMP/ast.txt" >&2; fail "appstreamcli validate-tree failed"; }
for png in "$SHARE"/icons/hicolor/*x*/apps/"$APP_ID".png; do
    dir="$(basename "$(dirname "$(dirname "$png")")")"
    [ "$(identify -format '%wx%h' "$png")" = "$dir" ] || fail "$png is not $dir"
done

# --- manual pages ----------------------------------------------------------------
for page in tclean TidloCleaner; do
    file="$SHARE/man/man1/$page.1.gz"
    MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$file" >"$TMP/$page.txt" 2>"$TMP/$page.err" ||
        fail "man -l $file failed"
    if [ -s "$TMP/$page.err" ]; then
        cat "$TMP/$page.err" >&2
        fail "man -l $file warned"
    fi
    grep -q '^NAME' "$TMP/$page.txt" || fail "man -l $file rendered no NAME section"
    if grep -q '@[A-Z_]*@' "$TMP/$page.txt"; then
        fail "a placeholder was left unfilled in $page(1)"
    fi
done

# --- shell completion --------------------------------------------------------------
# Completes a command line in bash as pressing Tab after its last word does and
# prints the candidates, one a line, from the folder $TMP/cwd.
mkdir -p "$TMP/cwd/Documents" "$TMP/cwd/Downloads"
touch "$TMP/cwd/Documentation.txt"
complete_line() {
    (cd "$TMP/cwd" && bash --norc --noprofile -c '
        . "$1" || exit 1
        shift
        [ "$(complete -p tclean)" = "complete -F _tclean tclean" ] || exit 1
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        _tclean
        [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' \
        sh "$SHARE/bash-completion/completions/tclean" "$@")
}
expect_completion() {
    want="$1"
    shift
    got="$(complete_line "$@" | LC_ALL=C sort | tr '\n' ' ')"
    [ "$got" = "$want" ] || fail "bash completes \"$*\" to \"$got\", not \"$want\""
}
expect_completion "scan " tclean sc
expect_completion "--dry-run " tclean clean --d
expect_completion "big clean dupes names overview procs restore scan tree types version " tclean ""
expect_completion "--dry-run --min --plan --safe --yes " tclean clean --
expect_completion "--json --min --plan " tclean scan --dry-run --
expect_completion "--beside --yes " tclean restore --
expect_completion "Documentation.txt " tclean scan --plan Documentation
expect_completion "" tclean big --min ""
expect_completion "--min " tclean big --min 5 --m
expect_completion "Documents Downloads " tclean tree D
expect_completion "Documents " tclean tree -d 2 Doc
expect_completion "" tclean version --

# --- the installed programs start ----------------------------------------------------
home="$TMP/home"
mkdir -p "$home"
run_installed() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
        LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software "$@"
}
run_installed "$DEST$PREFIX/bin/tclean" version >"$TMP/version.txt" || fail "installed tclean version failed"
grep -q '^tclean ' "$TMP/version.txt" || fail "installed tclean printed no version line"
# The app has started when it is still up after a few seconds; a QML error or a
# missing module ends it or shows on standard error.
status=0
run_installed TID_NOGUIDE=1 TID_PAGE=about timeout 8 "$DEST$PREFIX/bin/TidloCleaner" \
    >"$TMP/app.out" 2>"$TMP/app.err" || status=$?
if [ "$status" -ne 124 ] || grep -q 'qrc:\|not installed\|Error' "$TMP/app.err"; then
    cat "$TMP/app.err" >&2
    fail "the installed TidloCleaner did not start (status $status)"
fi

wmclass="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
xvfb-run -a "$ROOT/scripts/check-install.sh" --x11-window "$DEST$PREFIX/bin/TidloCleaner" \
    PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
    LANG=C.UTF-8 TID_NOGUIDE=1 TID_PAGE=about >"$TMP/x11.txt" 2>&1 || true
grep -q "WM_CLASS(STRING) = \"[^\"]*\", \"$wmclass\"\$" "$TMP/x11.txt" || {
    cat "$TMP/x11.txt" >&2
    fail "no window with an icon and the class \"$wmclass\" (StartupWMClass) appeared"
}

# --- the Debian package ------------------------------------------------------------------
(cd "$BUILD_DIR" && cpack -G DEB -B "$TMP/deb" >"$TMP/cpack.log" 2>&1) ||
    { cat "$TMP/cpack.log" >&2; fail "cpack -G DEB failed"; }
deb="$(ls "$TMP"/deb/*.deb)"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed "s|^\./${PREFIX#/}/||" | LC_ALL=C sort >"$TMP/deb.txt"
diff -u "$TMP/installed.txt" "$TMP/deb.txt" ||
    fail "the .deb's files differ from the DESTDIR install (- install, + .deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for pkg in libc6 libqt6quick6 procps qml6-module-qtquick-controls; do
    echo "$depends" | grep -q "\\b$pkg\\b" || fail "the .deb does not depend on $pkg: $depends"
done
# Information tags are not failed on. The one that stays: cpack strips the
# programs with a plain strip, which keeps the compiler's .comment section
# (binary-has-unneeded-section).
lintian --allow-root --fail-on error,warning "$deb" >"$TMP/lintian.txt" 2>&1 ||
    { cat "$TMP/lintian.txt" >&2; fail "lintian found errors or warnings in the .deb"; }
if grep -q '^[EW]: ' "$TMP/lintian.txt"; then
    cat "$TMP/lintian.txt" >&2
    fail "lintian found errors or warnings in the .deb"
fi
echo "check-install: install, desktop files, completion, manual pages, .deb and lintian are fine ($(basename "$deb"))"
