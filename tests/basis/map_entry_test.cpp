#include "basis/map_entry.h"

#include <gtest/gtest.h>

#include "basis/file.h"
#include "basis/integer_value.h"
#include "basis/string_value.h"
#include "test_util.h"

using testutil::le32;
using testutil::str;

namespace {

TEST(MapEntryTest, StoresValueFirstThenKeyWithFlags) {
  testutil::TempDir dir;
  TMapEntry entry(std::make_unique<TString>("k"), std::make_unique<TInteger>(7));
  entry.store(dir.file("e.bin"));
  std::string block =
      le32(1) + str("TInteger") + le32(4) + le32(7) + le32(1) + str("TString") + le32(5) + str("k");
  EXPECT_EQ(testutil::readFile(dir.file("e.bin")), le32(static_cast<int64_t>(block.size())) + block);

  TMapEntry back;
  back.load(dir.file("e.bin"));
  EXPECT_EQ(back.getKey()->toString(), "k");
  EXPECT_EQ(back.getValue()->toString(), "7");
}

TEST(MapEntryTest, NonPersistentPartIsStoredAsZeroFlag) {
  testutil::TempDir dir;
  TMapEntry entry(std::make_unique<TString>("k"), std::make_unique<TMappedObject>());
  entry.store(dir.file("e.bin"));
  std::string block = le32(0) + le32(1) + str("TString") + le32(5) + str("k");
  EXPECT_EQ(testutil::readFile(dir.file("e.bin")), le32(static_cast<int64_t>(block.size())) + block);
  TMapEntry back;
  back.load(dir.file("e.bin"));
  EXPECT_EQ(back.getValue(), nullptr);
}

TEST(MapEntryTest, EqualityAndHashFollowTheKeyOnly) {
  TMapEntry a(std::make_unique<TString>("k"), std::make_unique<TString>("1"));
  TMapEntry b(std::make_unique<TString>("k"), std::make_unique<TString>("2"));
  TMapEntry c(std::make_unique<TString>("j"), std::make_unique<TString>("1"));
  EXPECT_TRUE(a.equals(&b));
  EXPECT_FALSE(a.equals(&c));
  EXPECT_EQ(a.hashCode(), TString("k").hashCode());
  TMapEntry empty;
  EXPECT_FALSE(empty.equals(&a));
  EXPECT_EQ(empty.hashCode(), 0);
}

TEST(MapEntryTest, TextShowsOnlyThePartsThatAreSet) {
  TMapEntry full(std::make_unique<TString>("k"), std::make_unique<TString>("v"));
  EXPECT_EQ(full.toString(), "key.toString: k value.toString: v");
  TMapEntry empty;
  EXPECT_EQ(empty.toString(), "key.toString: value.toString: ");
}

}  // namespace
