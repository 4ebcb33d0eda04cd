#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Retakes the screenshot the AppStream metainfo shows
# (data/screenshots/overview.png): the Overview in English after the scan of a
# generated home folder holding caches, a removed application's data and large
# files, offscreen, at the window's first size.
#   scripts/screenshot.sh [BUILD_DIR]      (needs the app_screenshot target)
# Run as root, the home folder is a file system of its own (a tmpfs of a fixed
# size, in a mount namespace of this script), so that the Disk card shows the
# same figures on every machine; otherwise a folder under /tmp serves.
set -eu
if [ -z "${TIDLO_SCREENSHOT_NS:-}" ] && [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    exec env TIDLO_SCREENSHOT_NS=1 unshare -m --propagation private "$0" "$@"
fi
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
OUT="$(pwd)/data/screenshots/overview.png"

H="$(mktemp -d)"
if [ -n "${TIDLO_SCREENSHOT_NS:-}" ]; then
    trap 'umount "$H"; rmdir "$H"' EXIT
    mount -t tmpfs -o size=8g,mode=0700 tidlo-home "$H"
else
    trap 'rm -rf "$H"' EXIT
fi
mkdir -p "$H/.cache/pip/http" "$H/.cache/yarn/v6" "$H/.cache/thumbnails/large" "$H/.cache/go-build" \
    "$H/.var/app/org.example.PhotoStudio/cache" "$H/.var/app/org.example.PhotoStudio/data" \
    "$H/Downloads" "$H/Documents/Projects" "$H/Pictures" "$H/Videos" "$H/Music" "$H/Desktop" \
    "$H/.config" "$H/.local/share" "$H/.run"
chmod 0700 "$H/.run"
# Allocated, not sparse: the scans count the blocks a file holds, as du does.
fallocate -l 160M "$H/.cache/pip/http/wheels.bin"
fallocate -l 90M "$H/.cache/yarn/v6/packages.bin"
fallocate -l 24M "$H/.cache/thumbnails/large/thumbs.bin"
fallocate -l 220M "$H/.cache/go-build/objects.bin"
fallocate -l 60M "$H/.var/app/org.example.PhotoStudio/cache/previews.bin"
fallocate -l 40M "$H/.var/app/org.example.PhotoStudio/data/library.db"
fallocate -l 700M "$H/Downloads/debian-12-netinst.iso"
fallocate -l 300M "$H/Videos/holiday.mp4"
fallocate -l 120M "$H/Pictures/raw-photos.tar"
fallocate -l 60M "$H/Documents/Projects/dataset.csv"
fallocate -l 30M "$H/Music/album.flac"

env HOME="$H" XDG_CONFIG_HOME="$H/.config" XDG_DATA_HOME="$H/.local/share" XDG_CACHE_HOME="$H/.cache" \
    XDG_RUNTIME_DIR="$H/.run" TID_LANG=en TID_NOGUIDE=1 TID_PAGE=overview \
    QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    "$BUILD_DIR/tools/screenshot/app_screenshot" "$OUT" 8000
echo "screenshot: $OUT"
