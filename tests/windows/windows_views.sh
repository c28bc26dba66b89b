#!/usr/bin/env bash
# SEVRIK.exe's windows under Wine, driven by win32_windows_test.exe:
#   windows_views.sh <Linux build folder> <Windows build folder> [gtest filter]
# Lays out a workspace on drive T: of the Wine prefix (T:\Views\BeaCukai\TPB25, T:\Views\EDI) with the
# Linux build's workspace builder and the stand-in package, reached through Wine's odbc32 and
# the host's 32-bit SQLite ODBC driver; runs the window tests at 96 DPI, then the layout tests
# again at 144 DPI (150 %).
set -euo pipefail
host=$1
win=$2
filter=${3:-*}
: "${WINEPREFIX:?names the Wine prefix of the test tree}"
export WINEDEBUG=-all
driver=/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so
for f in "$host/tools/sevrik-workspace" "$win/interface/SEVRIK.exe" "$driver" "$win/tests/windows/win32_windows_test.exe"; do
  [ -e "$f" ] || { echo "missing $f (the Linux build, the Windows build, libsqliteodbc:i386)" >&2; exit 1; }
done
W=$WINEPREFIX/drive_t/Views
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}
cleanup() {
  set_dpi 96 || true
  rm -rf "$W"
}
trap cleanup EXIT
rm -rf "$W/EDI" "$W/BeaCukai"
"$host/tools/sevrik-workspace" --program "$W/BeaCukai/TPB25" --package "$W/EDI" --setting 'T:\Views\EDI' \
  --standin "$host/tools/package" >/dev/null
cp "$win/interface/SEVRIK.exe" "$win/shim/ZUL.exe" "$W/BeaCukai/TPB25/"
cp "$win/tools/package/ranuvel.exe" "$W/EDI/ranuvel.exe"
db=$W/BeaCukai/TPB25/dbTPB.mdb
# Log files of the translator, in both cases of their extension.
printf 'antrian dimulai\r\nCAR 05010000020220261201000001\r\n' >"$W/EDI/ipdata/TPBQUE.LOG"
printf 'komunikasi selesai\r\n' >"$W/EDI/ipdata/tpbcom.log"
# The second BC 2.3 document gets 5,000 items, each with its tariff and facility rows.
car='05010000020220261203000002'
each="WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000)"
sqlite3 "$db" "BEGIN;
DELETE FROM TBLBC23DTL WHERE CAR = '$car'; DELETE FROM TBLBC23TRF WHERE CAR = '$car';
DELETE FROM TBLBC23FAS WHERE CAR = '$car';
$each INSERT INTO TBLBC23DTL (CAR, Serial, nohs, BrgUrai, merk, tipe, kdbrg, nettoDtl, Kdsat, Jmlsat, Kemasjm,
  Kemasjn, SeriTrp) SELECT '$car', i, CAST(8400000000 + i AS TEXT), 'BARANG NOMOR ' || i, 'MERK', 'TIPE', 'B' || i,
  12.5 * i, 'PCE', 3.0 * i, i % 50, 'PK', i FROM c;
$each INSERT INTO TBLBC23TRF (CAR, NoHS, KdTrpBm, TrpBm, KdSatBm, KdTrpCuk, TrpCuk, TrpPpn, TrpPbm, SeriTrp)
  SELECT '$car', CAST(8400000000 + i AS TEXT), '1', 7.5, 'PCE', '1', 0.0, 11.0, 0.0, i FROM c;
$each INSERT INTO TBLBC23FAS (CAR, Serial, Kdfasbm, Fasbm, Kdfasppn, Fasppn, Kdfaspph, Faspph)
  SELECT '$car', i, '3', 100.0, '3', 100.0, '3', 100.0 FROM c;
UPDATE TBLBC23HDR SET Jmbrg = 5000 WHERE CAR = '$car';
COMMIT;"
cp "$db" "$W/BeaCukai/TPB25/dbTPB.orig"

export SEVRIK_TEST_PROGRAM='T:\Views\BeaCukai\TPB25' SEVRIK_TEST_PACKAGE='T:\Views\EDI'
export SEVRIK_DATABASE="Driver=$driver;Database=$db"
set_dpi 96
SEVRIK_TEST_DPI=96 wine "$win/tests/windows/win32_windows_test.exe" --gtest_filter="$filter"
set_dpi 144
SEVRIK_TEST_DPI=144 SEVRIK_TEST_GEOMETRY_ONLY=1 wine "$win/tests/windows/win32_windows_test.exe" --gtest_filter='*LaidOut*'
