// Lookup in a channel's lists by class and by class name.
#include "debug/debug_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug/binary_writer.h"
#include "debug/debug_writers.h"
#include "debug/system_out_writer.h"
#include "debug/text_writer.h"

namespace {

// A descendant, to show that lookup by class name does not match descendants.
class TSpecialTextWriter : public TTextWriter {
 public:
  VOSKO_CLASS_NAME(TSpecialTextWriter)
  using TTextWriter::TTextWriter;
};

std::vector<std::string> classNames(const TArrayList& list) {
  std::vector<std::string> names;
  for (int32_t i = 0; i < list.size(); ++i) names.push_back(list.get(i)->className());
  return names;
}

TEST(DebugListTest, GetByClassNameIgnoresCaseButNotDescendantsGetByClassFindsThem) {
  TDebugWriters writers;
  writers.add(std::make_unique<TSystemOutWriter>());
  writers.add(std::make_unique<TTextWriter>("a.txt"));
  writers.add(std::make_unique<TSpecialTextWriter>("b.txt"));
  writers.add(std::make_unique<TBinaryWriter>("c.dbg"));

  std::unique_ptr<TArrayList> byName = writers.get("ttextwriter");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(classNames(*byName), std::vector<std::string>{"TTextWriter"});
  EXPECT_FALSE(byName->getOwnsObjects());
  EXPECT_EQ(writers.get("TNoSuchWriter")->size(), 0);

  std::unique_ptr<TArrayList> byClass = writers.get(instanceTest<TFileWriter>());
  ASSERT_NE(byClass, nullptr);
  EXPECT_EQ(classNames(*byClass),
            (std::vector<std::string>{"TTextWriter", "TSpecialTextWriter", "TBinaryWriter"}));
  EXPECT_FALSE(byClass->getOwnsObjects());
  // The found lists share the elements; the writers' list still holds all four.
  EXPECT_EQ(writers.size(), 4);
}

}  // namespace
