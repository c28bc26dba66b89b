#include "interface/mdlBatalEDIFACT.h"

#include "interface/mdlINI.h"
#include "interface/pending.h"
#include "interface/results.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace sevrik {
namespace {

// A value placed into the translator's command line: as it is, a null adding nothing.
std::string LineValue(const Variant& v, const LocaleInfo& locale) { return v.is_null() ? "" : ToText(v, locale); }

}  // namespace

bool IsDocumentType(const std::string& type) { return type == "BC23" || type == "BC25" || type == "BC40"; }

bool CancelEdifact(const Session& session, const std::string& type, const std::string& car) {
  // The type becomes part of a table name, which no parameter can carry.
  if (!IsDocumentType(type))
    throw Error(err::kInvalidArgument, "Jenis dokumen \"" + type + "\" tidak dikenal (BC23, BC25 atau BC40).");
  std::string partner, reference;
  {
    std::unique_ptr<Recordset> rs =
        session.db.Execute("Select a.KDKPBC, a.SNRF, b.NAMALOKAL From tbl" + type +
                               "Hdr a, tblPartner b Where a.KDKPBC = b.KDKPBC And a.CAR = ?",
                           {Variant(car)});
    if (rs->Eof()) return false;
    reference = LineValue(rs->Field("SNRF"), session.locale);
    partner = LineValue(rs->Field("NAMALOKAL"), session.locale);
  }
  const std::string& f = session.package_folder;
  EnterPackageFolder(session);
  const bool ranuvel = !FindProgramFile(f + "\\ranuvel.exe").empty();
  // A status left by an earlier cancellation must never be read as this run's.
  const std::string status_path = f + "\\ipdata\\TPBUNQ.STA";
  try {
    if (FileExists(status_path)) RemoveFile(status_path);
  } catch (const Error&) {
    try {
      EnterProgramFolder(session);
    } catch (const Error&) {  // the removal's error is the one to report
    }
    throw;
  }
  const std::string arguments = partner + " " + type + " " + reference;
  ShellAndWait(ranuvel ? "Ranuvel TPBUNQ.EXT " + arguments : "zul TPBUNQ.ZUL -p " + arguments);
  EnterProgramFolder(session);
  if (ReadStatusFile(session, "TPBUNQ.STA") == "0")
    StoreDocumentStatus(session, {"tbl" + type + "Hdr", car, std::nullopt, "01"});
  return true;
}

}  // namespace sevrik
