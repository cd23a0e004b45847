#include "basis/string_table.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "basis/string_value.h"
#include "expect_message.h"

namespace {

// A key sharing the hash code of a string whose comparison fails, so that a
// string key moved next to it is refused after the table has made it.
class TRefusingKey : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TRefusingKey)
  explicit TRefusingKey(int32_t hash) : hash_(hash) {}
  bool equals(const TMappedObject*) const override {
    throw IllegalStateException("TRefusingKey.equals: refused.");
  }
  int32_t hashCode() const override { return hash_; }
  std::unique_ptr<TMappedObject> clone() const override { return std::make_unique<TRefusingKey>(hash_); }

 private:
  int32_t hash_;
};

TEST(StringtableTest, FailedReputFreesTheNewKeyOnceAndKeepsThePair) {
  TStringtable table;
  table.put("a", new TString("1"));
  table.THashtable::put(new TRefusingKey(TString("b").hashCode()), new TString("2"));
  EXPECT_EQ(messageOf<IllegalStateException>([&] { table.reput("a", "b"); }),
            "TRefusingKey.equals: refused.");
  EXPECT_EQ(table.size(), 2);
  EXPECT_EQ(table.get("a")->toString(), "1");
}

}  // namespace
