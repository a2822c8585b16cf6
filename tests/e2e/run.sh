#!/usr/bin/env bash
# Browser test of the device-options pages. For each case it starts `rphoto pages` on a free
# loopback port, drives the page in headless Chromium (pages.e2e.js) and stops the server.
# Usage: run.sh RPHOTO_BINARY SCREENSHOT_DIR [WORK_DIR]
set -euo pipefail
rphoto="$1"
shots="$2"
work="${3:-$(mktemp -d)}"
here="$(cd "$(dirname "$0")" && pwd)"

mkdir -p "$work"

server=""
stop_server() {
  if [ -n "$server" ] && kill -0 "$server" 2>/dev/null; then kill "$server" 2>/dev/null || true; fi
  server=""
}
trap stop_server EXIT

# run_case NAME MODEL LANG SEED SHOT [RPHOTO_ARGS...]: SEED is the settings file's starting
# content (may be empty), SHOT the screenshot to take (may be empty).
run_case() {
  local name="$1" model="$2" lang="$3" seed="$4" shot="$5"
  shift 5
  local settings="$work/$name.ini" log="$work/$name.log"
  rm -f "$settings" "$log"
  if [ -n "$seed" ]; then printf '%b' "$seed" > "$settings"; fi
  "$rphoto" pages --model "$model" --lang "$lang" --settings "$settings" --port 0 "$@" > "$log" 2>&1 &
  server=$!
  local url=""
  for _ in $(seq 100); do
    url="$(grep -o 'http://127\.0\.0\.1:[0-9]*/#secret=[0-9a-f]*' "$log" || true)"
    [ -n "$url" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$url" ]; then
    echo "$name: rphoto pages gave no address"
    cat "$log"
    return 1
  fi
  local rc=0
  node "$here/pages.e2e.js" --model "$model" --lang "$lang" --url "$url" --settings "$settings" \
    ${shot:+--shot "$shot"} || rc=$?
  curl -s -m 5 -H 'Content-Type: application/json' -H "X-RPhoto-Secret: ${url##*#secret=}" -d '{}' \
    "${url%%#*}api/quit" > /dev/null || true
  wait "$server" || rc=1
  server=""
  return $rc
}

r3000_seed='DP2_nPaperTyp = 13\nDP2_strPaperTyp = Photo Paper Glossy\nDP2_inkMode = 2\n'
run_case r2000 r2000 en "" "$shots/page-r2000.png" --method 5760x1440
run_case r3000 r3000 en "$r3000_seed" "$shots/page-r3000.png"
run_case r3000-ja r3000 ja "$r3000_seed" ""
echo "all browser cases passed"
