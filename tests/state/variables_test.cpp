#include <gtest/gtest.h>

#include "../hotspots/records.h"
#include "shell/editor_and_game.h"
#include "state/variables.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

using test::RecordingBoxes;
using test::TempProject;

struct VariablesFixture : ::testing::Test {
  TempProject project;
  RecordingBoxes boxes;
  std::unique_ptr<EditorAndGame> module;
  ProjectVariables vars;

  void SetUp() override {
    project.writeGeneral();
    module = std::make_unique<EditorAndGame>(boxes, *project.userSettings);
    module->InitProject(project.root());
  }
  void load(const QString& file) {
    project.write(QStringLiteral("Config/Variables"), file);
    vars.LoadVariables(*module);
  }
};

TEST(VariableCollections, IndexKeysOrderAndErrors) {
  VariablesCollection c;
  c.Add("a", 1);
  c.Add("b", 2, "kb");
  c.Add("a", 3);  // names are not keys
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(3)->Value, 3);
  EXPECT_EQ(c.Item(QStringLiteral("kb"))->Name, "b");
  EXPECT_EQ(c.Item(QVariant(2))->Name, "b");
  EXPECT_EQ(c.Item(QVariant(QStringLiteral("kb")))->Value, 2);
  try {
    c.Add("c", 4, "kb");
    FAIL() << "a key used twice must be refused";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.code(), 457);
  }
  EXPECT_EQ(c.Count(), 3);
  EXPECT_THROW(c.Item(0), PlatformError);
  EXPECT_THROW(c.Item(4), PlatformError);
  EXPECT_THROW(c.Item(QStringLiteral("nokey")), PlatformError);

  c.Remove(QStringLiteral("kb"));
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.Item(2)->Value, 3);
  EXPECT_THROW(c.Item(QStringLiteral("kb")), PlatformError);
  c.Add("d", 5, "kb");  // the key is free again
  QList<int> order;
  for (const auto& e : c) order << e->Value;
  EXPECT_EQ(order, (QList<int>{1, 3, 5}));
  c.Remove(1);
  EXPECT_EQ(c.Item(1)->Value, 3);
  EXPECT_EQ(c.Item(QStringLiteral("kb"))->Value, 5);

  // An element keeps living for whoever holds it after removal.
  auto held = c.Item(1);
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(held->Value, 3);
}

TEST_F(VariablesFixture, LoadsBothKindsWithDuplicatesAndCase) {
  load("\"whatever\"\r\n\"Door\"\r\n\"door\"\r\n\"Door\"\r\n\"Count\"\r\n\"***\"\r\n\"Note\"\r\n\"Door\"\r\n");
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_EQ(vars.Variables.Count(), 4);
  ASSERT_EQ(vars.VariablesVariant.Count(), 2);
  EXPECT_EQ(vars.VariablesVariant.Item(1)->Value.type(), vbs::Type::Integer);
  EXPECT_EQ(vars.VariablesVariant.Item(1)->Value.asInteger(), 0);

  vars.ChangeVariableValue("Door", 1);
  EXPECT_EQ(vars.Variables.Item(1)->Value, 1);
  EXPECT_EQ(vars.Variables.Item(2)->Value, 0) << "door is another variable";
  EXPECT_EQ(vars.Variables.Item(3)->Value, 1) << "every match changes";
  EXPECT_EQ(vars.GetVariableValue("door"), 0);
  EXPECT_EQ(vars.GetVariableValue("Missing"), -32000);
  EXPECT_EQ(vars.GetVariableValue("DOOR"), -32000);

  vars.ChangeVariableValue("Count", 5);
  vars.ChangeVariableValue("Count", -1);
  EXPECT_EQ(vars.GetVariableValue("Count"), 4);
  vars.ChangeVariableValue("door", -1);
  EXPECT_EQ(vars.GetVariableValue("door"), 1);
  vars.ChangeVariableValue("Nobody", 3);  // nothing to change, no error

  // The integer "Door" and the variant "Door" are separate.
  vars.ChangeVariableVariantValue("Door", vbs::Value(u"open"));
  EXPECT_EQ(vars.VariablesVariant.Item(2)->Value.asString(), u"open");
  EXPECT_EQ(vars.GetVariableValue("Door"), 1);

  // Loading again starts from zero.
  vars.LoadVariables(*module);
  EXPECT_EQ(vars.Variables.Count(), 4);
  EXPECT_EQ(vars.GetVariableValue("Count"), 0);
}

TEST_F(VariablesFixture, EmptyListAndMissingFile) {
  load("0\r\n\"***\"\r\n");
  EXPECT_EQ(vars.Variables.Count(), 0);
  EXPECT_EQ(vars.VariablesVariant.Count(), 0);
  EXPECT_EQ(vars.GetVariableValue("anything"), -32000);

  vars.Variables.Add("left", 3);
  QFile::remove(project.root() + "/Config/Variables");
  vars.LoadVariables(*module);
  EXPECT_EQ(vars.Variables.Count(), 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(boxes.shown[0].text.endsWith(" Unable to load variables list."));
  EXPECT_EQ(boxes.shown[0].style, msg::Critical);
}

TEST_F(VariablesFixture, StatusListingPagesEvery25Lines) {
  QString file = "\"x\"\r\n";
  for (int k = 1; k <= 30; ++k) file += QStringLiteral("\"V%1\"\r\n").arg(k);
  file += "\"***\"\r\n";
  load(file);
  vars.ChangeVariableValue("V2", 7);
  vars.mnuViewVariables_Click(*module);
  ASSERT_EQ(boxes.shown.size(), 2u);
  for (const auto& b : boxes.shown) {
    EXPECT_EQ(b.title, "Variables Status");
    EXPECT_EQ(b.style, msg::Information);
  }
  const QStringList first = boxes.shown[0].text.split("\r\n");
  ASSERT_EQ(first.size(), 26);  // lines 0-24 and the end of the last one
  EXPECT_TRUE(first[0].startsWith("This window allows you to view the value of all the project variables."));
  EXPECT_TRUE(first[0].contains("\"VARIABLE_NAME = NEW_VALUE\" (without the quotes)."));
  EXPECT_EQ(first[3], "-------------------------- INTEGER VARIABLES: --------------------------             ");
  EXPECT_EQ(first[5], "V1 = 0");
  EXPECT_EQ(first[6], "V2 = 7");
  EXPECT_EQ(first[24], "V20 = 0");

  const QString second = boxes.shown[1].text;
  EXPECT_TRUE(second.startsWith(QString(52, ' ') + "\r\nV21 = 0\r\n"));
  EXPECT_TRUE(
      second.endsWith("V30 = 0\r\n\r\n-------------------------- VARIANT VARIABLES: "
                      "--------------------------             \r\n\r\n\r\n"));
}

TEST_F(VariablesFixture, StatusListingShowsVariantValues) {
  load("\"x\",\"***\",\"Name\",\"Flag\",\"Nothing\"\r\n");
  vars.ChangeVariableVariantValue("Name", vbs::Value(u"Ann"));
  vars.ChangeVariableVariantValue("Flag", vbs::Value(true));
  vars.ChangeVariableVariantValue("Nothing", vbs::Value::null());
  vars.mnuViewVariables_Click(*module);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(boxes.shown[0].text.contains("\r\nName = Ann\r\nFlag = True\r\nNothing = \r\n"));
}

}  // namespace
}  // namespace storyloom
