#include "basis/properties.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "expect_message.h"
#include "platform/os_file.h"
#include "test_util.h"

namespace {

class PropertiesTest : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(PropertiesTest, SeparatorsOfEveryKind) {
  testutil::writeFile(
      dir.file("p.properties"),
      "a=value\r\nb = value\r\nc value\r\nd\tvalue\r\ne==v\r\nf = = v\r\ng\r\n=v\r\nh = b # c\r\n"
      "i \t= \t x y \r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_EQ(p.getProperty("a"), "value");
  EXPECT_EQ(p.getProperty("b"), "value");
  EXPECT_EQ(p.getProperty("c"), "value");
  EXPECT_EQ(p.getProperty("d"), "value");
  EXPECT_EQ(p.getProperty("e"), "=v");
  EXPECT_EQ(p.getProperty("f"), "= v");
  EXPECT_EQ(p.getProperty("g"), "");
  EXPECT_EQ(p.getProperty(""), "v");
  EXPECT_EQ(p.getProperty("h"), "b # c");
  EXPECT_EQ(p.getProperty("i"), "x y");
  EXPECT_EQ(p.size(), 10);
}

TEST_F(PropertiesTest, CommentsAndBlankLinesGiveAnEmptyTable) {
  testutil::writeFile(dir.file("p.properties"), "#x=1\r\n//y=2\r\n   \r\n\t\r\n  # z = 3\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_TRUE(p.isEmpty());
}

TEST_F(PropertiesTest, FirstLineOfAKeyWins) {
  testutil::writeFile(dir.file("p.properties"), "a=1\nb=x\na=2\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_EQ(p.getProperty("a"), "1");
  EXPECT_EQ(p.size(), 2);
}

TEST_F(PropertiesTest, OnlyBytesUpToBlankAreTrimmed) {
  testutil::writeFile(dir.file("p.properties"), "\x01k = \xE4\xA0 \x1F\r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_EQ(p.getProperty("k"), "\xE4\xA0");
}

TEST_F(PropertiesTest, IntegersAndTheirMessages) {
  testutil::writeFile(dir.file("p.properties"), "n = 12 \r\nm = 1 2\r\nneg=-5\r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_EQ(p.getInteger("n"), 12);
  EXPECT_EQ(p.getInteger("neg"), -5);
  EXPECT_EQ(messageOf<IllegalPropertyValueException>([&] { p.getInteger("m"); }),
            "TProperties: Key: m no integer value.");
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { p.getInteger("none"); }),
            "THashtable.get: Key: none not found.");
  EXPECT_EQ(p.getInteger("m", 7), 7);
  EXPECT_EQ(p.getInteger("none", 8), 8);
}

TEST_F(PropertiesTest, BooleansInAnyCaseAndTheirMessages) {
  testutil::writeFile(dir.file("p.properties"), "a = TRUE\r\nb=true\r\nc=fAlSe\r\nd = yes\r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_TRUE(p.getBoolean("a"));
  EXPECT_TRUE(p.getBoolean("b"));
  EXPECT_FALSE(p.getBoolean("c"));
  EXPECT_EQ(messageOf<IllegalPropertyValueException>([&] { p.getBoolean("d"); }),
            "TProperties: Key: d no boolean value.");
  EXPECT_FALSE(p.getBoolean("d", false));
  EXPECT_TRUE(p.getBoolean("none", true));
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { p.getBoolean("none"); }),
            "THashtable.get: Key: none not found.");
}

TEST_F(PropertiesTest, MissingKeyAndDefault) {
  testutil::writeFile(dir.file("p.properties"), "a=1\r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_EQ(messageOf<InvalidKeyException>([&] { p.getProperty("b"); }), "THashtable.get: Key: b not found.");
  EXPECT_EQ(p.getProperty("b", "def"), "def");
  EXPECT_EQ(p.getProperty("a", "def"), "1");
}

TEST_F(PropertiesTest, ContainsSearchesValuesNotKeys) {
  testutil::writeFile(dir.file("p.properties"), "a=1\r\n");
  TProperties p(dir.file("p.properties"));
  EXPECT_TRUE(p.contains("1"));
  EXPECT_FALSE(p.contains("a"));
}

TEST_F(PropertiesTest, OnlyARegularFileOfAtMostOneMebibyteIsRead) {
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  const std::string big = dir.file("big.properties"), limit = dir.file("limit.properties");
  testutil::writeFile(limit, "a=1\r\n" + std::string((1 << 20) - 5, '#'));
  testutil::writeFile(big, "a=1\r\n" + std::string((1 << 20) - 4, '#'));
  TProperties p;
  p.loadProperties(limit);
  EXPECT_EQ(p.getProperty("a"), "1");
  for (const auto& [path, reason] :
       {std::pair{dir.file("fifo"), std::string(" is not a regular file.")},
        std::pair{std::string("/dev/null"), std::string(" is not a regular file.")},
        std::pair{big, std::string(" is larger than 1 MiB.")}}) {
    EXPECT_EQ(messageOf<InvalidPropertiesException>([&] { p.loadProperties(path); }),
              "TProperty: Textfile: " + path + reason);
  }
  EXPECT_EQ(p.getProperty("a"), "1");
}

TEST_F(PropertiesTest, MissingFileIsReportedAndLeavesTheTable) {
  testutil::writeFile(dir.file("p.properties"), "a=1\r\n");
  TProperties p(dir.file("p.properties"));
  std::string missing = dir.file("none.properties");
  EXPECT_EQ(messageOf<InvalidPropertiesException>([&] { p.loadProperties(missing); }),
            "TProperty: Textfile: " + missing + " does not exist.");
  EXPECT_EQ(p.getProperty("a"), "1");
}

TEST_F(PropertiesTest, UnreadableFileFailsAndLeavesTheTable) {
  testutil::writeFile(dir.file("a.properties"), "a=1\r\n");
  testutil::writeFile(dir.file("b.properties"), "b=2\r\n");
  TProperties p(dir.file("a.properties"));
  platform::faults::failNthRead(1);
  std::string message = messageOf<IOException>([&] { p.loadProperties(dir.file("b.properties")); });
  platform::faults::reset();
  EXPECT_EQ(message.rfind("TTextFile.open: Cannot read '" + dir.file("b.properties") + "': ", 0), 0u)
      << message;
  EXPECT_EQ(p.getProperty("a"), "1");
  EXPECT_FALSE(p.containsKey("b"));
}

TEST_F(PropertiesTest, LoadingReplacesTheContents) {
  testutil::writeFile(dir.file("a.properties"), "a=1\r\n");
  testutil::writeFile(dir.file("b.properties"), "b=2\r\n");
  TProperties p(dir.file("a.properties"));
  p.loadProperties(dir.file("b.properties"));
  EXPECT_FALSE(p.containsKey("a"));
  EXPECT_EQ(p.getProperty("b"), "2");
}

TEST_F(PropertiesTest, RegistryMadePropertiesOwnTheirPairs) {
  std::unique_ptr<TMappedObject> made = ClassRegistry::create("TProperties");
  auto* p = dynamic_cast<TProperties*>(made.get());
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->getOwnsObjects());
  testutil::writeFile(dir.file("p.properties"), "a=1\r\n");
  p->loadProperties(dir.file("p.properties"));
  auto copy = cloneAs<TProperties>(*p);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->getProperty("a"), "1");
}

}  // namespace
