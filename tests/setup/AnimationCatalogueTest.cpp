#include "setup/AnimationCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/TypeDefs.h"

namespace {

class AnimationCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildAnimationCatalogue(); }
  void TearDown() override { BuildAnimationCatalogue(); }  // undo any edits
};

TEST_F(AnimationCatalogueTest, EntriesAndLengths) {
  struct Case {
    int index;
    const char* name;
    f32 length;
  };
  const Case cases[] = {
      {1, "breathing", 1839}, {2, "breathingwithball", 1920}, {3, "run", 1920},
      {6, "walk", 1900}, {31, "trydive", 8719}, {38, "divetackledoneononefallforward", 1920},
      {112, "punt", 9838}, {125, "onehandraisedstart", 860}, {150, "jog", 100},
      {162, "boxkick", 100}, {175, "walkwithball", 100}, {176, "chargedown", 100},
      {180, "divetackledfallforwardtry", 1920}, {181, "pelko", 100}, {275, "srimmagesetting1", 100},
      {292, "qbpass1", 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnimNames[c.index].View(), c.name) << c.index;
    EXPECT_EQ(AnimLengths[c.index], c.length) << c.index;
  }
  for (int i = 181; i <= 292; ++i) EXPECT_EQ(AnimLengths[i], 100.0f) << i;
  for (int i = 293; i <= 500; ++i) {
    EXPECT_TRUE(AnimNames[i].View().empty()) << i;
    EXPECT_EQ(AnimLengths[i], 1920.0f) << i;
  }
}

TEST_F(AnimationCatalogueTest, EveryNamedEntryIsFoundAtItsOwnIndex) {
  std::set<std::string> seen;
  for (int i = 1; i <= 292; ++i) {
    const std::string_view name = AnimNames[i].View();
    ASSERT_FALSE(name.empty()) << i;
    EXPECT_TRUE(seen.insert(std::string(name)).second) << "duplicate " << name;
    EXPECT_EQ(AnimNameToIndex(name), i) << name;
    EXPECT_EQ(AnimIndexToName(static_cast<i16>(i)), name);
  }
}

TEST_F(AnimationCatalogueTest, NamesNotInTheCatalogueGiveOne) {
  const std::string tooLong(31, 'a');
  const std::string_view withNul("run\0", 4);
  for (std::string_view name : {std::string_view("bomb"), std::string_view("Breathing"), std::string_view("breathin"),
                                std::string_view("breathingx"), std::string_view(" run"), withNul,
                                std::string_view(tooLong)})
    EXPECT_EQ(AnimNameToIndex(name), 1) << name;
  // A 30-character name is kept whole; one more character never matches.
  EXPECT_EQ(AnimNameToIndex("divetackledoneononefallforward"), 38);
  EXPECT_EQ(AnimNameToIndex("divetackledoneononefallforwardx"), 1);
  EXPECT_EQ(AnimNameToIndex(""), 293);  // the first empty entry
}

// A player's current animation holds catalogue names whole, up to 30
// characters, so the replay and the viewer find their indices; a longer
// name is cut to its first 30.
TEST_F(AnimationCatalogueTest, CurrentAnimKeepsNamesOfUpTo30Characters) {
  static TPlayer P;
  struct Case {
    const char* name;
    const char* kept;
    i32 index;
  };
  const Case cases[] = {{"divetackledoneononefallforward", "divetackledoneononefallforward", 38},
                        {"divetackledoneononefallforwardx", "divetackledoneononefallforward", 38},
                        {"trydive", "trydive", 31}};
  for (const Case& c : cases) {
    P.currentAnim.Assign(c.name);
    EXPECT_EQ(P.currentAnim.View(), c.kept) << c.name;
    EXPECT_EQ(AnimNameToIndex(P.currentAnim.View()), c.index) << c.name;
  }
}

TEST_F(AnimationCatalogueTest, IndexToNameOutsideTheTableIsEmpty) {
  for (i16 index : {i16{0}, i16{-1}, i16{501}, i16{400}, i16{500}, i16{-32768}, i16{32767}})
    EXPECT_TRUE(AnimIndexToName(index).empty()) << index;
}

TEST_F(AnimationCatalogueTest, DuplicatesAndEditedEntriesResolveToTheLowestIndex) {
  AnimNames[10].Assign("walk");  // also entry 6
  AnimNames[400].Assign("run");  // also entry 3
  AnimNames[2].Assign("pelko");  // also entry 181, now found lower
  AnimNames[250].Assign("");     // an empty entry before 293
  AnimNames[293].Assign("late");
  IndexAnimationNames();
  EXPECT_EQ(AnimNameToIndex("walk"), 6);
  EXPECT_EQ(AnimNameToIndex("run"), 3);
  EXPECT_EQ(AnimNameToIndex("pelko"), 2);
  EXPECT_EQ(AnimNameToIndex("breathingwithball"), 1);  // no longer in the table
  EXPECT_EQ(AnimNameToIndex(""), 250);
  EXPECT_EQ(AnimNameToIndex("late"), 293);
  EXPECT_EQ(AnimNameToIndex("blockexit9"), 249);  // untouched neighbours still found
}

TEST_F(AnimationCatalogueTest, BuildingAgainRestoresEveryEntry) {
  AnimNames[5].Assign("scribble");
  AnimLengths[5] = 1.0f;
  AnimNames[450].Assign("scribble2");
  AnimLengths[450] = 2.0f;
  BuildAnimationCatalogue();
  EXPECT_EQ(AnimNames[5].View(), "runwithballfront");
  EXPECT_EQ(AnimLengths[5], 1920.0f);
  EXPECT_TRUE(AnimNames[450].View().empty());
  EXPECT_EQ(AnimLengths[450], 1920.0f);
  EXPECT_EQ(AnimNameToIndex("scribble"), 1);
  EXPECT_EQ(AnimNameToIndex("runwithballfront"), 5);
}

}  // namespace
