#!/usr/bin/env bash
# The browser benchmark on both platforms on the same data: SEVRIK.exe's Win32 browser under
# Wine through ODBC (browse_bench_win32.exe), drawn by Wine's null driver and then by its X11
# driver on a virtual display (Xvfb), as on a person's screen; beside the Linux Qt browser
# (browse_bench):
#   bench/browse_bench_win32.sh [rows, default 50000] [Windows build folder]
# Needs the Linux build in build/ (with SEVRIK_BENCH=ON) and a Windows build: by default
# build-win32 where the machine runs 32-bit programs, else build-win64.
# Runs all and exits 1 when one misses a target or could not do its work.
set -euo pipefail
cd "$(dirname "$0")/.."
. tests/windows/wine.sh
. tests/windows/xvfb.sh
rows=${1:-50000}
host=$PWD/build
win=$(windows_tree "${2:-}")
load_wine_env "$win"
driver=${SEVRIK_WINE_ODBC_DRIVER:?the Windows build has no wine.env}
for f in "$host/tools/sevrik-workspace" "$host/bench/browse_bench" "$win/programs/SEVRIK.exe" \
  "$win/bench/browse_bench_win32.exe" "$driver"; do
  [ -e "$f" ] || { echo "missing $f" >&2; exit 1; }
done
bench_prefix
W=$WINEPREFIX/drive_t
"$host/tools/sevrik-workspace" --program "$W/BeaCukai/TPB25" --package "$W/EDI" --setting 'T:\EDI' >/dev/null
cp "$win/programs/SEVRIK.exe" "$W/BeaCukai/TPB25/"
db=$W/BeaCukai/TPB25/dbTPB.mdb
# The same documents as browse_bench: the demo's two BC 2.3 documents and `rows` more.
sqlite3 "$db" "BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows)
INSERT INTO TBLBC23HDR (CAR, Kdkpbc, Pasoknama, Bruto, Netto, Jmcont, Jmbrg, Status)
SELECT printf('0501000002022026121%07d', i), '050100', 'PEMASOK NOMOR ' || i, 1000.5 + i, 900.25 + i,
  i % 4, i % 50, printf('%02d', i % 7) FROM n;
COMMIT;"
status=0
for graphics in null x11; do
  if [ "$graphics" = x11 ]; then
    start_xvfb 1280x1024x24
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
    wineserver -w
  fi
  echo "Wine's $graphics driver ($(basename "$win")):"
  SEVRIK_DATABASE="Driver=$driver;Database=$db" wine "$win/bench/browse_bench_win32.exe" 'T:\BeaCukai\TPB25' \
    $((rows + 2)) | tr -d '\r' || status=1
done
echo "The Linux Qt browser on the same data (SQLite directly):"
"$host/bench/browse_bench" "$rows" || status=1
[ "$status" = 0 ] || echo "browse_bench_win32.sh: a target was missed (MISSED above)" >&2
exit "$status"
