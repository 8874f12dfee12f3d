#!/usr/bin/env bash
# pulsery.exe starts, ticks, and ends cleanly when the session ends.
# Wine reports the tool's OutputDebugString lines on its seh channel.
set -u
exe=$1
. "$(dirname "$0")/../../scripts/wine-env.sh"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Start from no options file: the run must write one.
find "$WINEPREFIX/drive_c/users" -name PulseryOpts.ini -delete 2>/dev/null

WINEDEBUG=-all,warn+seh wine "$exe" >"$log" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  grep -q 'Pulsery: first tick' "$log" && break
  sleep 0.1
done
grep -q 'Pulsery: first tick' "$log" || { echo "no tick"; cat "$log"; kill $pid; exit 1; }
sleep 1.5  # a few regular ticks
wineboot -e >/dev/null 2>&1
status=0
wait $pid || status=$?
if [ $status -ne 0 ]; then echo "exit code $status"; cat "$log"; exit 1; fi
grep -q 'Pulsery: stopped' "$log" || { echo "no orderly shutdown"; cat "$log"; exit 1; }
if grep -qiE 'unhandled exception|winedbg|page fault' "$log"; then
  echo "crash"; cat "$log"; exit 1
fi
# The options were saved in the user's data folder when the session ended.
opts=$(find "$WINEPREFIX/drive_c/users" -path '*/Local Settings/Application Data/Pulsery/PulseryOpts.ini' -o \
  -path '*/AppData/Local/Pulsery/PulseryOpts.ini' 2>/dev/null | head -1)
if [ -z "$opts" ]; then echo "no options file in the data folder"; exit 1; fi
if [ "$(head -c 2 "$opts" | od -An -tx1 | tr -d ' ')" != fffe ]; then
  echo "options file is not UTF-16 LE with a byte-order mark"; exit 1
fi
echo "smoke: started, ticked, ended with 0 and saved $opts"
