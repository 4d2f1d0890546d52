#include <gtest/gtest.h>

#include "hotspots/hotspot_file.h"
#include "hotspots/records.h"
#include "platform/text_codec.h"
#include "shell/editor_and_game.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

using test::HotspotSpec;

FieldReader readerOf(const QString& text) { return FieldReader(encodeWindows1252(text)); }

std::vector<HotspotRecord> readAll(const QString& text, std::vector<QString>* errors = nullptr) {
  HotspotFileReader reader(readerOf(text));
  std::vector<HotspotRecord> out;
  while (!reader.atEnd()) {
    out.push_back(reader.next());
    if (errors) errors->push_back(out.back().readErrors.empty() ? QString() : out.back().readErrors.front().text());
  }
  return out;
}

TEST(HotspotFile, ReadsEveryFieldAndTheOptionalGroups) {
  HotspotSpec full;
  full.ownIndex = 4;
  full.x = 2, full.y = 3, full.w = 50, full.h = 60;
  full.showPicture = true;
  full.picture = "door.bmp";
  full.stretch = 1;
  full.cursor = "hand.cur";
  full.conditions = 1;
  full.hideIfAny = {"A", "B"};
  full.hideUnlessAll = {"C"};
  full.hasVideo = true;
  full.video = "sea.avi";
  HotspotSpec old;  // an older editor: the record ends after the lists
  old.withGifSpeed = false;
  HotspotSpec gifOnly;
  gifOnly.withVideo = false;

  const auto records = readAll(full.text() + old.text() + gifOnly.text() + full.text());
  ASSERT_EQ(records.size(), 4u);
  const HotspotRecord& r = records[0];
  EXPECT_EQ(r.OwnIndex, 4);
  EXPECT_EQ(r.AreaLeft, 30);
  EXPECT_EQ(r.AreaTop, 45);
  EXPECT_EQ(r.AreaWidth, 750);
  EXPECT_EQ(r.AreaHeight, 900);
  EXPECT_EQ(r.ShowPicture, true);
  EXPECT_EQ(r.PictureFile, "door.bmp");
  EXPECT_EQ(r.StretchPicture, 1);
  EXPECT_EQ(r.CursorFile, "hand.cur");
  EXPECT_EQ(r.HideIfAnySet, (QStringList{"A", "B"}));
  EXPECT_EQ(r.HideUnlessAllSet, (QStringList{"C"}));
  EXPECT_TRUE(r.HasGifSpeed);
  EXPECT_EQ(r.GifSpeed, 5);
  EXPECT_EQ(r.HasVideo, true);
  EXPECT_EQ(r.VideoFile, "sea.avi");
  EXPECT_EQ(r.VideoFitHotspot, 1);
  EXPECT_EQ(r.VideoVolume, 10);
  EXPECT_EQ(r.VideoRate, 0);
  EXPECT_EQ(r.VideoPlayCount, 1);

  EXPECT_FALSE(records[1].HasGifSpeed);
  EXPECT_FALSE(records[1].HasVideoFields);
  EXPECT_TRUE(records[2].HasGifSpeed);
  EXPECT_FALSE(records[2].HasVideoFields);
  EXPECT_EQ(records[3].VideoFile, "sea.avi") << "the records after short ones stay in step";
}

TEST(HotspotFile, ValuesStayAsWrittenAndTheRecordsStayInStep) {
  HotspotSpec a;
  QString damaged = a.text();
  damaged.replace("\"x\",1,", "\"x\",abc,");                                     // OwnIndex is no number
  damaged.replace(",#FALSE#,\"\",0,\"\",0\r\n", ",#FALSE#,\"\",zz,\"\",0\r\n");  // StretchPicture
  HotspotSpec b;
  b.ownIndex = 2;
  b.x = 7;
  // Extra fields a newer editor may append before the separator.
  QString extended = b.text();
  extended.replace(test::kSepText(), "\"more\",1,2\r\n" + test::kSepText());
  HotspotSpec c;
  c.ownIndex = 3;
  c.conditions = 1;
  c.hideIfAny = {"A"};
  QString badCount = c.text();
  badCount.replace("1,\"A\"", "many,\"A\"");  // a list count that is no number
  HotspotSpec d;
  d.ownIndex = 4;
  std::vector<QString> errors;
  const auto records = readAll(damaged + extended + badCount + d.text(), &errors);
  ASSERT_EQ(records.size(), 4u);
  // Junk is kept as written: whoever uses the value converts it (and raises then).
  EXPECT_EQ(errors[0], "");
  EXPECT_EQ(records[0].OwnIndex, "abc");
  EXPECT_EQ(records[0].StretchPicture, "zz");
  EXPECT_EQ(records[0].AreaLeft, 150);
  EXPECT_EQ(errors[1], "");
  EXPECT_EQ(records[1].AreaLeft, 105);
  // A list count must be read as a number to know how many names follow.
  EXPECT_EQ(errors[2], "Type mismatch");
  EXPECT_TRUE(records[2].HideIfAnySet.isEmpty());
  EXPECT_EQ(records[3].OwnIndex, 4) << "the record after the damaged one starts in its place";

  // A record cut by the end of the file ends with "Input past end of file".
  errors.clear();
  const auto cut = readAll("\"x\",1,0,0,0,0,0,0,0,0,150,150,600", &errors);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(errors[0], "Input past end of file");
  EXPECT_EQ(cut[0].AreaWidth, 600);
  // A huge list count runs into the end of the file, not past it.
  errors.clear();
  readAll("\"x\",1,0,0,0,0,0,0,0,0,1,1,1,1,0,0,\"\",0,\"\",1,30000,\"a\"", &errors);
  EXPECT_EQ(errors[0], "Input past end of file");
}

struct VisibilityFixture : ::testing::Test {
  ProjectVariables vars;
  VariablesCollection Disappear;
  bool stopped = false;

  std::vector<bool> decide(const QString& text, const QString& frame = "Room") {
    FieldReader file = readerOf(text);
    const VisibilityResult r = DecideHotspotVisibility(file, frame, Disappear, vars, stopped);
    EXPECT_FALSE(r.error.has_value());
    return r.visible;
  }
};

TEST_F(VisibilityFixture, ConditionsWithMissingVariablesAndTheValueTwo) {
  vars.Variables.Add("Set", 1);
  vars.Variables.Add("Clear", 0);
  vars.Variables.Add("Two", 2);
  auto spot = [](QStringList any, QStringList all, int enabled = 1) {
    HotspotSpec s;
    s.conditions = enabled;
    s.hideIfAny = any;
    s.hideUnlessAll = all;
    return s.text();
  };
  const auto v = decide(spot({"Missing"}, {}) +         // 1 missing: not hidden
                        spot({"Clear", "Set"}, {}) +    // 2 hidden by Set
                        spot({}, {"Two"}) +             // 3 2 is not 1: hidden
                        spot({}, {"Set", "Missing"}) +  // 4 visible
                        spot({}, {"Clear"}) +           // 5 hidden
                        spot({"Set"}, {"Clear"}, 0) +   // 6 conditions off
                        spot({"Two"}, {}));             // 7 2 is not 0: hidden
  EXPECT_EQ(v, (std::vector<bool>{true, false, false, true, false, true, false}));
}

TEST_F(VisibilityFixture, MarkersHideByIndexInTheirFrameOnly) {
  Disappear.Add("Room", 2);
  Disappear.Add("Hall", 1);
  Disappear.Add("room", 3);  // frame names compare exactly
  HotspotSpec s;
  s.withGifSpeed = false;  // short records are walked as well as long ones
  HotspotSpec t;
  const QString file = s.text() + t.text() + s.text() + t.text();
  EXPECT_EQ(decide(file), (std::vector<bool>{true, false, true, true}));
  EXPECT_EQ(decide(file, "Hall"), (std::vector<bool>{false, true, true, true}));
}

}  // namespace
}  // namespace storyloom
