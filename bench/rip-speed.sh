#!/bin/sh
# Whole picture jobs from a file to printer bytes: an A4 page from a 24-megapixel photo-like
# JPEG on the R3000 at three print methods. Reports wall time, CPU time and peak memory
# (/usr/bin/time -v) and each stage's share of the CPU time (separation, halftone and module
# from rphoto's own summary of their CPU time; loading and resampling the rest).
# Usage: bench/rip-speed.sh [BUILD_DIR] [METHOD...]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
methods=${*:-1440x720 2880x1440 5760x1440}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/rphoto_make_photo" "$work/photo.jpg" 6000 4000
printf '| Method | Wall s | CPU s | Peak MB | Load+resample s | Separation s | Halftone s | Module s | Job MB |\n'
printf '|---|---|---|---|---|---|---|---|---|\n'
for m in $methods; do
    /usr/bin/time -v "$build/bin/rphoto" print --settings "$work/settings.ini" --model r3000 --method "$m" \
        --media-size 'ISO A4' -o "$work/job.prn" "$work/photo.jpg" 2>"$work/log" || { cat "$work/log"; exit 1; }
    awk -v m="$m" -v size="$(stat -c %s "$work/job.prn")" '
        /Elapsed \(wall clock\)/ { n = split($NF, t, ":"); wall = (n == 3) ? t[1] * 3600 + t[2] * 60 + t[3] : t[1] * 60 + t[2] }
        /User time/ { cpu += $NF } /System time/ { cpu += $NF }
        /Maximum resident/ { peak = $NF / 1024 }
        /CPU time:/ { match($0, /separation [0-9.]+/); sep = substr($0, RSTART + 11, RLENGTH - 11)
            match($0, /halftone [0-9.]+/); ht = substr($0, RSTART + 9, RLENGTH - 9)
            match($0, /module [0-9.]+/); mod = substr($0, RSTART + 7, RLENGTH - 7) }
        END { load = cpu - sep - ht - mod; if (load < 0) load = 0
              printf "| %s | %.2f | %.2f | %.0f | %.2f (%.0f %%) | %.2f (%.0f %%) | %.2f (%.0f %%) | %.2f (%.0f %%) | %.1f |\n", m, wall, cpu, peak,
                     load, 100 * load / cpu, sep, 100 * sep / cpu, ht, 100 * ht / cpu, mod, 100 * mod / cpu, size / 1e6 }' "$work/log"
done
