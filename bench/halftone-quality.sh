#!/bin/sh
# Writes the halftone quality report (tone reproduction, texture, determinism) to
# build/halftone-quality.md and prints it. Usage: bench/halftone-quality.sh [BUILD_DIR]
set -eu
build=${1:-build}
"$build/bin/rphoto_halftone_quality" "$build/halftone-quality.md" && status=0 || status=$?
cat "$build/halftone-quality.md"
exit $status
