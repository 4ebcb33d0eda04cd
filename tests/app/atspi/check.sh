#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Clean page under a real X server (Xvfb) and a private session bus, read
# by a screen reader's interface (AT-SPI): every button, check box and page
# tab is found by its visible name, and the page is worked by the press action
# alone (walk.py --press); then every page is opened from the sidebar and its
# static words (title, subtitle, hints) are found as labels, in the Linux
# words; then a storage map cell is read with its size and pressed open; last,
# the selected FooCache is moved to the Trash and put back from the History page.
# Usage: check.sh TIDLOCLEANER WALK_PY
set -eu
app="$1"
walker="$2"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Library/Caches/FooCache" "$home/Library/Caches/pip" "$home/.config" "$home/runtime" \
    "$home/path-bin"
chmod 700 "$home/runtime"
head -c 3145728 /dev/zero > "$home/Library/Caches/FooCache/blob"
head -c 3145728 /dev/zero > "$home/Library/Caches/pip/blob"

export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/runtime" \
    TID_LANG=en TID_PAGE=clean TID_NOGUIDE=1 TID_NOACT=1 \
    QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    NO_AT_BRIDGE=0 GTK_A11Y=none

exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" sh -c '
    # A PATH without ~/.local/bin or a packaged tclean: the Terminal page offers the copy.
    PATH="$HOME/path-bin" "$0" >/dev/null 2>&1 &
    pid=$!
    status=0
    /usr/bin/python3 "$1" --press "Overview" "Clean" "Storage Map" "Large Files" "Toolbox" "Terminal" \
        "History" "About" "Select All" "Deselect All" "Show in File Manager" "Move to Trash" \
        "pip cache" "FooCache" "Selected 2 items" "Keep your home folder tidy" \
        --page "Overview::Device Overview::Keep your home folder tidy" \
        --page "Clean::Cleanup Items::Select items to move to Trash. Restorable." \
        --page "Storage Map::Each rectangle is a folder, sized by disk usage" \
        --page "Large Files::Find the biggest single files" \
        --page "Toolbox::Uninstall, dedupe, snapshots, system" \
        --page "Terminal::Command Line Tool::Add ~/.local/bin to PATH, then just type tclean:" \
        --page "History::Every cleanup is logged" \
        --page "About::Made by Tidlo. A clean, transparent, reversible cleaner for Linux: nothing is deleted silently — everything goes to the Trash first." \
        --map "Library::Caches" \
        --put-back "FooCache::Library/Caches/FooCache/blob" \
        || status=$?
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
    exit $status
' "$app" "$walker"
