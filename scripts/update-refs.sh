#!/usr/bin/env bash
# Rewrites the golden references in ref/ from the current build (sample jobs printed with the
# printer clock pinned). Read `git diff ref/` before committing: a changed reference means the
# printer would get other bytes.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
SOURCE_DATE_EPOCH=0 "$here/scripts/print-sample.sh" "$build" "$tmp"
for model in r2000 r3000; do
  "$build/bin/rphoto" decode "$tmp/sample-$model.prn" --list > "$here/ref/sample-$model.list"
  (cd "$tmp" && sha256sum "sample-$model.prn") > "$here/ref/sample-$model.sha256"
done
echo "ref/ rewritten; read git diff ref/ before committing"
