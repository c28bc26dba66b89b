#!/usr/bin/env bash
# SEVRIK.exe end to end under Wine, beside the Linux build on the same data:
#   end_to_end.sh <Linux build folder> <Windows build folder>
# Two workspaces from the same builder: one on drive T: of the Wine prefix (T:\BeaCukai\TPB25,
# T:\EDI), reached through Wine's odbc32 and the host's SQLite ODBC driver of the tree's width, one for the
# Linux build with T: mapped by SEVRIK_DRIVE_T. Both run the customs application's command
# lines; the flat files must be the same bytes, and the documents must end with the same
# statuses.
set -euo pipefail
host=$1
win=$2
: "${WINEPREFIX:?names the Wine prefix of the test tree}"
export WINEDEBUG=-all SEVRIK_DIALOGS=console
. "$(dirname "$0")/wine.sh"
driver=${SEVRIK_WINE_ODBC_DRIVER:-/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so}
for f in "$host/tools/sevrik-workspace" "$host/programs/SEVRIK" "$win/programs/SEVRIK.exe" "$driver"; do
  [ -e "$f" ] || { echo "missing $f (the Linux build, the Windows build, the SQLite ODBC driver of the tree's width)" >&2; exit 1; }
done

W=$WINEPREFIX/drive_t
L=$(mktemp -d)
trap 'rm -rf "$L" "$W/EDI" "$W/BeaCukai"' EXIT
rm -rf "$W/EDI" "$W/BeaCukai"
failures=0
check() {  # description, then the command that must succeed
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
same() { cmp -s "$1" "$2"; }
first_line() { head -n 1 "$1" | tr -d '\r'; }
db() { sqlite3 "$1/BeaCukai/TPB25/dbTPB.mdb" "$2"; }

for root in "$W" "$L"; do
  "$host/tools/sevrik-workspace" --program "$root/BeaCukai/TPB25" --package "$root/EDI" --setting 'T:\EDI' \
    --standin "$host/tools/package" >/dev/null
done
cp "$win/programs/SEVRIK.exe" "$win/shim/ZUL.exe" "$W/BeaCukai/TPB25/"
cp "$win/tools/package/ranuvel.exe" "$W/EDI/ranuvel.exe"
cp "$host/programs/SEVRIK" "$host/shim/ZUL" "$L/BeaCukai/TPB25/"
windows_db="Driver=$driver;Database=$W/BeaCukai/TPB25/dbTPB.mdb"

on_windows() { SEVRIK_DATABASE=$windows_db wine 'T:\BeaCukai\TPB25\SEVRIK.exe' "$@"; }
on_linux() { SEVRIK_DRIVE_T=$L "$L/BeaCukai/TPB25/SEVRIK" "$@"; }
both() {
  local a b
  a=$(on_windows "$@" 2>&1 | tr -d '\r') || { echo "SEVRIK.exe $* failed: $a"; return 1; }
  b=$(on_linux "$@" 2>&1) || { echo "SEVRIK $* failed: $b"; return 1; }
  [ "$a" = "$b" ] || { printf 'SEVRIK.exe said:\n%s\nSEVRIK said:\n%s\n' "$a" "$b"; return 1; }
}
empty_log() { [ ! -s "$W/BeaCukai/TPB25/SEVRIK.LOG" ] || { cat "$W/BeaCukai/TPB25/SEVRIK.LOG"; return 1; }; }

car25=05010000020220261202000003
car23=05010000020220261201000001
car23b=05010000020220261203000002

check "QUE BC25 runs on both" both QUE BC25 $car25
check "BC25.FLT is the same bytes" same "$W/EDI/ipdata/BC25.FLT" "$L/EDI/ipdata/BC25.FLT"
check "BC25.FLT is a whole file" grep -q '^UNZ00101' "$W/EDI/ipdata/BC25.FLT"
check "the run log stays empty" empty_log

check "QUE BC23 runs on both" both QUE BC23 $car23
check "BC23.FLT is the same bytes" same "$W/EDI/ipdata/BC23.FLT" "$L/EDI/ipdata/BC23.FLT"
check "the translator queued it" test "$(first_line "$W/EDI/ipdata/TPBQUE.STA")" = 0
check "status 02 and a reference in the database" \
  test "$(db "$W" "select Status, length(snrf) > 0 from TBLBC23HDR where CAR = '$car23'")" = "02|1"
check "the same status on Linux" test "$(db "$L" "select Status from TBLBC23HDR where CAR = '$car23'")" = 02

# The check before sending: the same report on standard output, exit status 1 for a blocking
# problem, the flat file left as the last build wrote it.
fault="update TBLBC25DTL set merk = '1234567890123456' where CAR = '$car25' and Serial = 1"
db "$W" "$fault"
db "$L" "$fault"
cp "$W/EDI/ipdata/BC25.FLT" "$L/BC25.before"
check_both() {
  local a b sa=0 sb=0
  a=$(on_windows CHK BC25 $car25 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}") || sa=$?
  b=$(on_linux CHK BC25 $car25 2>&1) || sb=$?
  [ "$sa" = 1 ] && [ "$sb" = 1 ] || { echo "exit status $sa and $sb, not 1"; return 1; }
  [ "$a" = "$b" ] || { printf 'SEVRIK.exe said:\n%s\nSEVRIK said:\n%s\n' "$a" "$b"; return 1; }
  [ "$a" = "Pemeriksaan dokumen BC25 CAR = $car25
Menghalangi pengiriman (1):
DDEC0201 TBLBC25DTL.merk, barang ke-1: 16 karakter, paling banyak 15 (\"1234567890123456\")
Dokumen tidak dapat dikirim." ] || { echo "$a"; return 1; }
}
check "CHK BC25 reports the same on both" check_both
check "CHK wrote no flat file" same "$W/EDI/ipdata/BC25.FLT" "$L/BC25.before"

check "UNQ BC23 runs on both" both UNQ BC23 $car23
check "the translator cancelled it" test "$(first_line "$W/EDI/ipdata/TPBUNQ.STA")" = 0
check "status 01 in the database" test "$(db "$W" "select Status from TBLBC23HDR where CAR = '$car23'")" = 01

check "QUE BC23 of the second document" both QUE BC23 $car23b
check "COM runs on both" both COM
check "communication sent the queued document" test "$(ls "$W/EDI/outbox" | wc -l)" = 1

logdel() { echo y | SEVRIK_DATABASE=$windows_db wine 'T:\BeaCukai\TPB25\SEVRIK.exe' logdel >/dev/null 2>&1; }
check "logdel answered with y" logdel
check "the communication logs are gone" test -z "$(ls "$W/BeaCukai/TPB25/LogKom")"
check "tblKomLog is empty" test "$(db "$W" 'select count(*) from tblKomLog')" = 0

# Without ranuvel.exe the run goes through ZUL.exe, which rebuilds the line for "Ranuvel".
mv "$W/EDI/ranuvel.exe" "$W/BeaCukai/TPB25/Ranuvel.exe"
: >"$W/EDI/calls.log"
check "QUE BC23 through ZUL.exe" on_windows QUE BC23 $car23b
check "ZUL.exe started the translator with its line" \
  grep -qF '<TPBQUE> <T:\EDI\IPDATA\BC23.FLT> <Dokumen> <BC23> <BC23>' "$W/EDI/calls.log"
check "queued through ZUL.exe" test "$(first_line "$W/EDI/ipdata/TPBQUE.STA")" = 0

# "list" and "log" show their windows: win32_windows_test drives them.

# A real message box: the version box of a start without arguments, read and closed by the
# tests' box helper.
version_box() {
  local seen
  wine "$win/tests/windows/boxanswer.exe" SEVRIK ok >"$L/box.txt" &
  local helper=$!
  SEVRIK_DIALOGS= wine 'T:\BeaCukai\TPB25\SEVRIK.exe'
  wait $helper || return 1
  seen=$(tr -d '\r' <"$L/box.txt")
  [ "$seen" = $'title=SEVRIK\ntext=SEVRIK Ver. 2.0.0\nHarus dijalankan dari aplikasi TPB\nbuttons=ok ' ] || {
    echo "$seen"
    return 1
  }
}
check "the version box without arguments" version_box

echo "$failures failed"
[ "$failures" -eq 0 ]
