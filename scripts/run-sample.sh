#!/usr/bin/env bash
# The main job: the embedded host loads the driver module and prints the bundled sample
# (samples/plane-*.pgm.gz, 960 x 640 pixels of 2-bit ink levels) for both printers.
set -euo pipefail
build=${1:-build}
bin="$build/bin/rphoto"
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p out/planes
"$bin" --version
"$bin" info

for ink in K C M Y R O GO LC LM LK LLK; do
  gzip -dc "$here/samples/plane-$ink.pgm.gz" > "out/planes/$ink.pgm"
done
p=out/planes
# A settings file of its own (absent: every option at its default), so the user's stored
# options do not change the sample.
settings=out/sample-settings.ini
rm -f "$settings"

"$bin" print --model r2000 --method 1440x720 --settings "$settings" --quiet --verify \
  -o out/sample-r2000.prn $p/K.pgm $p/C.pgm $p/M.pgm $p/Y.pgm $p/R.pgm $p/O.pgm $p/GO.pgm
"$bin" print --model r3000 --method 1440x720 --settings "$settings" --quiet --verify \
  -o out/sample-r3000.prn $p/K.pgm $p/C.pgm $p/M.pgm $p/Y.pgm $p/LC.pgm $p/LM.pgm $p/LK.pgm $p/LLK.pgm
for model in r2000 r3000; do
  f=out/sample-$model.prn
  echo "wrote $f ($(wc -c < "$f") bytes)"
  # What the printer would lay down, as a picture.
  "$bin" decode "$f" --preview "out/sample-$model.png" | tail -n 1
done
