// Builds the flat file of a large document from an SQLite file and, in the same run, times
// the sqlite3 command-line tool reading the same rows into a file. Prints the ratio.
//   flat_bench [google benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>

#include "db/connect.h"
#include "interface/mdlCreateFlat.h"
#include "interface/mdlMain.h"
#include "tools/workspace.h"

namespace {
namespace fs = std::filesystem;
using namespace sevrik;

constexpr int kItems = 5000;
constexpr int kCharges = 200;
const char* const kCar = "BENCH-0000000000000000001";

struct Fixture {
  std::string root, program, package;
  Fixture() {
    char tmpl[] = "/tmp/sevrik-bench-XXXXXX";
    root = ::mkdtemp(tmpl);
    program = root + "/prog";
    package = root + "/pkg";
    tools::WorkspaceOptions o;
    o.program_folder = program;
    o.package_folder = package;
    o.demo_data = false;
    tools::LayOutWorkspace(o);
    tools::SqliteFile db(program + "/dbTPB.mdb", false);
    db.Exec("BEGIN");
    db.Insert("tblData", {{"edinum", EncodeEdiNumber("TPBSVK0000123456")}});
    db.Insert("tblPartner", {{"KdKpbc", "050100"}, {"NomorEDI", "KPBC050100"}, {"namalokal", "KPPBC A"}});
    for (const char* type : {"25", "23"}) {
      const std::string t = type;
      db.Insert("TBLBC" + t + "HDR",
                {{"CAR", kCar}, {"Kdkpbc", "050100"}, {"Tujuan", "1"}, {"Bruto", 1234.5}, {"Netto", 1000.0},
                 {"tglTTD", Variant(DateTime{2026, 12, 1})}, {"Jmcont", 1}, {"Jmbrg", kItems},
                 {t == "25" ? "jnBC25" : "BC23No", "1"}});
      for (int i = 1; i <= kItems; ++i) {
        const std::string hs = std::to_string(8400000000 + i);
        tools::SqliteFile::Row dtl = {{"CAR", kCar}, {"Serial", i}, {"nohs", hs}, {"BrgUrai", "BARANG NOMOR " + std::to_string(i)},
                                      {"merk", "MERK"}, {"tipe", "TIPE"}, {"kdbrg", "B" + std::to_string(i)},
                                      {"nettoDtl", 12.5 * i}, {"Kdsat", "PCE"}, {"Jmlsat", 3.0 * i}, {"Kemasjm", i % 50},
                                      {"Kemasjn", "PK"}};
        if (t == "23") dtl.push_back({"SeriTrp", i});
        else dtl.push_back({"Satbmjm", 3.0 * i});
        db.Insert("TBLBC" + t + "DTL", dtl);
        tools::SqliteFile::Row trf = {{"CAR", kCar}, {"NoHS", hs}, {"KdTrpBm", "1"}, {"TrpBm", 7.5}, {"KdSatBm", "PCE"},
                                      {"KdTrpCuk", "1"}, {"TrpCuk", 0.0}, {"TrpPpn", 11.0}, {"TrpPbm", 0.0}};
        if (t == "23") trf.push_back({"SeriTrp", i});
        db.Insert("TBLBC" + t + "TRF", trf);
        db.Insert("TBLBC" + t + "FAS", {{"CAR", kCar}, {"Serial", i}, {"Kdfasbm", "3"}, {"Fasbm", 100.0},
                                        {"Kdfasppn", "3"}, {"Fasppn", 100.0}, {"Kdfaspph", "3"}, {"Faspph", 100.0}});
      }
      for (int i = 1; i <= kCharges; ++i)
        db.Insert("TBLBC" + t + "PGT", {{"CAR", kCar}, {"Kdbeban", 1 + i % 8}, {"KdFasil", i % 5}, {"Nilbeban", 1000.0 * i}});
    }
    db.Exec("COMMIT");
  }
  ~Fixture() { fs::remove_all(root); }
};

Fixture& TheFixture() {
  static Fixture f;
  return f;
}

// Builds the flat file of the big document with `build` ("ipdata\<file>").
template <void (*build)(Session&, const std::string&)>
void BuildFlat(benchmark::State& state, const char* file) {
  Fixture& f = TheFixture();
  auto db = ConnectDatabase(BuildConnectionString(f.program));
  ConsoleDialogs dialogs("bench", std::cin, std::cerr);
  Session s{*db, dialogs, f.program, f.package, "", LocaleInfo::Classic()};
  for (auto _ : state) build(s, kCar);
  if (fs::file_size(f.package + "/ipdata/" + file) < 100000) state.SkipWithError("flat file too small");
}
void BM_CreateFlatBC25(benchmark::State& state) { BuildFlat<CreateFlatBC25>(state, "BC25.FLT"); }
BENCHMARK(BM_CreateFlatBC25)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sqlite3 tool reading every row the build reads, into a file.
void Sqlite3Read(benchmark::State& state, const std::string& type) {
  Fixture& f = TheFixture();
  std::string sql;
  for (const char* table : {"HDR", "CON", "KMS", "DOK", "DTL", "TRF", "FAS", "PGT"})
    sql += std::string("select * from TBLBC") + type + table + " where CAR = '" + kCar + "'" +
           (std::string(table) == "DTL" ? " order by Serial" : "") + ";";
  const std::string cmd = "sqlite3 '" + f.program + "/dbTPB.mdb' \"" + sql + "\" > '" + f.root + "/sqlite3.out'";
  for (auto _ : state)
    if (std::system(cmd.c_str()) != 0) state.SkipWithError("sqlite3 failed");
}
void BM_Sqlite3ReadBC25(benchmark::State& state) { Sqlite3Read(state, "25"); }
BENCHMARK(BM_Sqlite3ReadBC25)->Unit(benchmark::kMillisecond)->UseRealTime();

// The BC 2.3 file without the translation run.
void BM_CreateFlatBC23(benchmark::State& state) { BuildFlat<BuildFlatBC23>(state, "BC23.FLT"); }
BENCHMARK(BM_CreateFlatBC23)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sqlite3ReadBC23(benchmark::State& state) { Sqlite3Read(state, "23"); }
BENCHMARK(BM_Sqlite3ReadBC23)->Unit(benchmark::kMillisecond)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration || r.aggregate_name == "mean") times[r.run_name.function_name] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const char* type : {"BC25", "BC23"}) {
    const auto build = reporter.times.find(std::string("BM_CreateFlat") + type);
    const auto read = reporter.times.find(std::string("BM_Sqlite3Read") + type);
    if (build != reporter.times.end() && read != reporter.times.end() && read->second > 0)
      std::printf("%s: build %.1f ms, sqlite3 read %.1f ms, ratio %.2f (target <= 3)\n", type, build->second,
                  read->second, build->second / read->second);
  }
  benchmark::Shutdown();
  return 0;
}
