#!/usr/bin/env bash
# Installs the browser tests' Node.js packages (playwright-core, from the committed lock) into
# DEST/node_modules, once; the browser tests find them through NODE_PATH.
# Usage: install.sh DEST
set -euo pipefail
dest="$1"
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -d "$dest/node_modules/playwright-core" ] || ! cmp -s "$here/package-lock.json" "$dest/package-lock.json"; then
  mkdir -p "$dest"
  cp "$here/package.json" "$here/package-lock.json" "$dest/"
  (cd "$dest" && npm ci --no-audit --no-fund --loglevel=error)
fi
