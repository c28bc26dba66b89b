-- The tables and columns of the customs application's database that the interface reads
-- and writes. Text is UTF-8 TEXT; amounts, counts and numeric codes are INTEGER or REAL;
-- dates are TEXT "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS" in columns declared DATE or DATETIME.

CREATE TABLE tblSetting (FOLDERNUVAR TEXT, NETWORKNUVAR TEXT);
CREATE TABLE tblData (edinum TEXT);
CREATE TABLE tblPartner (KdKpbc TEXT, NomorEDI TEXT, namalokal TEXT);
CREATE TABLE tblTabel (KDTAB TEXT, KDREC TEXT, URAIAN TEXT);
CREATE TABLE tblKomLog (id INTEGER PRIMARY KEY, waktu DATETIME, keterangan TEXT);

-- BC 2.5 ------------------------------------------------------------------------------
CREATE TABLE TBLBC25HDR (
  CAR TEXT PRIMARY KEY, Kdkpbc TEXT, jnBC25 TEXT, jnbarang TEXT, kondisi TEXT, TujuanKirim TEXT,
  dari TEXT, Tujuan TEXT, TempatPenimbunan TEXT, KdKpbcTujuan TEXT, tglTTDPenerima DATE, tglTTD DATE,
  Bruto REAL, Netto REAL, ppjkno TEXT, ppjktg DATE, bamusnah TEXT, tglMusnah DATE,
  usahaID TEXT, usahaNPWP TEXT, usahaNama TEXT, usahaAlmt TEXT, kotaTTD TEXT,
  penerimaID TEXT, penerimaNPWP TEXT, penerimanama TEXT, penerimaAlmt TEXT, kotaTTDPenerima TEXT,
  ppjkID TEXT, ppjkNPWP TEXT, ppjkNama TEXT, ppjkAlmt TEXT,
  usahaStatus TEXT, penerimaStatus TEXT, penerimaNiper TEXT, ContakPerson TEXT, NoPhone TEXT,
  noFax TEXT, email TEXT, ndpbm REAL, kdVal TEXT, hargaRp REAL, hargaBBRp REAL,
  Jmcont INTEGER, Jmbrg INTEGER, snrf TEXT, Status TEXT);
CREATE TABLE TBLBC25CON (CAR TEXT, contno TEXT, contukur TEXT, contTipe TEXT);
CREATE TABLE TBLBC25KMS (CAR TEXT, jmkemas INTEGER, jnkemas TEXT, merkkemas TEXT);
CREATE TABLE TBLBC25DOK (CAR TEXT, dokkd TEXT, dokno TEXT, doktg DATE);
CREATE TABLE TBLBC25DTL (
  CAR TEXT, Serial INTEGER, nohs TEXT, penggunaanAsal TEXT, penggunaanTujuan TEXT, kdfasdtl TEXT,
  jnsBarangDtl TEXT, TujuanKirimDtl TEXT, BrgUrai TEXT, merk TEXT, tipe TEXT, spflain TEXT, kdbrg TEXT,
  BrgAsal TEXT, nettoDtl REAL, Kdsat TEXT, Jmlsat REAL, Kemasjm INTEGER, Kemasjn TEXT,
  Satbmjm REAL, Satcukjm REAL);
CREATE TABLE TBLBC25TRF (
  CAR TEXT, NoHS TEXT, KdTrpBm TEXT, TrpBm REAL, KdSatBm TEXT, KdCuk TEXT, KdTrpCuk TEXT,
  TrpCuk REAL, KdSatCuk TEXT, TrpPpn REAL, TrpPbm REAL);
CREATE TABLE TBLBC25FAS (
  CAR TEXT, Serial INTEGER, Kdfasbm TEXT, Fasbm REAL, Kdfascuk TEXT, Fascuk REAL, Kdfasppn TEXT,
  Fasppn REAL, Kdfaspbm TEXT, Faspbm REAL, Kdfaspph TEXT, Faspph REAL);
CREATE TABLE TBLBC25BB (
  CAR TEXT, Serial INTEGER, hs TEXT, seriBB TEXT, asalBB TEXT, urBrg TEXT, merk TEXT, tipe TEXT,
  spflain TEXT, kodebarang TEXT, nettoDtl REAL, jnsatuan TEXT, jmsatuan REAL, cifDtlBb REAL,
  ndpbm REAL, kdVal TEXT, HrgPenyerahanDtl REAL);
CREATE TABLE TBLBC25PGT (CAR TEXT, Kdbeban INTEGER, KdFasil INTEGER, Nilbeban REAL);

-- BC 2.3 ------------------------------------------------------------------------------
CREATE TABLE TBLBC23HDR (
  CAR TEXT PRIMARY KEY, Kdkpbc TEXT, BC23No TEXT, jnsbarang TEXT, TujuanKirim TEXT, Tujuan TEXT,
  tmptbn TEXT, pelmuat TEXT, pelbkr TEXT, peltransit TEXT, Kdkpbcawas TEXT, Kdkpbcbongkar TEXT,
  tglTTD DATE, Bruto REAL, Netto REAL, angkutno TEXT, moda TEXT, angkutnama TEXT, Angkutfl TEXT,
  doktupno TEXT, Posno TEXT, Possub TEXT, DokTupKd TEXT, PossubSub TEXT, DokTupTg DATE,
  ppjkno TEXT, ppjktg DATE, Pasoknama TEXT, Pasokalmt TEXT, Pasokneg TEXT,
  ppjkID TEXT, ppjkNPWP TEXT, ppjkNama TEXT, ppjkAlmt TEXT,
  usahaID TEXT, usahaNPWP TEXT, usahaNama TEXT, usahaAlmt TEXT, kotaTTD TEXT, KdTPB TEXT,
  namattd TEXT, usahaStatus TEXT, registrasi TEXT, apikd TEXT, apino TEXT, ContakPerson TEXT,
  NoPhone TEXT, noFax TEXT, email TEXT, ndpbm REAL, kdVal TEXT, fob REAL, freight REAL,
  asuransi REAL, KdAss TEXT, cif REAL, nilInv REAL, Jmcont INTEGER, Jmbrg INTEGER,
  snrf TEXT, Status TEXT);
CREATE TABLE TBLBC23CON (CAR TEXT, contno TEXT, contukur TEXT, contTipe TEXT);
CREATE TABLE TBLBC23KMS (CAR TEXT, jmkemas INTEGER, jnkemas TEXT, merkkemas TEXT);
CREATE TABLE TBLBC23DOK (CAR TEXT, dokkd TEXT, dokno TEXT, doktg DATE);
CREATE TABLE TBLBC23DTL (
  CAR TEXT, Serial INTEGER, nohs TEXT, penggunaan TEXT, kdfasdtl TEXT, jnsBarangDtl TEXT,
  TujuanKirimDtl TEXT, BrgUrai TEXT, merk TEXT, tipe TEXT, spflain TEXT, kdbrg TEXT, BrgAsal TEXT,
  nettoDtl REAL, Kdsat TEXT, Jmlsat REAL, Kemasjm INTEGER, Kemasjn TEXT, Dcif REAL, Dnilinv REAL,
  SeriTrp INTEGER);
CREATE TABLE TBLBC23TRF (
  CAR TEXT, NoHS TEXT, SeriTrp INTEGER, KdTrpBm TEXT, TrpBm REAL, Satbmjm REAL, KdSatBm TEXT,
  KdCuk TEXT, KdTrpCuk TEXT, TrpCuk REAL, Satcukjm REAL, KdSatCuk TEXT, TrpPpn REAL, TrpPbm REAL);
CREATE TABLE TBLBC23FAS (
  CAR TEXT, Serial INTEGER, Kdfasbm TEXT, Fasbm REAL, Kdfascuk TEXT, Fascuk REAL, Kdfasppn TEXT,
  Fasppn REAL, Kdfaspbm TEXT, Faspbm REAL, Kdfaspph TEXT, Faspph REAL);
CREATE TABLE TBLBC23PGT (CAR TEXT, Kdbeban INTEGER, KdFasil INTEGER, Nilbeban REAL);

-- BC 4.0 (listed by the browser, not converted) ----------------------------------------
CREATE TABLE TBLBC40HDR (
  CAR TEXT PRIMARY KEY, Kdkpbc TEXT, Pasoknama TEXT, Bruto REAL, Netto REAL, Jmcont INTEGER,
  Jmbrg INTEGER, snrf TEXT, Status TEXT);

CREATE INDEX ixBC25CON ON TBLBC25CON (CAR);
CREATE INDEX ixBC25KMS ON TBLBC25KMS (CAR);
CREATE INDEX ixBC25DOK ON TBLBC25DOK (CAR);
CREATE INDEX ixBC25DTL ON TBLBC25DTL (CAR, Serial);
CREATE INDEX ixBC25TRF ON TBLBC25TRF (CAR, NoHS);
CREATE INDEX ixBC25FAS ON TBLBC25FAS (CAR, Serial);
CREATE INDEX ixBC25BB ON TBLBC25BB (CAR, Serial);
CREATE INDEX ixBC25PGT ON TBLBC25PGT (CAR);
CREATE INDEX ixBC23CON ON TBLBC23CON (CAR);
CREATE INDEX ixBC23KMS ON TBLBC23KMS (CAR);
CREATE INDEX ixBC23DOK ON TBLBC23DOK (CAR);
CREATE INDEX ixBC23DTL ON TBLBC23DTL (CAR, Serial);
CREATE INDEX ixBC23TRF ON TBLBC23TRF (CAR, NoHS, SeriTrp);
CREATE INDEX ixBC23FAS ON TBLBC23FAS (CAR, Serial);
CREATE INDEX ixBC23PGT ON TBLBC23PGT (CAR);
CREATE INDEX ixPartnerKpbc ON tblPartner (KdKpbc);
CREATE INDEX ixPartnerEdi ON tblPartner (NomorEDI);
