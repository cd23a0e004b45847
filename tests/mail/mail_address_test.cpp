#include "mail/mail_address.h"

#include <gtest/gtest.h>

#include "basis/expect_message.h"

namespace {

TEST(MailAddressTest, ValidityTable) {
  struct Case {
    const char* address;
    bool valid;
  } cases[] = {
      {"a@b", true},    // shortest: three characters, "@" in the middle
      {"a@b@c", true},  // a second "@" after the first is accepted
      {"debug@example.org", true},
      {"@b", false},     // too short
      {"ab", false},     // too short, no "@"
      {"@bc", false},    // nothing before the "@"
      {"ab@", false},    // the first "@" is the last character
      {"abc", false},    // no "@" at all
      {"a b@c", false},  // blank
      {"ab@c ", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(TMailAddress::isValid(c.address), c.valid) << c.address;
}

TEST(MailAddressTest, InvalidAddressRaisesWithQuotedAddress) {
  EXPECT_EQ(messageOf<IllegalMailAddressException>([] { TMailAddress a("ab@"); }),
            "TMailAddress: Illegal address: 'ab@'.");
  TMailAddress address("Name", "a@b");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { address.setAddress("a b@c"); }),
            "TMailAddress: Illegal address: 'a b@c'.");
  EXPECT_EQ(address.getAddress(), "a@b");  // a refused address leaves the old one
}

TEST(MailAddressTest, ParseAndToStringTable) {
  struct Case {
    const char* text;
    const char* name;
    const char* address;
    const char* string;
  } cases[] = {
      {"Vosko Debug <debug@example.org>", "Vosko Debug", "debug@example.org",
       "\"Vosko Debug\" <debug@example.org>"},
      {"debug@example.org", "", "debug@example.org", "debug@example.org"},
      {"\"Vosko  Debug\" <debug@example.org> trailing words", "Vosko Debug", "debug@example.org",
       "\"Vosko Debug\" <debug@example.org>"},
      {"'Tom' <tom@x.org> <other@y.org>", "Tom", "tom@x.org", "\"Tom\" <tom@x.org>"},
      {"<a@b>", "", "a@b", "a@b"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TMailAddress> address = TMailAddress::parse(c.text);
    EXPECT_EQ(address->getName(), c.name) << c.text;
    EXPECT_EQ(address->getAddress(), c.address) << c.text;
    EXPECT_EQ(address->toString(), c.string) << c.text;
  }
}

TEST(MailAddressTest, ParseFailures) {
  // Only delimiters: the full stop stands inside the quotes.
  EXPECT_EQ(messageOf<IllegalMailAddressException>([] { TMailAddress::parse(" <\"'> "); }),
            "TMailAddress: Illegal address: ' <\"'> .'");
  EXPECT_EQ(messageOf<IllegalMailAddressException>([] { TMailAddress::parse(""); }),
            "TMailAddress: Illegal address: '.'");
  // Words without "@": the message of an empty address.
  EXPECT_EQ(messageOf<IllegalMailAddressException>([] { TMailAddress::parse("Vosko Debug"); }),
            "TMailAddress: Illegal address: ''.");
}

TEST(MailAddressTest, CloneIsEqualAndIndependent) {
  TMailAddress original("Name", "a@b");
  std::unique_ptr<TMailAddress> copy = cloneAs(original);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(copy->equals(&original));
  copy->setName("Other");
  EXPECT_EQ(original.getName(), "Name");
  EXPECT_FALSE(copy->equals(&original));
}

}  // namespace
