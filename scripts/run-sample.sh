#!/usr/bin/env bash
# The main job: the embedded host loads the driver module, prints the bundled sample for both
# printers, checks every dot of each job and pictures what each printer would lay down.
set -euo pipefail
build=${1:-build}
bin="$build/bin/rphoto"
here=$(cd "$(dirname "$0")/.." && pwd)
"$bin" --version
"$bin" info
"$here/scripts/print-sample.sh" "$build" out --verify
for model in r2000 r3000; do
  f=out/sample-$model.prn
  echo "wrote $f ($(wc -c < "$f") bytes)"
  "$bin" decode "$f" --preview "out/sample-$model.png" | tail -n 1
done
# The bundled test chart (samples/chart.png, from samples/make_chart.py) as a picture job on
# both printers, with a fresh settings file so the job says which medium it chose.
for model in r2000 r3000; do
  f=out/chart-$model.prn
  rm -f out/chart-settings.ini
  "$bin" print --settings out/chart-settings.ini --model $model --method 1440x720 -o "$f" "$here/samples/chart.png"
  "$bin" decode "$f" --preview "out/chart-$model.png" | tail -n 1
done
