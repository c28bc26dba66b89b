#include "core/runs/cancel.h"

#include "base/error.h"
#include "core/lookups/document_types.h"
#include "core/runs/pending.h"
#include "core/runs/results.h"

namespace sevrik {
namespace {

// A value placed into the translator's command line: as it is, a null adding nothing.
std::string LineValue(const Variant& v, const LocaleInfo& locale) { return v.is_null() ? "" : ToText(v, locale); }

}  // namespace

bool IsDocumentType(const std::string& type) { return FindDocumentType(type) != nullptr; }

RunOutcome CancelEdifact(const Session& session, const std::string& type, const std::string& car) {
  // The type becomes part of a table name, which no parameter can carry.
  if (!IsDocumentType(type))
    throw Error(err::kInvalidArgument, "Jenis dokumen \"" + type + "\" tidak dikenal (BC23, BC25 atau BC40).");
  TranslatorRun run(session, "TPBUNQ", false);
  std::string partner, reference;
  {
    std::unique_ptr<Recordset> rs =
        session.db.Execute("Select a.KDKPBC, a.SNRF, b.NAMALOKAL From tbl" + type +
                               "Hdr a, tblPartner b Where a.KDKPBC = b.KDKPBC And a.CAR = ?",
                           {Variant(car)});
    if (rs->Eof()) {
      run.outcome().why_not = NotStarted::NoDocument;
      return run.outcome();
    }
    reference = LineValue(rs->Field("SNRF"), session.locale);
    partner = LineValue(rs->Field("NAMALOKAL"), session.locale);
  }
  run.Journal("UNQ", type, "tbl" + type + "Hdr", car);
  run.EnterPackageFolder();
  const Translator translator = InstalledTranslator(session.package_folder, false);
  run.outcome().translator = translator;
  // A status left by an earlier cancellation must never be read as this run's.
  run.RemovePreviousResults({"STA"});
  const std::string arguments = partner + " " + type + " " + reference;
  run.Start(translator == Translator::Ranuvel ? "Ranuvel TPBUNQ.EXT " + arguments : "zul TPBUNQ.ZUL -p " + arguments);
  run.EnterProgramFolder();
  run.ReadStatus();
  // A status kept beside the program, stored nowhere or refused ends the run with its error.
  if (run.outcome().status == "0") run.Store({"tbl" + type + "Hdr", car, std::nullopt, "01"});
  run.Finish();
  return run.outcome();
}

}  // namespace sevrik
