#!/usr/bin/env bash
# The main job on the embedded demo database: lays out a workspace under demo/ (drive C: is
# demo/drive_c, the program in C:\BeaCukai\TPB25, the translator package in C:\EDI), installs
# SEVRIK there with the updater, and runs SEVRIK in it: queue, cancel, communicate, delete the
# communication logs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build >/dev/null
root=$PWD/demo
rm -rf "$root"
export SEVRIK_DRIVE_C=$root/drive_c
export SEVRIK_DIALOGS=console
prog=$SEVRIK_DRIVE_C/BeaCukai/TPB25
pkg=$SEVRIK_DRIVE_C/EDI
build/tools/sevrik-workspace --program "$prog" --package "$pkg" --setting 'C:\EDI' \
  --standin build/tools/package
cp build/shim/ZUL "$prog/"
echo "== Workspace: program folder $prog, package folder $pkg (FOLDERNUVAR = C:\\EDI)"
delivery=$root/delivery
mkdir -p "$delivery"
cp build/programs/SEVRIK "build/updater/Ranuvel Plug-In" "$delivery/"
echo "== Ranuvel Plug-In installs the delivered SEVRIK into C:\\BeaCukai\\TPB25"
"$delivery/Ranuvel Plug-In" 2>&1
echo "== SEVRIK without arguments"
"$prog/SEVRIK" 2>&1 || true
echo "== Demo documents"
sqlite3 -header -column "$prog/dbTPB.mdb" \
  "select 'BC 2.3' as Jenis, CAR, Pasoknama as Mitra, Status from TBLBC23HDR
   union all select 'BC 2.5', CAR, penerimanama, Status from TBLBC25HDR"
car25=05010000020220261202000003
echo "== SEVRIK QUE BC25 $car25"
(cd "$root" && "$prog/SEVRIK" QUE BC25 "$car25" 2>&1)
flat=$pkg/ipdata/BC25.FLT
echo "== $flat (C:\\EDI\\ipdata\\BC25.FLT): $(wc -l <"$flat") records, $(wc -c <"$flat") bytes; it begins:"
head -n 12 "$flat" | tr -d '\r' | sed 's/$/|/'
echo "   ... and ends:"
tail -n 4 "$flat" | tr -d '\r' | sed 's/$/|/'
if [ -s "$prog/SEVRIK.LOG" ]; then echo "== Run log:"; cat "$prog/SEVRIK.LOG"; fi

car23=05010000020220261201000001
echo
echo "== SEVRIK QUE BC23 $car23 (flat file, stand-in translator, status back into the database)"
(cd "$root" && "$prog/SEVRIK" QUE BC23 "$car23" 2>&1)
flat=$pkg/ipdata/BC23.FLT
echo "== $flat: $(wc -l <"$flat") records; it begins:"
head -n 4 "$flat" | tr -d '\r' | sed 's/$/|/'
echo "== Translator status C:\EDI\ipdata\TPBQUE.STA:"
tr -d '\r' <"$pkg/ipdata/TPBQUE.STA" | sed 's/^/   /'
echo "== Queue log C:\EDI\ipdata\TPBQUE.LOG:"
tr -d '\r' <"$pkg/ipdata/TPBQUE.LOG" | sed 's/^/   /'
echo "== The document in dbTPB.mdb now:"
sqlite3 -header -column "$prog/dbTPB.mdb" \
  "select h.CAR, h.Status, t.URAIAN as Keterangan, h.snrf as Referensi from TBLBC23HDR h
   left join tblTabel t on t.KDTAB = '01' and t.KDREC = h.Status"
if [ -s "$prog/SEVRIK.LOG" ]; then echo "== Run log:"; cat "$prog/SEVRIK.LOG"; fi

echo
echo "== SEVRIK UNQ BC23 $car23 (the translator cancels the queued submission)"
(cd "$root" && "$prog/SEVRIK" UNQ BC23 "$car23" 2>&1)
echo "== Translator status C:\EDI\ipdata\TPBUNQ.STA:"
tr -d '\r' <"$pkg/ipdata/TPBUNQ.STA" | sed 's/^/   /'
echo "== The document in dbTPB.mdb now:"
sqlite3 -header -column "$prog/dbTPB.mdb" \
  "select h.CAR, h.Status, t.URAIAN as Keterangan, h.snrf as Referensi from TBLBC23HDR h
   left join tblTabel t on t.KDTAB = '01' and t.KDREC = h.Status where h.CAR = '$car23'"
if [ -s "$prog/SEVRIK.LOG" ]; then echo "== Run log:"; cat "$prog/SEVRIK.LOG"; fi

car23b=05010000020220261203000002
echo
echo "== SEVRIK QUE BC23 $car23b, then SEVRIK COM (the communication run shows its command line first)"
(cd "$root" && "$prog/SEVRIK" QUE BC23 "$car23b" 2>&1)
(cd "$root" && "$prog/SEVRIK" COM 2>&1)
echo "== Communication log C:\EDI\ipdata\TPBCOM.LOG:"
tr -d '\r' <"$pkg/ipdata/TPBCOM.LOG" | sed 's/^/   /'
echo "== Sent (C:\EDI\outbox):"
ls "$pkg/outbox" | sed 's/^/   /'
echo "== Every translator call (C:\EDI\calls.log):"
sed 's/^/   /' "$pkg/calls.log"
echo "== The run journal (C:\BeaCukai\TPB25\SEVRIK.JNL): each run written down before its translator starts"
echo "   (each record's frame J|<length>|<crc32c>| taken off)"
tr -d '\r' <"$prog/SEVRIK.JNL" | sed -E 's/^J\|[0-9]+\|[0-9a-f]{8}\|//; s/^/   /'

echo
echo "== SEVRIK logdel, answered with y"
echo "   before: $(sqlite3 "$prog/dbTPB.mdb" 'select count(*) from tblKomLog') rows in tblKomLog;" \
  "LogKom holds: $(ls "$prog/LogKom" | tr '\n' ' ')"
(cd "$root" && echo y | "$prog/SEVRIK" logdel 2>&1)
echo
echo "   after: $(sqlite3 "$prog/dbTPB.mdb" 'select count(*) from tblKomLog') rows in tblKomLog;" \
  "LogKom holds: $(ls "$prog/LogKom" | tr '\n' ' ')"
