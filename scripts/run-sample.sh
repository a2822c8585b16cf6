#!/usr/bin/env bash
# The main job: the embedded host loads the driver module and runs the bundled sample.
set -euo pipefail
build=${1:-build}
bin="$build/bin/rphoto"
mkdir -p out
"$bin" --version
"$bin" info
