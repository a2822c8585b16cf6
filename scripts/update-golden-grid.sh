#!/usr/bin/env bash
# Rewrites ref/golden-grid.tsv (SHA-256 of every job of the golden grid) from the current
# build. Only after a deliberate change of the printer's bytes: read `git diff ref/` first.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$build" -j2 --target test_golden
RPHOTO_GOLDEN_WRITE="$here/ref/golden-grid.tsv" "$build/bin/test_golden" --gtest_filter='GoldenGrid.*'
echo "ref/golden-grid.tsv rewritten; read git diff ref/ before committing"
