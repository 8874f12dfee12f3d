# Source this: sets up Wine for the project's runs and creates the prefix on
# first use (about 12 s), with a default virtual desktop so that windows, the
# notification area and end-of-session broadcasts work under Xvfb.
#   WINEPREFIX defaults to build/wine in the checkout.
_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$_top/build/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

pulsery_wine_prefix() {
  if [ -f "$WINEPREFIX/.pulsery-ready" ]; then return 0; fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  cat > "$WINEPREFIX/desktop.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1024x768"
REG
  wine regedit /S "$WINEPREFIX/desktop.reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.pulsery-ready"
}
