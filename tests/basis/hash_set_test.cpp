#include "basis/hash_set.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "basis/array_list.h"
#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/integer_value.h"
#include "basis/string_set.h"
#include "basis/string_value.h"
#include "expect_message.h"
#include "test_util.h"

using testutil::block;
using testutil::le32;
using testutil::object;
using testutil::str;

namespace {

std::vector<int32_t> integersOf(const THashSet& set) {
  std::vector<int32_t> values;
  std::unique_ptr<TArrayList> list = set.toList();
  for (int32_t i = 0; i < list->size(); ++i)
    values.push_back(dynamic_cast<TInteger*>(list->get(i))->getValue());
  return values;
}

std::vector<std::string> stringsOf(const THashSet& set) {
  std::vector<std::string> values;
  std::unique_ptr<TArrayList> list = set.toList();
  for (int32_t i = 0; i < list->size(); ++i) values.push_back(list->get(i)->toString());
  return values;
}

// A stored number that counts its live instances; a negative one has no hash
// code, so a set fails while it takes it.
class TCountedNumber : public TPObject {
 public:
  VOSKO_CLASS_NAME(TCountedNumber)
  static inline int live = 0;
  int32_t value = 0;
  TCountedNumber() { ++live; }
  ~TCountedNumber() override { --live; }
  int32_t hashCode() const override {
    if (value < 0) throw IllegalStateException("TCountedNumber.hashCode: negative.");
    return value;
  }
  bool equals(const TMappedObject* obj) const override {
    auto* other = dynamic_cast<const TCountedNumber*>(obj);
    return other != nullptr && other->value == value;
  }
  void readFrom(TFile& file) override { value = file.readInt(); }
  void writeTo(TFile& file) override { file.writeInt(value); }
};

class HashSetTest : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(HashSetTest, SixteenElementsFitTwentyBucketsSeventeenNeedForty) {
  THashSet set(true);
  for (int32_t i = 0; i < 16; ++i) set.add(new TInteger(i));
  EXPECT_EQ(set.bucketCount(), 20);
  EXPECT_EQ(set.getCapacity(), 20);
  set.add(new TInteger(16));
  EXPECT_EQ(set.bucketCount(), 40);
  EXPECT_EQ(set.getCapacity(), 40);
  EXPECT_EQ(set.size(), 17);
}

TEST_F(HashSetTest, IterationIsBucketOrderThenInsertionOrder) {
  THashSet set(true);
  for (int32_t v : {25, 5, 45, 3, 24}) set.add(new TInteger(v));
  EXPECT_EQ(integersOf(set), (std::vector<int32_t>{3, 24, 25, 5, 45}));
}

TEST_F(HashSetTest, RehashKeepsTheOrderWithinEachNewBucket) {
  THashSet set(true);
  // All in bucket 0 of 20; the 17th add splits them into buckets 0 and 20 of 40.
  for (int32_t i = 0; i < 17; ++i) set.add(new TInteger(i * 20));
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < 17; i += 2) expected.push_back(i * 20);
  for (int32_t i = 1; i < 17; i += 2) expected.push_back(i * 20);
  EXPECT_EQ(integersOf(set), expected);
}

TEST_F(HashSetTest, SmallestHashCodeFindsItsBucket) {
  THashSet set(true);
  set.add(new TInteger(INT32_MIN));
  set.add(new TInteger(-8));
  TInteger probe(INT32_MIN);
  EXPECT_TRUE(set.contains(&probe));
  // |INT32_MIN| mod 20 = 8, the bucket of -8 and 8.
  EXPECT_EQ(integersOf(set), (std::vector<int32_t>{INT32_MIN, -8}));
  EXPECT_TRUE(set.remove(&probe));
  EXPECT_EQ(set.size(), 1);
}

TEST_F(HashSetTest, GivenCapacityTakesEffectAtTheNextGrowth) {
  THashSet set(100, true, 0.75);
  EXPECT_EQ(set.bucketCount(), 20);
  for (int32_t i = 0; i < 76; ++i) set.add(new TInteger(i));
  EXPECT_EQ(set.bucketCount(), 20);
  set.add(new TInteger(76));
  EXPECT_EQ(set.bucketCount(), 200);
}

TEST_F(HashSetTest, IllegalSettingsAreRefused) {
  EXPECT_EQ(messageOf<IllegalArgumentException>([] { THashSet s(20, false, 0.05); }),
            "THashSet: The load factor must be a double between 0.1 and 1.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([] { THashSet s(20, false, 1.5); }),
            "THashSet: The load factor must be a double between 0.1 and 1.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([] { THashSet s(0, false, 0.75); }),
            "THashSet: The capacity must be bigger then 1.");
  THashSet set;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { set.add(nullptr); }),
            "THashSet.add: Given object is nil.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { set.get(nullptr); }), "THashSet: Given object is nil.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { set.remove(nullptr); }),
            "THashSet: Given object is nil.");
}

TEST_F(HashSetTest, DuplicateStaysWithCallerUnlessFreed) {
  THashSet set(true);
  EXPECT_TRUE(set.add(new TString("a")));
  TString again("a");
  EXPECT_FALSE(set.add(&again));
  EXPECT_FALSE(set.addOrFree(new TString("a"), true));  // freed by the set
  EXPECT_EQ(set.size(), 1);
  // Offering the stored element itself never frees it.
  TMappedObject* stored = set.get(&again);
  EXPECT_FALSE(set.addOrFree(stored, true));
  EXPECT_EQ(set.get(&again)->toString(), "a");
}

TEST_F(HashSetTest, RemoveFreesOnlyWhenOwning) {
  TString a("a");
  THashSet sharing;
  sharing.add(&a);
  EXPECT_TRUE(sharing.remove(&a));
  EXPECT_EQ(a.getValue(), "a");

  THashSet owning(true);
  owning.add(new TString("b"));
  TString probe("b");
  EXPECT_TRUE(owning.remove(&probe));
  EXPECT_FALSE(owning.remove(&probe));
  EXPECT_TRUE(owning.isEmpty());
}

TEST_F(HashSetTest, ClearKeepsTheGrownBucketCount) {
  THashSet set(true);
  for (int32_t i = 0; i < 17; ++i) set.add(new TInteger(i));
  set.clear();
  EXPECT_TRUE(set.isEmpty());
  EXPECT_EQ(set.bucketCount(), 40);
}

TEST_F(HashSetTest, EqualsMeansOtherIsSubset) {
  THashSet big(true);
  THashSet small(true);
  for (int32_t v : {1, 2, 3}) big.add(new TInteger(v));
  for (int32_t v : {1, 2}) small.add(new TInteger(v));
  EXPECT_TRUE(big.equals(&small));
  EXPECT_FALSE(small.equals(&big));
  TInteger notASet(1);
  EXPECT_FALSE(big.equals(&notASet));
  EXPECT_FALSE(big.equals(nullptr));
  EXPECT_TRUE(big.containsAll(small));
  EXPECT_FALSE(small.containsAll(big));
}

TEST_F(HashSetTest, HashCodeIsTheWrappingSumOfElementHashes) {
  THashSet set(true);
  set.add(new TInteger(INT32_MAX));
  set.add(new TInteger(2));
  EXPECT_EQ(set.hashCode(), INT32_MIN + 1);
}

TEST_F(HashSetTest, StoredFormIsTheListOfElements) {
  TStringSet set;
  set.add("b");
  set.add("a");
  set.store(dir.file("s.bin"));
  const std::string list = le32(2) + object("TString", str("a")) + object("TString", str("b"));
  EXPECT_EQ(testutil::readFile(dir.file("s.bin")), block(object("TArrayList", list)));

  TStringSet back;
  back.load(dir.file("s.bin"));
  EXPECT_EQ(stringsOf(back), (std::vector<std::string>{"a", "b"}));
  back.store(dir.file("s2.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("s2.bin")), testutil::readFile(dir.file("s.bin")));
}

TEST_F(HashSetTest, StoredDuplicatesAreFreedOnLoad) {
  const std::string list = le32(2) + object("TString", str("x")) + object("TString", str("x"));
  testutil::writeFile(dir.file("d.bin"), block(object("TArrayList", list)));
  TStringSet set;
  set.load(dir.file("d.bin"));
  EXPECT_EQ(set.size(), 1);
}

TEST_F(HashSetTest, ElementsLeftWhenLoadingFailsAreFreed) {
  ClassRegistry::registerClass<TCountedNumber>();
  std::string list = le32(4);
  for (int32_t v : {1, 1, -1, 2}) list += object("TCountedNumber", le32(v));
  testutil::writeFile(dir.file("n.bin"), block(object("TArrayList", list)));
  {
    THashSet set(true);
    EXPECT_EQ(messageOf<IllegalStateException>([&] { set.load(dir.file("n.bin")); }),
              "TCountedNumber.hashCode: negative.");
    EXPECT_EQ(set.size(), 1);
    EXPECT_EQ(TCountedNumber::live, 1);
  }
  EXPECT_EQ(TCountedNumber::live, 0);
}

TEST_F(HashSetTest, FailedGrowthKeepsEveryElementInItsBucket) {
  {
    THashSet set(true);
    std::vector<TCountedNumber*> numbers;
    for (int32_t i = 0; i < 17; ++i) {
      numbers.push_back(new TCountedNumber());
      numbers.back()->value = i;
    }
    for (int32_t i = 0; i < 16; ++i) set.add(numbers[i]);
    // A stored element that can no longer say its hash code stops the growth
    // that the 17th add needs.
    numbers[7]->value = -7;
    EXPECT_EQ(messageOf<IllegalStateException>([&] { set.add(numbers[16]); }),
              "TCountedNumber.hashCode: negative.");
    delete numbers[16];
    EXPECT_EQ(set.size(), 16);
    EXPECT_EQ(set.bucketCount(), 20);
    EXPECT_EQ(set.getCapacity(), 20);
    numbers[7]->value = 7;
    EXPECT_EQ(set.toList()->size(), 16);
    EXPECT_TRUE(set.contains(numbers[15]));
  }
  EXPECT_EQ(TCountedNumber::live, 0);
}

TEST_F(HashSetTest, StoredObjectOtherThanListIsRefused) {
  testutil::writeFile(dir.file("o.bin"), block(object("TString", str("x"))));
  THashSet set;
  EXPECT_EQ(messageOf<IOException>([&] { set.load(dir.file("o.bin")); }),
            "THashSet.readFrom: Illegal object: TString.");
}

TEST_F(HashSetTest, CloneCopiesOwnedElementsAndSharesOthers) {
  TStringSet owning;
  owning.add("x");
  std::unique_ptr<TMappedObject> copy = owning.clone();
  auto* set = dynamic_cast<TStringSet*>(copy.get());
  ASSERT_NE(set, nullptr);
  EXPECT_TRUE(set->getOwnsObjects());
  EXPECT_TRUE(set->contains("x"));
  EXPECT_NE(set->toList()->get(0), owning.toList()->get(0));

  TInteger one(1);
  THashSet sharing(50, false, 0.5);
  sharing.add(&one);
  auto shared = cloneAs<THashSet>(sharing);
  EXPECT_EQ(shared->getCapacity(), 50);
  EXPECT_EQ(shared->getLoadFactor(), 0.5);
  EXPECT_EQ(shared->toList()->get(0), &one);
}

}  // namespace
