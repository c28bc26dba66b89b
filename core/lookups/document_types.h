// The document types the system knows, in one table: every place that names a type reads it.
#pragma once

#include <array>
#include <string_view>

namespace sevrik {

// How Create EDIFACT builds a type's document.
enum class FlatRoute {
  None,      // not built: the window refuses it
  Queued,    // the flat file goes to the translator, which queues it (BC 2.3)
  FileOnly,  // the flat file is the whole result (BC 2.5)
};

struct DocumentType {
  const char* token;          // on the command line and in table names: "BC23"
  const char* display;        // in cbDok and the frame's caption: "BC 2.3"
  const char* header_table;   // where the browser searches: "TBLBC23HDR"
  const char* status_table;   // as SEVRIK.PND names the header table: "tblBC23Hdr"
  const char* partner;        // the partner's name column the list shows and searches
  FlatRoute route;
};

// In cbDok's order.
inline constexpr std::array<DocumentType, 3> kDocumentTypeTable = {{
    {"BC23", "BC 2.3", "TBLBC23HDR", "tblBC23Hdr", "Pasoknama", FlatRoute::Queued},
    {"BC25", "BC 2.5", "TBLBC25HDR", "tblBC25Hdr", "penerimanama", FlatRoute::FileOnly},
    {"BC40", "BC 4.0", "TBLBC40HDR", "tblBC40Hdr", "Pasoknama", FlatRoute::None},
}};

// The type of a command-line token ("BC23"), exactly as written; null for none.
constexpr const DocumentType* FindDocumentType(std::string_view token) {
  for (const DocumentType& type : kDocumentTypeTable)
    if (token == type.token) return &type;
  return nullptr;
}

// Whether a command line is a BC 2.3 queueing, which shows its build's progress: "QUE BC23 …".
constexpr bool ShowsBuildProgress(std::string_view argument_text) {
  return argument_text.substr(0, 9) == "QUE BC23 ";
}

}  // namespace sevrik
