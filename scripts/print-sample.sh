#!/usr/bin/env bash
# Prints the bundled sample (samples/plane-*.pgm.gz, 960 x 640 pixels of 2-bit ink levels) for
# both printers into OUTDIR/sample-r2000.prn and OUTDIR/sample-r3000.prn.
# Usage: print-sample.sh BUILD OUTDIR [extra rphoto print options...]
set -euo pipefail
build=$1
outdir=$2
shift 2
bin="$build/bin/rphoto"
here=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$outdir/planes"
p=$outdir/planes
for ink in K C M Y R O GO LC LM LK LLK; do
  gzip -dc "$here/samples/plane-$ink.pgm.gz" > "$p/$ink.pgm"
done
# A settings file of its own (absent: every option at its default, but the medium, premium
# glossy photo paper with photo black ink), so the user's stored options do not change the sample.
settings=$outdir/sample-settings.ini
rm -f "$settings"

"$bin" print --model r2000 --method 1440x720 --settings "$settings" --quiet "$@" \
  --set "DP1_strPaperTyp=Premium Glossy Photo Paper" \
  -o "$outdir/sample-r2000.prn" $p/K.pgm $p/C.pgm $p/M.pgm $p/Y.pgm $p/R.pgm $p/O.pgm $p/GO.pgm
"$bin" print --model r3000 --method 1440x720 --settings "$settings" --quiet "$@" \
  --set DP2_nPaperTyp=3 --set "DP2_strPaperTyp=Premium Glossy Photo Paper" --set DP2_inkMode=1 \
  -o "$outdir/sample-r3000.prn" $p/K.pgm $p/C.pgm $p/M.pgm $p/Y.pgm $p/LC.pgm $p/LM.pgm $p/LK.pgm $p/LLK.pgm
