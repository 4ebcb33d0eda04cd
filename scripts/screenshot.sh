#!/bin/sh
# Retakes the screenshot the AppStream metainfo shows (data/screenshots/),
# offscreen, in English, from a throw-away home folder holding a few caches and
# large files, so the pages have something to show.
#   scripts/screenshot.sh [BUILD_DIR]      (needs the app_screenshot target)
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR="${1:-build}"
OUT="$(pwd)/data/screenshots/overview.png"

H="$(mktemp -d)"
trap 'rm -rf "$H"' EXIT
mkdir -p "$H/.cache/pip/http" "$H/.cache/yarn/v6" "$H/.cache/thumbnails/large" "$H/.cache/go-build" \
    "$H/Downloads" "$H/Documents/Projects" "$H/Pictures" "$H/Videos" "$H/Music" "$H/Desktop" \
    "$H/.config" "$H/.local/share"
fallocate -l 180M "$H/.cache/pip/http/wheels.bin"
fallocate -l 95M "$H/.cache/yarn/v6/packages.bin"
fallocate -l 24M "$H/.cache/thumbnails/large/thumbs.bin"
fallocate -l 310M "$H/.cache/go-build/objects.bin"
fallocate -l 1200M "$H/Downloads/debian-12-dvd.iso"
fallocate -l 420M "$H/Videos/holiday.mp4"
fallocate -l 160M "$H/Pictures/raw-photos.tar"
fallocate -l 75M "$H/Documents/Projects/dataset.csv"
fallocate -l 30M "$H/Music/album.flac"

env HOME="$H" XDG_CONFIG_HOME="$H/.config" XDG_DATA_HOME="$H/.local/share" XDG_CACHE_HOME="$H/.cache" \
    TID_LANG=en TID_NOGUIDE=1 TID_PAGE=overview \
    QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software \
    "$BUILD_DIR/tests/app/app_screenshot" "$OUT" 8000
echo "screenshot: $OUT"
