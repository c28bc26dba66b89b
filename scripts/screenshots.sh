#!/usr/bin/env bash
# Starts SEVRIK's windows under a virtual display (Xvfb) on the demo workspace and saves a
# screenshot of each, for a person to look at: screenshots/
#   1-browser-empty.png      the document browser as it opens
#   2-browser-listing.png    after Browse: the demo's BC 2.3 documents
#   3-confirmation.png       the question before Create EDIFACT
#   4-progress.png           the progress window while a large BC 2.3 document is built
#   5-outcome.png            the outcome box after the create
#   6-log-viewer.png         the log viewer showing the communication log of a COM run (the
#                            refused create before it leaves no queue log)
#   7-check.png              Periksa dokumen (F4) of the second document, which has two faults
#   8-history.png            Riwayat dokumen (F3) of the first document after a second create that
#                            the translator refused
#   9-failed.png             Hanya yang gagal (the row's menu, Shift+F10): that document
# and the same windows of SEVRIK.exe under Wine (its X11 driver on the same display), driven by
# the keyboard, at 100 % and at 150 % (144 DPI):
#   windows-100-1-browser-empty.png ... windows-100-9-failed.png
#   windows-150-1-browser-empty.png ... windows-150-9-failed.png
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
need=()
for p in xvfb xdotool imagemagick x11-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq "${need[@]}" >/dev/null
fi
scripts/build.sh build >/dev/null

out=$PWD/screenshots
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$out"
export SEVRIK_DRIVE_C=$work/drive_c
prog=$SEVRIK_DRIVE_C/BeaCukai/TPB25
pkg=$SEVRIK_DRIVE_C/EDI
build/tools/sevrik-workspace --program "$prog" --package "$pkg" --setting 'C:\EDI' --standin build/tools/package
cp build/programs/SEVRIK build/shim/ZUL "$prog/"
# The first BC 2.3 document grown to 40,000 items, so that its build lasts long enough to be seen.
car=05010000020220261201000001
sqlite3 "$prog/dbTPB.mdb" "
  create temp table one as select * from TBLBC23DTL where CAR = '$car' and Serial = 1;
  with recursive n(i) as (select 4 union all select i + 1 from n where i < 40000)
  insert into TBLBC23DTL select one.* from one, n;
  update TBLBC23DTL set Serial = rowid where CAR = '$car' and Serial = 1 and rowid > 3;"
# The second document with two faults, for the check.
car2=05010000020220261203000002
faults="update TBLBC23DTL set BrgUrai = printf('%-96s', 'SUKU CADANG MESIN TENUN JET AIR, LENGKAP'), merk = 'TOYODA INDUSTRIES' where CAR = '$car2' and Serial = 2;"
sqlite3 "$prog/dbTPB.mdb" "$faults"

display=:77
Xvfb $display -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
unset SEVRIK_DIALOGS QT_QPA_PLATFORM
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

wait_window() {  # a visible window whose name matches, its id; at most $2 tenths of a second (10 s)
  for _ in $(seq "${2:-100}"); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window '$1'" >&2
  return 1
}
shot() { sleep 0.4; import -window "$1" "$out/$2"; echo "== $out/$2"; }
# A key for a window: without a window manager the focus has to be put there first.
key() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool key "$2"; }
# A click at twips of the browser's client area (15 twips a pixel at 96 DPI).
click() { xdotool mousemove --window "$1" $(($2 / 15)) $(($3 / 15)) click 1; }

(cd "$prog" && ./SEVRIK list) &
list_pid=$!
w=$(wait_window "EDI Interface for TPB")
shot "$w" 1-browser-empty.png
click "$w" $((120 + 8250 + 800)) $((90 + 330 + 170))       # Browse ..
shot "$w" 2-browser-listing.png
click "$w" $((120 + 90 + 1200)) $((90 + 765 + 345))        # the first document of the list
click "$w" $((7380 + 735)) $((5520 + 195))                 # Create EDIFACT
q=$(wait_window "Perhatian")
shot "$q" 3-confirmation.png
key "$q" Return                                            # Yes
p=$(wait_window "frmProgress")
sleep 0.3
import -window "$p" "$out/4-progress.png"; echo "== $out/4-progress.png"
o=$(wait_window "Perhatian" 600)
shot "$o" 5-outcome.png
key "$o" Return
click "$w" $((120 + 90 + 1200)) $((90 + 765 + 345))        # the first document again
key "$w" Down                                              # the second
key "$w" F4                                                # Periksa dokumen
c=$(wait_window "Periksa dokumen")
shot "$c" 7-check.png
key "$c" Escape
# A second create of the first document that the translator refuses, for its history.
printf 'result=7\n' > "$pkg/standin.ctl"
click "$w" $((120 + 90 + 1200)) $((90 + 765 + 345))        # the first document
click "$w" $((7380 + 735)) $((5520 + 195))                 # Create EDIFACT
key "$(wait_window "Perhatian")" Return                    # Yes
wait_window "frmProgress" >/dev/null
o=$(wait_window "Perhatian" 600)
key "$o" Return
rm -f "$pkg/standin.ctl"
click "$w" $((120 + 90 + 1200)) $((90 + 765 + 345))        # the first document
key "$w" F3                                                # Riwayat dokumen
h=$(wait_window "Riwayat dokumen")
shot "$h" 8-history.png
key "$h" Escape
key "$w" shift+F10                                         # the row's menu: Hanya yang gagal
sleep 0.3
xdotool key Down Down Return
shot "$w" 9-failed.png
click "$w" $((9000 + 555)) $((5505 + 195))                 # Close
wait $list_pid

(cd "$prog" && SEVRIK_DIALOGS=console ./SEVRIK COM >/dev/null 2>&1) || true
(cd "$prog" && ./SEVRIK log) &
log_pid=$!
v=$(wait_window "View Log")
xdotool mousemove --window "$v" $(((120 + 180 + 600) / 15)) $(((120 + 570 + 100) / 15)) click 1
shot "$v" 6-log-viewer.png
key "$v" alt+c
wait $log_pid

# SEVRIK.exe under Wine: a prefix of its own whose windows are X windows on the display, a
# workspace on its drive T: reached through odbc32 and the SQLite ODBC driver of the tree's
# width. The 32-bit programs where the machine runs them, else the 64-bit ones
# (SEVRIK_WINDOWS_ARCH chooses).
scripts/setup-windows.sh >/dev/null
arch=${SEVRIK_WINDOWS_ARCH:-}
[ -n "$arch" ] || { if scripts/runs-32bit.sh; then arch=i686; else arch=x86_64; fi; }
win=build-win32
[ "$arch" = i686 ] || win=build-win64
SEVRIK_WINDOWS_ARCH=$arch scripts/build-windows.sh $win -DSEVRIK_HOST_BUILD="$PWD/build" >/dev/null
. tests/windows/wine.sh
load_wine_env $win
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all
wine wineboot -i >/dev/null 2>&1
W=$WINEPREFIX/drive_t
mkdir -p "$W"
ln -sfn ../drive_t "$WINEPREFIX/dosdevices/t:"
build/tools/sevrik-workspace --program "$W/BeaCukai/TPB25" --package "$W/EDI" --setting 'T:\EDI' \
  --standin build/tools/package >/dev/null
cp $win/programs/SEVRIK.exe $win/shim/ZUL.exe "$W/BeaCukai/TPB25/"
cp $win/tools/package/ranuvel.exe "$W/EDI/"
# 20,000 items, so that the build lasts long enough to be seen.
tests/windows/big_document.sh "$W/BeaCukai/TPB25/dbTPB.mdb" "$car" 20000
sqlite3 "$W/BeaCukai/TPB25/dbTPB.mdb" "$faults"
cp "$W/BeaCukai/TPB25/dbTPB.mdb" "$W/BeaCukai/TPB25/dbTPB.orig"
export SEVRIK_DATABASE="Driver=$SEVRIK_WINE_ODBC_DRIVER;Database=$W/BeaCukai/TPB25/dbTPB.mdb"
keys() { xdotool windowfocus --sync "$1" 2>/dev/null || true; shift; for k in "$@"; do xdotool key "$k"; sleep 0.2; done; }
for scale in 100 150; do
  dpi=$((96 * scale / 100))
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  wineserver -w
  cp "$W/BeaCukai/TPB25/dbTPB.orig" "$W/BeaCukai/TPB25/dbTPB.mdb"
  rm -f "$W/BeaCukai/TPB25/SEVRIK.JNL"                     # each scale's history its own
  n=windows-$scale
  wine 'T:\BeaCukai\TPB25\SEVRIK.exe' list &
  list_pid=$!
  w=$(wait_window "EDI Interface for TPB")
  shot "$w" $n-1-browser-empty.png
  keys "$w" Tab Tab Return                                 # Enter in the search text: Browse
  shot "$w" $n-2-browser-listing.png
  keys "$w" Tab Tab Tab Tab Return                         # the list's first row, then Create EDIFACT
  q=$(wait_window "Perhatian")
  shot "$q" $n-3-confirmation.png
  keys "$q" Return                                         # Yes
  p=$(wait_window "frmProgress")
  sleep 0.3
  import -window "$p" "$out/$n-4-progress.png"; echo "== $out/$n-4-progress.png"
  o=$(wait_window "Perhatian" 1200) || { echo "no outcome box" >&2; exit 1; }
  shot "$o" $n-5-outcome.png
  keys "$o" Return
  sleep 0.5
  keys "$w" shift+Tab shift+Tab Down F4                     # the second row, Periksa dokumen
  c=$(wait_window "Periksa dokumen")
  shot "$c" $n-7-check.png
  keys "$c" Escape
  sleep 0.3
  # A second create of the first document that the translator refuses, for its history.
  printf 'result=7\r\n' > "$W/EDI/standin.ctl"
  keys "$w" Up Tab Tab Return                              # the first row, Create EDIFACT
  keys "$(wait_window "Perhatian")" Return                 # Yes
  wait_window "frmProgress" >/dev/null
  o=$(wait_window "Perhatian" 1200) || { echo "no outcome box" >&2; exit 1; }
  keys "$o" Return
  rm -f "$W/EDI/standin.ctl"
  sleep 0.5
  keys "$w" F3                                             # Riwayat dokumen
  h=$(wait_window "Riwayat dokumen")
  shot "$h" $n-8-history.png
  keys "$h" Escape
  sleep 0.3
  keys "$w" shift+Tab shift+Tab shift+F10 Down Down Down Return  # the list, its menu: Hanya yang gagal
  shot "$w" $n-9-failed.png
  keys "$w" alt+F4
  wait $list_pid || true
  wine 'T:\BeaCukai\TPB25\SEVRIK.exe' COM &                # a communication run, for its log
  com_pid=$!
  keys "$(wait_window '^SEVRIK$')" Return                  # its box with the command line
  wait $com_pid || true
  wine 'T:\BeaCukai\TPB25\SEVRIK.exe' log &
  log_pid=$!
  v=$(wait_window "View Log")
  keys "$v" Down                                           # the first file, by the keyboard
  shot "$v" $n-6-log-viewer.png
  keys "$v" alt+F4
  wait $log_pid || true
done
wineserver -k || true
