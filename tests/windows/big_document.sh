#!/usr/bin/env bash
# Gives a BC 2.3 document of a workspace's database as many items as asked, each with its tariff
# and facility rows, for the window tests and the benchmarks:
#   big_document.sh <dbTPB.mdb (SQLite)> <CAR> <items>
set -euo pipefail
db=$1
car=$2
items=$3
each="WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < $items)"
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
UPDATE TBLBC23HDR SET Jmbrg = $items WHERE CAR = '$car';
COMMIT;"
