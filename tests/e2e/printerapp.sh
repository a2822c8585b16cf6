#!/usr/bin/env bash
# Browser test of the printer application's device-options page: starts rphoto-printer-app on a
# free loopback port with a temporary home (as user nobody when run as root), adds an R3000
# that prints into a folder, runs printerapp.e2e.js and stops the server.
# Usage: printerapp.sh RPHOTO_PRINTER_APP SCREENSHOT_DIR
set -euo pipefail
app="$1"
shots="$2"
here="$(cd "$(dirname "$0")" && pwd)"

work="$(mktemp -d)"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$work"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# run SECONDS COMMAND...: the command as the test user in the temporary home, bounded in time.
run() { timeout "$1" env -i HOME="$work" XDG_CONFIG_HOME="$work/.config" TMPDIR="$work" PATH=/usr/bin:/bin "${as_user[@]}" "${@:2}"; }
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
run 10 mkdir -p "$work/.config" "$work/out"
# The subshell becomes `timeout`, so the job's pid is the one that stops the server.
(exec timeout 600 env -i HOME="$work" XDG_CONFIG_HOME="$work/.config" TMPDIR="$work" PATH=/usr/bin:/bin "${as_user[@]}" \
  "$app" server -o server-port="$port" -o listen-hostname=localhost -o log-file="$work/app.log") > "$work/app.out" 2>&1 &
server=$!
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
run 60 "$app" add -d r3000 -m r3000 -v "file://$work/out"
id="$(run 30 "$app" printers | grep -c . || true)"
[ "$id" -ge 1 ] || { echo "no printer was added"; cat "$work/app.out"; exit 1; }
timeout 120 node "$here/printerapp.e2e.js" --url "http://localhost:$port/" --printer r3000 \
  --settings "$work/.config/rphoto/printer-1.ini" --shot "$shots/printer-app-options.png"
echo "printer application browser case passed"
