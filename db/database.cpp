#include "db/database.h"

#include "base/error.h"

namespace sevrik {
namespace {

class ClosedRecordset : public Recordset {
 public:
  [[noreturn]] static void Fail() { throw Error(err::kObjectClosed); }
  bool Eof() const override { Fail(); }
  void MoveFirst() override { Fail(); }
  void MoveNext() override { Fail(); }
  long RecordCount() const override { Fail(); }
  const Variant& Field(std::string_view) const override { Fail(); }
  void SetField(std::string_view, Variant) override { Fail(); }
  void Update() override { Fail(); }
};

}  // namespace

void Recordset::SetField(std::string_view, Variant) {
  throw Error(err::kActionNotSupported, "The recordset cannot be updated.");
}

void Recordset::Update() { throw Error(err::kActionNotSupported, "The recordset cannot be updated."); }

std::unique_ptr<Recordset> Recordset::Closed() { return std::make_unique<ClosedRecordset>(); }

}  // namespace sevrik
