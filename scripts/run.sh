#!/usr/bin/env bash
# Installs what is missing, builds pulsery.exe and starts it under Wine.
#  - With $DISPLAY set: on that display, until the tool is ended.
#  - Without: in a virtual X display for a few seconds (PULSERY_RUN_SECONDS,
#    default 8), then a screenshot of the desktop is saved to
#    build/screenshot.png and the session is ended cleanly.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/build.sh >/dev/null
. scripts/wine-env.sh
pulsery_wine_prefix
exe=$top/build/win/pulsery.exe

if [ -n "${DISPLAY:-}" ]; then
  echo "run: starting $exe on $DISPLAY"
  exec wine "$exe"
fi

seconds=${PULSERY_RUN_SECONDS:-8}
shot=$top/build/screenshot.png
cat > build/run-virtual.sh <<INNER
set -u
. "$top/scripts/wine-env.sh"
wine "$exe" &
pid=\$!
sleep $seconds
import -window root "$shot" 2>/dev/null || true
wineboot -e >/dev/null 2>&1
status=0
wait \$pid || status=\$?
echo "run: pulsery.exe ended with exit code \$status"
wineserver -k 2>/dev/null || true
exit \$status
INNER
echo "run: starting $exe in a virtual display for $seconds s"
xvfb-run -a -s "-screen 0 1024x768x24" bash build/run-virtual.sh
echo "run: screenshot at $shot"
