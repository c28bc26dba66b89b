#!/usr/bin/env bash
# Makes the Wine prefix of the Windows tests (WINEPREFIX): a Windows of the tree's width
# (WINEARCH), drive T: mapped to a folder of the build tree, windows drawn by Wine's null
# driver (no display needed; the message boxes exist as windows that the tests' box helper
# finds and answers).
set -euo pipefail
: "${WINEPREFIX:?}"
. "$(dirname "$0")/wine.sh"
export WINEDEBUG=-all WINEARCH=${WINEARCH:-win32}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1
fi
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_t"
ln -sfn ../drive_t "$WINEPREFIX/dosdevices/t:"
wineserver -w
# A prefix that cannot start the tree's programs fails here, not in every test after it.
wine cmd /c exit 0
