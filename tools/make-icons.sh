#!/usr/bin/env bash
# Renders the application icon into the fixed sizes the desktops look for.
# The SVG in dist/icons/ is the one source; the PNGs are committed so that a
# package build needs no SVG renderer. Metadata and time stamps are left out,
# so a second run gives the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
name=de.keldrum.Vantor
svg="dist/icons/$name.svg"
for size in 48 128 256; do
    dir="dist/icons/hicolor/${size}x${size}/apps"
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio "$svg" \
        | convert png:- -strip -define png:exclude-chunks=date,time "$dir/$name.png"
done
