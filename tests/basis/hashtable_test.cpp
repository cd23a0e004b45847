#include "basis/hashtable.h"

#include <gtest/gtest.h>

#include <vector>

#include "basis/array_list.h"
#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/hash_set.h"
#include "basis/integer_value.h"
#include "basis/map_entry.h"
#include "basis/string_collection.h"
#include "basis/string_table.h"
#include "basis/string_value.h"
#include "expect_message.h"
#include "test_util.h"

using testutil::le32;
using testutil::str;

namespace {

std::vector<std::string> textsOf(const TArrayList& list) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < list.size(); ++i) texts.push_back(list.get(i)->toString());
  return texts;
}

// A key whose hash code cannot be computed, so that a table refuses it.
class TUnhashableKey : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TUnhashableKey)
  int32_t hashCode() const override { throw IllegalStateException("TUnhashableKey.hashCode: refused."); }
};

class HashtableTest : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(HashtableTest, PutGetAndReplace) {
  THashtable table(true);
  auto* v1 = new TString("v1");
  EXPECT_EQ(table.put(new TString("k"), v1), nullptr);
  TString key("k");
  EXPECT_EQ(table.get(&key), v1);

  std::unique_ptr<TMappedObject> old = table.put(new TString("k"), new TString("v2"));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->toString(), "v1");  // a copy: v1 itself was freed with its pair
  EXPECT_EQ(table.get(&key)->toString(), "v2");
  EXPECT_EQ(table.size(), 1);
}

TEST_F(HashtableTest, PuttingTheStoredKeyOrValueAgainKeepsThem) {
  THashtable table(true);
  auto* key = new TString("k");
  auto* value = new TString("v");
  table.put(key, value);
  EXPECT_EQ(table.put(key, new TString("w"))->toString(), "v");
  EXPECT_EQ(table.get(key)->toString(), "w");
  TMappedObject* w = table.get(key);
  EXPECT_EQ(table.put(new TString("k"), w)->toString(), "w");
  TString probe("k");
  EXPECT_EQ(table.get(&probe), w);
}

TEST_F(HashtableTest, MissingKeyIsReported) {
  THashtable table(true);
  table.put(new TString("a"), new TString("1"));
  TString missing("zz");
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { table.get(&missing); }),
            "THashtable.get: Key: zz not found.");
  EXPECT_FALSE(table.containsKey(&missing));
  EXPECT_EQ(table.remove(&missing), nullptr);
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { table.put(nullptr, &missing); }),
            "THashtable: Key and value mustn't equals nil.");
}

TEST_F(HashtableTest, RemoveReturnsCopyOfTheValue) {
  THashtable table(true);
  table.put(new TString("a"), new TInteger(1));
  TString key("a");
  std::unique_ptr<TMappedObject> removed = table.remove(&key);
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->toString(), "1");
  EXPECT_TRUE(table.isEmpty());
}

TEST_F(HashtableTest, ReputMovesTheValueWithoutCopy) {
  THashtable table(true);
  auto* value = new TString("v");
  table.put(new TString("old"), value);
  TString oldKey("old");
  table.reput(&oldKey, new TString("new"));
  TString newKey("new");
  EXPECT_FALSE(table.containsKey(&oldKey));
  EXPECT_EQ(table.get(&newKey), value);
  EXPECT_TRUE(table.getEntries().getOwnsObjects());

  EXPECT_EQ(messageOf<InvalidKeyException>([&] { table.reput(&oldKey, &newKey); }),
            "THashtable.reput: Key old does not exists in map.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { table.reput(nullptr, &newKey); }),
            "THashtable.reput: Old or new key not assigned.");
}

TEST_F(HashtableTest, FailedReputLeavesTheNewKeyWithTheCallerAndThePairInPlace) {
  THashtable table(true);
  table.put(new TString("a"), new TString("1"));
  TString oldKey("a");
  TUnhashableKey newKey;
  EXPECT_EQ(messageOf<IllegalStateException>([&] { table.reput(&oldKey, &newKey); }),
            "TUnhashableKey.hashCode: refused.");
  EXPECT_EQ(table.size(), 1);
  EXPECT_EQ(table.get(&oldKey)->toString(), "1");
}

TEST_F(HashtableTest, ReputOntoAnExistingKeyKeepsThatPair) {
  TStringtable table;
  table.put("a", new TString("1"));
  table.put("b", new TString("2"));
  table.reput("a", "b");
  EXPECT_EQ(table.size(), 1);
  EXPECT_EQ(table.get("b")->toString(), "2");
}

TEST_F(HashtableTest, NonOwningTableLeavesKeysAndValuesToTheCaller) {
  TString k1("k1"), k2("k2"), v1("v1"), v2("v2"), k1b("k1"), k3("k3");
  {
    THashtable table;
    table.put(&k1, &v1);
    table.put(&k2, &v2);
    std::unique_ptr<TMappedObject> old = table.put(&k1b, &v2);
    EXPECT_EQ(old->toString(), "v1");
    table.reput(&k2, &k3);
    EXPECT_EQ(table.remove(&k3)->toString(), "v2");
    table.put(&k2, &v1);
    table.clear();
    table.put(&k1, &v1);
  }
  // Every object is intact; the sanitizer build also sees the entries freed.
  EXPECT_EQ(k1.getValue() + k2.getValue() + v1.getValue() + v2.getValue(), "k1k2v1v2");
}

TEST_F(HashtableTest, LookupsUseTheKeyItself) {
  // Identity-hashed keys are found when the very key object is given.
  TMappedObject key;
  TString value("v");
  THashtable table;
  table.put(&key, &value);
  EXPECT_EQ(table.get(&key), &value);
  EXPECT_TRUE(table.containsKey(&key));
}

TEST_F(HashtableTest, ContainsValueAndPutAll) {
  TStringtable source;
  source.put("a", new TString("1"));
  source.put("b", new TString("2"));
  TString two("2");
  EXPECT_TRUE(source.containsValue(&two));
  TString three("3");
  EXPECT_FALSE(source.containsValue(&three));

  THashtable target;  // shares the very objects of source
  target.putAll(source);
  EXPECT_EQ(target.size(), 2);
  EXPECT_EQ(target.get(source.keys()->get(0)), source.values()->get(0));
  EXPECT_TRUE(target.equals(&source));
  EXPECT_EQ(target.hashCode(), source.hashCode());
}

TEST_F(HashtableTest, StoredLoadedAndStoredAgainGivesTheSameBytes) {
  THashtable table(true);
  for (int i = 0; i < 25; ++i) table.put(new TString("key" + std::to_string(i * 7)), new TInteger(i));
  table.store(dir.file("t1.bin"));

  THashtable back(true);
  back.load(dir.file("t1.bin"));
  EXPECT_EQ(back.size(), 25);
  EXPECT_EQ(textsOf(*back.keys()), textsOf(*table.keys()));
  back.store(dir.file("t2.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("t2.bin")), testutil::readFile(dir.file("t1.bin")));
}

TEST_F(HashtableTest, StoredFormIsTheEntrySet) {
  TStringtable table;
  table.put("k", new TString("v"));
  table.store(dir.file("t.bin"));
  std::string entry =
      le32(1) + str("TString") + le32(5) + str("v") + le32(1) + str("TString") + le32(5) + str("k");
  std::string list = le32(1) + str("TMapEntry") + le32(static_cast<int64_t>(entry.size())) + entry;
  std::string set = str("TArrayList") + le32(static_cast<int64_t>(list.size())) + list;
  std::string block = str("THashSet") + le32(static_cast<int64_t>(set.size())) + set;
  EXPECT_EQ(testutil::readFile(dir.file("t.bin")), le32(static_cast<int64_t>(block.size())) + block);
}

TEST_F(HashtableTest, LoadedEntriesTakeTheTablesOwnership) {
  TStringtable source;
  source.put("a", new TString("1"));
  source.store(dir.file("t.bin"));

  THashtable sharing;
  sharing.load(dir.file("t.bin"));
  EXPECT_FALSE(sharing.getOwnsObjects());
  EXPECT_FALSE(sharing.getEntries().getOwnsObjects());
  // The loaded pair belongs to nobody until the caller takes it; here the table does.
  sharing.setOwnsObjects(true);
  EXPECT_TRUE(sharing.getEntries().getOwnsObjects());

  TStringtable owning;
  owning.put("old", new TString("x"));
  owning.load(dir.file("t.bin"));
  EXPECT_TRUE(owning.getEntries().getOwnsObjects());
  EXPECT_FALSE(owning.containsKey("old"));
  EXPECT_EQ(owning.get("a")->toString(), "1");
}

TEST_F(HashtableTest, StoredSetOfNonEntriesIsRefused) {
  std::string list = le32(1) + str("TString") + le32(5) + str("x");
  std::string set = str("TArrayList") + le32(static_cast<int64_t>(list.size())) + list;
  std::string block = str("THashSet") + le32(static_cast<int64_t>(set.size())) + set;
  testutil::writeFile(dir.file("t.bin"), le32(static_cast<int64_t>(block.size())) + block);
  TStringtable table;
  table.put("kept", new TString("1"));
  EXPECT_EQ(messageOf<IOException>([&] { table.load(dir.file("t.bin")); }),
            "THashtable.readFrom: Illegal entry: TString.");
  EXPECT_TRUE(table.containsKey("kept"));
}

TEST_F(HashtableTest, CloneOfOwningTableCopiesEverything) {
  TStringtable table;
  table.put("a", new TString("1"));
  std::unique_ptr<TMappedObject> copy = table.clone();
  auto* t = dynamic_cast<TStringtable*>(copy.get());
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->getOwnsObjects());
  EXPECT_NE(t->get("a"), table.get("a"));
  EXPECT_TRUE(t->equals(&table));
}

TEST_F(HashtableTest, StringtableOperations) {
  TStringtable table;
  EXPECT_TRUE(table.getOwnsObjects());
  table.put("b", new TString("2"));
  table.put("a", new TString("1"));
  EXPECT_EQ(table.put("a", new TString("one"))->toString(), "1");
  EXPECT_TRUE(table.containsKey("a"));
  EXPECT_EQ(table.keyStrings()->getText(), "a\r\nb\r\n");
  table.reput("b", "c");
  EXPECT_EQ(table.get("c")->toString(), "2");
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { table.get("b"); }), "THashtable.get: Key: b not found.");
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { table.reput("b", "d"); }),
            "THashtable.reput: Key b does not exists in map.");
  EXPECT_EQ(table.remove("c")->toString(), "2");
  EXPECT_EQ(table.size(), 1);
}

TEST_F(HashtableTest, RegistryMadeTablesOwnOnlyWhenStringKeyed) {
  std::unique_ptr<TMappedObject> plain = ClassRegistry::create("THashtable");
  EXPECT_FALSE(dynamic_cast<THashtable*>(plain.get())->getOwnsObjects());
  std::unique_ptr<TMappedObject> strings = ClassRegistry::create("TStringtable");
  EXPECT_TRUE(dynamic_cast<THashtable*>(strings.get())->getOwnsObjects());
}

}  // namespace
