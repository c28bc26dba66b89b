#!/usr/bin/env bash
# Makes the Wine prefix of the Windows tests (WINEPREFIX): a 32-bit Windows, drive T: mapped
# to a folder of the build tree, windows drawn by Wine's null driver (no display needed; the
# message boxes exist as windows that the tests' box helper finds and answers).
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEARCH=win32
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_t"
ln -sfn ../drive_t "$WINEPREFIX/dosdevices/t:"
wineserver -w
