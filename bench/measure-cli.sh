#!/usr/bin/env bash
# Whole-process timings of liskoprinter-cli against yardsticks, as ratios.
#
#   bench/measure-cli.sh [BUILD_DIR]      (default build/release; needs ImageMagick's convert)
#
# 1. render of a 4000 x 3000 camera photo to PNG, against ImageMagick doing the comparable job
#    (resize to 1500, normalize, JPEG quality 85, then rotate 90 to PNG);
# 2. print of 20 such photos to a PDF on every core, against the same run pinned to one core
#    (taskset -c 0), and whether both PDFs hold the same bytes but for their creation date.
# Each figure is the median wall time of 5 runs (/usr/bin/time). Run it on a quiet machine.
set -euo pipefail

build=${1:-build/release}
cli=$build/cli/liskoprinter-cli
runs=5
[[ -x $cli ]] || { echo "no $cli: build it first (cmake --build --preset release)" >&2; exit 1; }
command -v convert >/dev/null || { echo "needs ImageMagick's convert" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A photographed page: a lit gradient with texture, at a camera's size and quality.
convert -size 4000x3000 gradient:'#f4efe2-#b9b2a0' \( -size 4000x3000 plasma:fractal -blur 0x2 \
    -colorspace gray \) -compose multiply -composite -quality 92 "$work/photo.jpg"
for k in $(seq -w 1 20); do cp "$work/photo.jpg" "$work/photo$k.jpg"; done

# Median wall time in seconds of running "$@" $runs times.
median() {
    local times=()
    for _ in $(seq $runs); do
        /usr/bin/time -f %e -o "$work/time" "$@" >/dev/null 2>&1
        times+=("$(cat "$work/time")")
    done
    printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

yardstick() {
    convert "$work/photo.jpg" -resize 1500x1500 -normalize -quality 85 "$work/im.jpg"
    convert "$work/im.jpg" -rotate 90 "$work/im.png"
}
export -f yardstick
export work

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
render=$(median "$cli" render "$work/photo.jpg" -o "$work/out.png")
magick=$(median bash -c yardstick)
echo "render 4000x3000 to PNG: ${render}s, ImageMagick ${magick}s, ratio $(ratio "$render" "$magick") (target <= 0.15)"

photos=("$work"/photo??.jpg)
all=$(median "$cli" print "${photos[@]}" -o "$work/all.pdf")
one=$(median taskset -c 0 "$cli" print "${photos[@]}" -o "$work/one.pdf")
same=no
if cmp -s <(sed 's|/CreationDate ([^)]*)||' "$work/all.pdf") \
          <(sed 's|/CreationDate ([^)]*)||' "$work/one.pdf"); then
    same=yes
fi
echo "print of 20 photos: ${all}s on every core, ${one}s on one core, ratio $(ratio "$all" "$one") (target <= 0.62), same PDF bytes: $same"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
