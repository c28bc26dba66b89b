#!/usr/bin/env bash
# SEVRIK.exe's windows under Wine, driven by win32_windows_test.exe:
#   [SEVRIK_VIEWS_DRIVER=x11] windows_views.sh <Linux build folder> <Windows build folder> [gtest filter]
# Lays out a workspace on drive T: of the Wine prefix (T:\Views\BeaCukai\TPB25, T:\Views\EDI) with the
# Linux build's workspace builder and the stand-in package, reached through Wine's odbc32 and
# the host's SQLite ODBC driver of the tree's width; runs the window tests at 96 DPI, then the layout tests
# again at 144 DPI (150 %). Wine draws with its null driver, unless SEVRIK_VIEWS_DRIVER=x11: then
# with its X11 driver on a virtual display (Xvfb) of this run, as on a person's screen, where
# every drawing is a round trip to the display server; the X11 run is one pass at 96 DPI.
set -euo pipefail
host=$1
win=$2
filter=${3:-*}
: "${WINEPREFIX:?names the Wine prefix of the test tree}"
export WINEDEBUG=-all
. "$(dirname "$0")/wine.sh"
. "$(dirname "$0")/xvfb.sh"
graphics=${SEVRIK_VIEWS_DRIVER:-null}
driver=${SEVRIK_WINE_ODBC_DRIVER:-/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so}
for f in "$host/tools/sevrik-workspace" "$win/programs/SEVRIK.exe" "$driver" "$win/tests/windows/win32_windows_test.exe"; do
  [ -e "$f" ] || { echo "missing $f (the Linux build, the Windows build, the SQLite ODBC driver of the tree's width)" >&2; exit 1; }
done
W=$WINEPREFIX/drive_t/Views
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}
set_graphics() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
  wineserver -w
}
cleanup() {
  set_dpi 96 || true
  if [ "$graphics" != null ]; then
    set_graphics null || true
    kill "$XVFB_PID" 2>/dev/null || true
  fi
  rm -rf "$W"
}
trap cleanup EXIT
if [ "$graphics" = x11 ]; then
  start_xvfb 1280x1024x24
  set_graphics x11
fi
rm -rf "$W/EDI" "$W/BeaCukai"
"$host/tools/sevrik-workspace" --program "$W/BeaCukai/TPB25" --package "$W/EDI" --setting 'T:\Views\EDI' \
  --standin "$host/tools/package" >/dev/null
cp "$win/programs/SEVRIK.exe" "$win/shim/ZUL.exe" "$W/BeaCukai/TPB25/"
cp "$win/tools/package/ranuvel.exe" "$W/EDI/ranuvel.exe"
db=$W/BeaCukai/TPB25/dbTPB.mdb
# Log files of the translator, in both cases of their extension.
printf 'antrian dimulai\r\nCAR 05010000020220261201000001\r\n' >"$W/EDI/ipdata/TPBQUE.LOG"
printf 'komunikasi selesai\r\n' >"$W/EDI/ipdata/tpbcom.log"
# The second BC 2.3 document gets 5,000 items, each with its tariff and facility rows.
"$(dirname "$0")/big_document.sh" "$db" 05010000020220261203000002 5000
cp "$db" "$W/BeaCukai/TPB25/dbTPB.orig"

export SEVRIK_TEST_PROGRAM='T:\Views\BeaCukai\TPB25' SEVRIK_TEST_PACKAGE='T:\Views\EDI'
export SEVRIK_DATABASE="Driver=$driver;Database=$db"
set_dpi 96
SEVRIK_TEST_DPI=96 wine "$win/tests/windows/win32_windows_test.exe" --gtest_filter="$filter"
[ "$graphics" = null ] || exit 0
set_dpi 144
SEVRIK_TEST_DPI=144 SEVRIK_TEST_GEOMETRY_ONLY=1 wine "$win/tests/windows/win32_windows_test.exe" --gtest_filter='*LaidOut*'
