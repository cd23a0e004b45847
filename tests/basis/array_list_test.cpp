#include "basis/array_list.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/integer_value.h"
#include "basis/string_value.h"
#include "basis/text_file.h"
#include "expect_message.h"
#include "test_util.h"

using testutil::block;
using testutil::hex;
using testutil::le32;
using testutil::object;
using testutil::str;

namespace {

// A list that admits strings only, as the model's lists admit their own elements.
class TOnlyStrings : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TOnlyStrings)
  using TArrayList::add;
  int32_t add(TMappedObject* obj) override {
    if (dynamic_cast<TString*>(obj) == nullptr)
      throw IllegalArgumentException("TOnlyStrings.add: no string.");
    return TArrayList::add(obj);
  }
};

// Counts its live instances, so tests see what a list frees.
class TCounted : public TPObject {
 public:
  VOSKO_CLASS_NAME(TCounted)
  static inline int live = 0;
  TCounted() { ++live; }
  ~TCounted() override { --live; }
};

const char* const kWorkedExample =
    "1A 00 00 00 01 00 00 00 07 00 00 00 54 53 74 72 69 6E 67 07 00 00 00 03 00 00 00 61 62 63";

class ArrayListTest : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(ArrayListTest, WorkedExampleIsThirtyBytesAndReadsBack) {
  TArrayList list(true);
  list.add(new TString("abc"));
  list.store(dir.file("l.bin"));
  std::string bytes = testutil::readFile(dir.file("l.bin"));
  EXPECT_EQ(bytes.size(), 30u);
  EXPECT_EQ(bytes, hex(kWorkedExample));

  TArrayList back(true);
  back.load(dir.file("l.bin"));
  ASSERT_EQ(back.size(), 1);
  auto* s = dynamic_cast<TString*>(back.get(0));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->getValue(), "abc");
}

TEST_F(ArrayListTest, EmptyListBlockHoldsOnlyTheCount) {
  TArrayList list;
  list.store(dir.file("e.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("e.bin")), le32(4) + le32(0));
}

TEST_F(ArrayListTest, LoadingReplacesAndKeepsOwnership) {
  testutil::writeFile(dir.file("l.bin"), hex(kWorkedExample));
  TArrayList list(true);
  list.add(new TCounted());
  list.add(new TCounted());
  list.load(dir.file("l.bin"));
  EXPECT_EQ(TCounted::live, 0);  // the old elements were freed by the owning list
  EXPECT_TRUE(list.getOwnsObjects());
  EXPECT_EQ(list.size(), 1);
}

TEST_F(ArrayListTest, CountBeyondTheDataFailsWithShortRead) {
  // Count 2 with one element, and a count near 2^31 with none: both end at the block's end.
  for (int32_t count : {2, 0x7FFFFFFF}) {
    const std::string content = count == 2 ? le32(count) + object("TString", str("abc")) : le32(count);
    testutil::writeFile(dir.file("t.bin"), block(content));
    TArrayList list;  // not owning: what was read must not be lost
    std::string pos = std::to_string(content.size());
    EXPECT_EQ(messageOf<IOException>([&] { list.load(dir.file("t.bin")); }),
              "TFile.readTPObject: (IOException) TFile: Read-Buffer too small or too large, file corrupt: " +
                  pos + "@buffer.");
    EXPECT_EQ(list.size(), 0);
  }
}

TEST_F(ArrayListTest, ElementRefusedByAddIsFreedOnLoad) {
  TArrayList mixed(true);
  mixed.add(new TString("a"));
  mixed.add(new TInteger(1));
  mixed.store(dir.file("m.bin"));
  TOnlyStrings strings;
  strings.setOwnsObjects(true);
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { strings.load(dir.file("m.bin")); }),
            "TOnlyStrings.add: no string.");
  EXPECT_EQ(strings.size(), 1);
}

TEST_F(ArrayListTest, AppendBypassesTheCheckOfAdd) {
  TOnlyStrings strings;
  strings.setOwnsObjects(true);
  TInteger refused(1);
  EXPECT_THROW(strings.add(&refused), IllegalArgumentException);
  EXPECT_EQ(strings.append(new TInteger(2)), 0);
  EXPECT_EQ(strings.size(), 1);
}

TEST_F(ArrayListTest, HandedOverElementRefusedByAddIsFreed) {
  TOnlyStrings strings;
  strings.setOwnsObjects(true);
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { strings.add(std::make_unique<TCounted>()); }),
            "TOnlyStrings.add: no string.");
  EXPECT_EQ(TCounted::live, 0);
  EXPECT_EQ(strings.add(std::make_unique<TString>("a")), 0);
}

TEST_F(ArrayListTest, NilAndOutOfRangeAreRefused) {
  TArrayList list;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { list.add(nullptr); }),
            "TArrayList.add: Object is nil.");
  EXPECT_EQ(messageOf<EListError>([&] { list.get(0); }),
            "Listenindex \xFC"
            "berschreitet das Maximum (0)");
  TString a("a");
  list.add(&a);
  EXPECT_EQ(messageOf<EListError>([&] { list.get(-1); }),
            "Listenindex \xFC"
            "berschreitet das Maximum (-1)");
  EXPECT_EQ(messageOf<EListError>([&] { list.remove(1); }),
            "Listenindex \xFC"
            "berschreitet das Maximum (1)");
}

TEST_F(ArrayListTest, RemoveByObjectUsesIdentityAndFreesWhenOwning) {
  TArrayList list(true);
  auto* a = new TString("a");
  list.add(a);
  TString equal("a");
  EXPECT_FALSE(list.remove(&equal));
  EXPECT_EQ(list.size(), 1);
  EXPECT_TRUE(list.remove(a));  // freed here; the sanitizer build sees a leak otherwise
  EXPECT_EQ(list.size(), 0);
}

TEST_F(ArrayListTest, NonOwningListLeavesElementsToTheCaller) {
  TCounted a;
  TCounted b;
  {
    TArrayList list;
    list.add(&a);
    list.add(&b);
    list.remove(0);
    list.clear();
    list.add(&a);
  }
  EXPECT_EQ(TCounted::live, 2);
}

TEST_F(ArrayListTest, OwningListFreesOnRemoveClearAndDestruction) {
  {
    TArrayList list(true);
    for (int i = 0; i < 4; ++i) list.add(new TCounted());
    list.remove(1);
    EXPECT_EQ(TCounted::live, 3);
    list.clear();
    EXPECT_EQ(TCounted::live, 0);
    list.add(new TCounted());
  }
  EXPECT_EQ(TCounted::live, 0);
}

TEST_F(ArrayListTest, AddAllOfItselfAppendsEachElementOnce) {
  TString a("a");
  TString b("b");
  TArrayList list;
  list.add(&a);
  list.add(&b);
  list.addAll(list);
  ASSERT_EQ(list.size(), 4);
  EXPECT_EQ(list.get(2), &a);
  EXPECT_EQ(list.get(3), &b);
}

TEST_F(ArrayListTest, CloneCopiesOwnedElementsAndSharesOthers) {
  TArrayList owning(true);
  owning.add(new TString("x"));
  auto copy = cloneAs<TArrayList>(owning);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->getOwnsObjects());
  EXPECT_NE(copy->get(0), owning.get(0));
  EXPECT_TRUE(copy->get(0)->equals(owning.get(0)));

  TString y("y");
  TArrayList sharing;
  sharing.add(&y);
  auto shared = cloneAs<TArrayList>(sharing);
  EXPECT_FALSE(shared->getOwnsObjects());
  EXPECT_EQ(shared->get(0), &y);
}

TEST_F(ArrayListTest, NonPersistentElementsAreNotStored) {
  TMappedObject plain;
  TString s("s");
  TArrayList list;
  list.add(&plain);
  list.add(&s);
  list.store(dir.file("p.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("p.bin")), block(le32(1) + object("TString", str("s"))));
}

TEST_F(ArrayListTest, PrintWritesNameElementsAndEmptyLine) {
  TArrayList list(true);
  list.add(new TString("abc"));
  list.add(new TInteger(5));
  list.print(dir.file("p.txt"));
  EXPECT_EQ(testutil::readFile(dir.file("p.txt")), "TArrayList\r\nabc\r\n5\r\n\r\n");
}

TEST_F(ArrayListTest, XmlFormsAreNotImplemented) {
  TArrayList list;
  EXPECT_EQ(messageOf<IllegalStateException>([&] { list.fromXML(nullptr); }),
            "TArrayList.fromXML not implemented!");
  EXPECT_EQ(messageOf<IllegalStateException>([&] { list.toXML(nullptr); }),
            "TArrayList.toXML not implemented!");
}

}  // namespace
