#!/usr/bin/env bash
# "QUE BC23" of a 5,000-item BC 2.3 document against a 10-item one, each started as the customs
# application starts it, with frmProgress shown while the file is built:
#   - SEVRIK.exe under Wine with its null driver (no display);
#   - SEVRIK.exe under Wine with its X11 driver on a virtual display (Xvfb);
#   - SEVRIK.exe under Wine with its X11 driver inside a Wine desktop window on that display;
#   - the Linux SEVRIK with its Qt window on that display.
# Each time is the median of five runs, from the start of the program to its end.
# Target: in each, the large document takes at most 2 times the small one (the window costs
# nothing that grows with the document). Exits 1 when a target is missed or a run failed.
#   bench/que_bench.sh [Windows build folder]
# Needs the Linux build in build/ and a Windows build: by default build-win32 where the machine
# runs 32-bit programs, else build-win64.
set -euo pipefail
cd "$(dirname "$0")/.."
. tests/windows/wine.sh
. tests/windows/xvfb.sh
host=$PWD/build
win=$(windows_tree "${1:-}")
load_wine_env "$win"
driver=${SEVRIK_WINE_ODBC_DRIVER:?the Windows build has no wine.env}
for f in "$host/tools/sevrik-workspace" "$host/programs/SEVRIK" "$win/programs/SEVRIK.exe" "$driver"; do
  [ -e "$f" ] || { echo "missing $f" >&2; exit 1; }
done
bench_prefix
start_xvfb 1280x1024x24
unset SEVRIK_DIALOGS QT_QPA_PLATFORM

small=05010000020220261201000001
large=05010000020220261203000002
# The same workspace twice: on drive T: of the prefix for SEVRIK.exe, and for the Linux SEVRIK.
W=$WINEPREFIX/drive_t
L=$work/linux
for root in "$W" "$L"; do
  "$host/tools/sevrik-workspace" --program "$root/BeaCukai/TPB25" --package "$root/EDI" --setting 'T:\EDI' \
    --standin "$host/tools/package" >/dev/null
  tests/windows/big_document.sh "$root/BeaCukai/TPB25/dbTPB.mdb" $small 10
  tests/windows/big_document.sh "$root/BeaCukai/TPB25/dbTPB.mdb" $large 5000
  cp "$root/BeaCukai/TPB25/dbTPB.mdb" "$root/BeaCukai/TPB25/dbTPB.orig"
done
cp "$win/programs/SEVRIK.exe" "$win/shim/ZUL.exe" "$W/BeaCukai/TPB25/"
cp "$win/tools/package/ranuvel.exe" "$W/EDI/ranuvel.exe"
cp "$host/programs/SEVRIK" "$host/shim/ZUL" "$L/BeaCukai/TPB25/"
cp "$host/programs/libsevrik-qt.so" "$L/BeaCukai/TPB25/" 2>/dev/null || true

graphics() {
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
  wineserver -w
}
exe='T:\BeaCukai\TPB25\SEVRIK.exe'
run_null() { SEVRIK_DATABASE="Driver=$driver;Database=$W/BeaCukai/TPB25/dbTPB.mdb" wine "$exe" QUE BC23 "$1"; }
run_x11() { run_null "$1"; }
run_desktop() { run_null "$1"; }
# Wine's virtual desktop for every program of the prefix, as winecfg's "Emulate a virtual
# desktop" sets it: the programs' windows inside one desktop window on the display.
desktop() {
  if [ "$1" = on ]; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
  fi
  wineserver -w
}
run_qt() { SEVRIK_DRIVE_T=$L "$L/BeaCukai/TPB25/SEVRIK" QUE BC23 "$1"; }
# The same runs without a window (message boxes and progress on the console): the document's
# own work, which no window can take away.
run_wine_console() { SEVRIK_DIALOGS=console run_null "$1"; }
run_linux_console() { SEVRIK_DIALOGS=console run_qt "$1"; }

# The median of five runs of one kind for one document, in seconds (what a clerk meets as a
# rule); each from the database as laid out, and each must queue the document.
median() {
  local kind=$1 car=$2 root=$3 times=()
  for _ in 1 2 3 4 5; do
    cp "$root/BeaCukai/TPB25/dbTPB.orig" "$root/BeaCukai/TPB25/dbTPB.mdb"
    rm -f "$root/BeaCukai/TPB25/SEVRIK.JNL"
    local start end
    start=$(date +%s%N)
    "run_$kind" "$car" >"$work/out.txt" 2>&1 || { echo "$kind QUE BC23 $car failed:" >&2; cat "$work/out.txt" >&2; return 1; }
    end=$(date +%s%N)
    local status
    status=$(sqlite3 "$root/BeaCukai/TPB25/dbTPB.mdb" "select Status from TBLBC23HDR where CAR = '$car'")
    [ "$status" = 02 ] || { echo "$kind QUE BC23 $car left status '$status', not 02" >&2; return 1; }
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}

failed=0
measure() {  # kind, description[, no target]
  local kind=$1 what=$2 root=$W s l ratio
  case "$kind" in qt | linux_console) root=$L ;; esac
  s=$(median "$kind" $small "$root") && l=$(median "$kind" $large "$root") || { failed=1; return; }
  ratio=$(awk -v s="$s" -v l="$l" 'BEGIN { printf "%.2f", l / s }')
  if [ -n "${3:-}" ]; then
    printf '%-56s 10 items %6.3f s, 5,000 items %6.3f s: %4.2f times\n' "$what" "$s" "$l" "$ratio"
    return
  fi
  printf '%-56s 10 items %6.3f s, 5,000 items %6.3f s: %4.2f times (target at most 2)\n' "$what" "$s" "$l" "$ratio"
  if awk -v r="$ratio" 'BEGIN { exit !(r > 2) }'; then
    echo "  MISSED: the 5,000-item document takes more than 2 times the 10-item one" >&2
    failed=1
  fi
}

echo "QUE BC23 with frmProgress shown, median of 5 ($(basename "$win"), $(nproc) cores):"
graphics null
measure null "SEVRIK.exe under Wine, null driver"
graphics x11
measure x11 "SEVRIK.exe under Wine, X11 driver on Xvfb"
desktop on
measure desktop "SEVRIK.exe under Wine, X11 driver, Wine desktop window"
desktop off
measure qt "SEVRIK (Linux), Qt window on Xvfb"
echo "Without a window, for comparison (the document's own work: build, translator, database):"
graphics null
measure wine_console "SEVRIK.exe under Wine" floor
measure linux_console "SEVRIK (Linux)" floor
exit $failed
