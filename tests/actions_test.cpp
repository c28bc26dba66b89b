// The browser's actions without a window: each asks and tells through scripted message boxes,
// runs the stand-in package, and decides its outcome from what the run returned.
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/forms/actions.h"
#include "platform/fs.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

const std::string kCar = tools::kDemoBC23Car;
const std::string kCar25 = tools::kDemoBC25Car;

// The fixture's workspace, with the texts of the boxes shown, the question first.
class World : public test::WorkspaceSession {
 public:
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
};

class Actions : public ::testing::Test, public World {};

TEST(ActionOutcomes, CreateAsksThenReportsItsOwnOutcome) {
  struct Case {
    const char* name;
    const char* control;  // the stand-in's forced outcome, or none
    MsgAnswer answer;
    bool browse_again;
    const char* outcome;  // the second box's beginning; none when only the question shows
    bool queued;
  };
  const Case cases[] = {
      {"yes, queued", nullptr, MsgAnswer::Yes, true, " berhasil!", true},
      {"no: nothing runs", nullptr, MsgAnswer::No, false, nullptr, false},
      {"the translator refuses", "result=204\n", MsgAnswer::Yes, true, " gagal!\r\n", false},
      {"the translator writes nothing", "silent\n", MsgAnswer::Yes, true, " gagal!\r\nLihat SEVRIK.log: kesalahan 53", false},
      {"the translator's 0 names no reference", "log=missing\n", MsgAnswer::Yes, true,
       " gagal!\r\nTranslator menjawab 0, tetapi log antrean (ipdata\\TPBQUE.LOG) tidak ada", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    auto& ws = w.ws;
    auto& dialogs = w.dialogs;
    const auto State = [&](const std::string& car) { return w.State(car); };
    if (c.control) test::WriteFile(ws.package + "/standin.ctl", c.control);
    const std::string before = State(kCar);
    dialogs.answers = {c.answer};
    EXPECT_EQ(DocumentActions(*w.session).Create("BC 2.3", kCar), c.browse_again);
    const std::vector<std::string> texts = w.Texts();
    ASSERT_GE(texts.size(), 1u);
    EXPECT_EQ(texts[0], "Akan membentuk EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar);
    if (!c.outcome) {
      EXPECT_EQ(texts.size(), 1u);
      EXPECT_EQ(w.Calls(), "");
    } else {
      ASSERT_EQ(texts.size(), 2u);
      EXPECT_TRUE(texts[1].starts_with("CAR = " + kCar + c.outcome)) << texts[1];
    }
    if (c.queued) EXPECT_TRUE(State(kCar).ends_with("/02")) << State(kCar);
    else EXPECT_EQ(State(kCar), before);
  }
}

TEST_F(Actions, Bc25IsJudgedByItsOwnBuildAndBc40HasNoBuilder) {
  // An earlier queueing's success must never be reported for a build that starts no translator.
  test::WriteFile(ws.package + "/ipdata/TPBQUE.STA", "0\r\nSUCCESS\r\n");
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(DocumentActions(*session).Create("BC 2.5", kCar25));
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[1], "CAR = " + kCar25 + " berhasil!");

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(DocumentActions(*session).Create("BC 2.5", "no such document"));
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[1], "CAR = no such document gagal!");

  dialogs.boxes.clear();
  EXPECT_FALSE(DocumentActions(*session).Create("BC 4.0", kCar));
  EXPECT_EQ(Texts(), std::vector<std::string>{"Dokumen BC40 tidak dapat dibentuk EDIFACT."});
  EXPECT_FALSE(DocumentActions(*session).Create("BC 2.3", ""));  // no document selected: nothing asked
  EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(Actions, CancelReportsTheTranslatorsAnswerOrWhyNothingRan) {
  dialogs.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
  DocumentActions actions(*session);
  ASSERT_TRUE(actions.Create("BC 2.3", kCar));
  ASSERT_TRUE(State(kCar).ends_with("/02"));
  dialogs.boxes.clear();
  EXPECT_TRUE(actions.Cancel("BC 2.3", kCar));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Akan membatalkan EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar,
                                               "CAR = " + kCar + " berhasil!"}));
  EXPECT_TRUE(State(kCar).ends_with("/01"));

  // Cancelled already: the translator answers with its own code and reason.
  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(actions.Cancel("BC 2.3", kCar));
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_TRUE(Texts()[1].starts_with("CAR = " + kCar + " gagal!\r\n")) << Texts()[1];

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::No};
  const std::string calls = Calls();
  EXPECT_FALSE(actions.Cancel("BC 2.3", kCar));
  EXPECT_EQ(Calls(), calls);

  sql->Exec("delete from tblPartner");
  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(actions.Cancel("BC 2.3", kCar));
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[1], "CAR = " + kCar + " gagal!\r\n"
                        "Dokumen atau mitranya (tblPartner) tidak ditemukan; translator tidak dijalankan.");
  EXPECT_EQ(Calls(), calls);
}

TEST_F(Actions, CommunicateShowsTheCommandLineThenRuns) {
  DocumentActions(*session).Communicate();
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0], "Ranuvel \"" + ws.package + "\\TPBCOM.ext\" \"Leased Line\"");
  EXPECT_NE(Calls().find("TPBCOM"), std::string::npos) << Calls();
}

}  // namespace
}  // namespace sevrik
