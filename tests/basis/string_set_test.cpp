#include "basis/string_set.h"

#include <gtest/gtest.h>

#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/integer_value.h"
#include "basis/string_collection.h"
#include "expect_message.h"

namespace {

TEST(StringSetTest, Operations) {
  TStringSet set;
  EXPECT_TRUE(set.getOwnsObjects());
  EXPECT_TRUE(set.add("b"));
  EXPECT_FALSE(set.add("b"));
  TStringCollection lines("a\r\nc");
  set.addAll(lines);
  EXPECT_TRUE(set.contains("c"));
  EXPECT_FALSE(set.contains("C"));
  EXPECT_TRUE(set.remove("c"));
  EXPECT_FALSE(set.remove("c"));
  EXPECT_EQ(set.toStringCollection()->getText(), "a\r\nb\r\n");

  TStringSet other;
  other.addStrings(set);
  EXPECT_EQ(other.size(), 2);

  THashSet mixed(true);
  mixed.add(new TInteger(7));
  EXPECT_EQ(messageOf<IllegalStateException>([&] { other.addStrings(mixed); }),
            "TStringSet.addStrings: Illegal object: TInteger.");
}

TEST(StringSetTest, RegistryMadeStringSetOwnsItsElements) {
  std::unique_ptr<TMappedObject> made = ClassRegistry::create("TStringSet");
  auto* set = dynamic_cast<TStringSet*>(made.get());
  ASSERT_NE(set, nullptr);
  EXPECT_TRUE(set->getOwnsObjects());
  std::unique_ptr<TMappedObject> plain = ClassRegistry::create("THashSet");
  EXPECT_FALSE(dynamic_cast<THashSet*>(plain.get())->getOwnsObjects());
}

}  // namespace
