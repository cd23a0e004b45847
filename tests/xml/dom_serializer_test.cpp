// The bytes writeToUTF8 produces: declaration, markup, character references,
// the UTF-16 to UTF-8 rules and their failures. Every document written here
// is also checked with xmllint and read back with our own parser.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "test_util.h"
#include "xml/dom_document.h"
#include "xml/dom_implementation.h"
#include "xml/utf8_output_stream.h"
#include "xml/xml_to_dom_parser.h"

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

struct WriteCase {
  const char* name;
  std::function<void(TDomDocument&)> build;
  std::string bytes;
  // Reading the bytes back and writing again gives the same bytes.
  bool roundTrips = true;
};

TDomElement* root(TDomDocument& d, std::u16string_view name) {
  TDomElement* e = d.createElement(name);
  d.appendChild(e);
  return e;
}

TDomElement* rootWithText(TDomDocument& d, std::u16string_view text) {
  TDomElement* e = root(d, u"T");
  e->appendChild(d.createTextNode(text));
  return e;
}

const std::vector<WriteCase>& writeCases() {
  static const std::vector<WriteCase> cases = {
      {"WorkedExample",
       [](TDomDocument& d) {
         TDomElement* e = root(d, u"TITLE");
         e->setAttribute(u"NAME", u"A&B");
         e->setAttribute(u"TRACK", u"3");
       },
       kDecl + "<TITLE NAME=\"A&#38;B\" TRACK=\"3\"></TITLE>\r\n"},
      {"EmptyElementIsStartAndEndTag", [](TDomDocument& d) { root(d, u"X"); }, kDecl + "<X></X>\r\n"},
      {"QuoteInAttributeIsReference",
       [](TDomDocument& d) { root(d, u"X")->setAttribute(u"A", u"say \"hi\" 'x' <y> &"); },
       kDecl + "<X A=\"say &#34;hi&#34; &#39;x&#39; &#60;y&#62; &#38;\"></X>\r\n"},
      {"LessThanInTextIsReference", [](TDomDocument& d) { rootWithText(d, u"a<b>\"c'&"); },
       kDecl + "<T>a&#60;b&#62;&#34;c&#39;&#38;</T>\r\n"},
      {"ControlCharacterIsDropped", [](TDomDocument& d) { rootWithText(d, u"a\u0001b\u001Fc\u0000"); },
       kDecl + "<T>abc</T>\r\n"},
      {"UmlautIsTwoBytes", [](TDomDocument& d) { rootWithText(d, u"\u00E4"); },
       kDecl + "<T>\xC3\xA4</T>\r\n"},
      {"ThreeByteCharacters", [](TDomDocument& d) { rootWithText(d, u"\u20AC\uD7FF\uE000\uFFFD"); },
       kDecl + "<T>\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD</T>\r\n"},
      {"NonCharactersAreDropped", [](TDomDocument& d) { rootWithText(d, u"a\uFFFEb\uFFFF"); },
       kDecl + "<T>ab</T>\r\n"},
      {"SurrogatePairIsFourBytes", [](TDomDocument& d) { rootWithText(d, u"\U0001F600"); },
       kDecl + "<T>\xF0\x9F\x98\x80</T>\r\n"},
      {"ReversedSurrogatePairIsTheSameCharacter",
       [](TDomDocument& d) {
         rootWithText(d, std::u16string{0xDE00, 0xD83D});
       },
       kDecl + "<T>\xF0\x9F\x98\x80</T>\r\n"},
      {"LineFeedIsCrLfAndCrLfIsCrCrLf", [](TDomDocument& d) { rootWithText(d, u"a\nb\r\nc\td"); },
       kDecl + "<T>a\r\nb\r\r\nc\td</T>\r\n", false},
      {"TabAndLineBreaksInAttributeAreReferences",
       [](TDomDocument& d) { root(d, u"X")->setAttribute(u"A", u"a\tb\nc\r\nd\re"); },
       kDecl + "<X A=\"a&#9;b&#10;c&#13;&#10;d&#13;e\"></X>\r\n"},
      {"CrWithoutLineFeedInTextIsReference", [](TDomDocument& d) { rootWithText(d, u"a\rb\r\rc\r"); },
       kDecl + "<T>a&#13;b&#13;&#13;c&#13;</T>\r\n"},
      {"ByteOrderMarkInsideTextIsKept", [](TDomDocument& d) { rootWithText(d, u"\uFEFFx"); },
       kDecl + "<T>\xEF\xBB\xBFx</T>\r\n"},
      {"NoWhitespaceBetweenNodes",
       [](TDomDocument& d) {
         TDomElement* r = root(d, u"VOSKO");
         r->setAttribute(u"VERSION", u"1.1.0");
         TDomElement* c = d.createElement(u"CARRIER");
         r->appendChild(c);
         TDomElement* n = d.createElement(u"NOTES");
         c->appendChild(n);
         n->appendChild(d.createTextNode(u"x"));
         c->appendChild(d.createElement(u"TOCS"));
       },
       kDecl + "<VOSKO VERSION=\"1.1.0\"><CARRIER><NOTES>x</NOTES><TOCS></TOCS></CARRIER></VOSKO>\r\n"},
      {"OtherNodeKindsInTheirXmlForms",
       [](TDomDocument& d) {
         d.setXmlVersion(u"1.0");
         d.setXmlStandalone(u"no");
         d.appendChild(d.createDocumentType(u"R", u"-//X//Y", u"r.dtd"));
         d.appendChild(d.createComment(u" lead "));
         d.appendChild(d.createProcessingInstruction(u"pi", u"data"));
         TDomElement* r = root(d, u"R");
         r->appendChild(d.createCDATASection(u"a<]]>b"));
         r->appendChild(d.createProcessingInstruction(u"empty", u""));
       },
       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\r\n"
       "<!DOCTYPE R PUBLIC \"-//X//Y\" \"r.dtd\">\r\n<!-- lead -->\r\n<?pi data?>\r\n"
       "<R><![CDATA[a<]]]]><![CDATA[>b]]><?empty?></R>\r\n"},
      {"EntityReferenceIsWrittenAsReference",
       [](TDomDocument& d) { root(d, u"R")->appendChild(d.createEntityReference(u"amp")); },
       kDecl + "<R>&amp;</R>\r\n", false},
  };
  return cases;
}

bool haveXmllint() { return std::system("command -v xmllint > /dev/null 2>&1") == 0; }

// xmllint (libxml2) finds the file well formed, without fetching anything.
void expectXmllintAccepts(const std::string& path) {
  std::string command = "xmllint --noout --nonet '" + path + "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << path;
}

std::string write(TDomDocument& d) {
  std::ostringstream out;
  d.writeToUTF8(out);
  return out.str();
}

class SerializerTest : public ::testing::Test {
 protected:
  std::string build(const WriteCase& c) {
    auto d = implementation.createEmptyDocument();
    c.build(*d);
    return write(*d);
  }
  TDomImplementation implementation;
  testutil::TempDir dir;
};

TEST_F(SerializerTest, EachDocumentIsWrittenByteForByte) {
  for (const WriteCase& c : writeCases()) {
    EXPECT_EQ(build(c), c.bytes) << c.name;
  }
}

TEST_F(SerializerTest, EveryWrittenDocumentIsWellFormedForXmllint) {
  if (!haveXmllint()) GTEST_SKIP() << "xmllint is not installed";
  for (const WriteCase& c : writeCases()) {
    std::string path = dir.file(std::string(c.name) + ".xml");
    testutil::writeFile(path, build(c));
    // The DTD named by one case does not exist; xmllint must not need it.
    expectXmllintAccepts(path);
  }
}

TEST_F(SerializerTest, EveryWrittenDocumentParsesBack) {
  TXmlToDomParser parser(&implementation);
  for (const WriteCase& c : writeCases()) {
    std::string path = dir.file(std::string(c.name) + ".xml");
    std::string bytes = build(c);
    testutil::writeFile(path, bytes);
    std::unique_ptr<TDomDocument> back;
    ASSERT_NO_THROW(back = parser.fileToDom(path)) << c.name;
    ASSERT_NE(back->documentElement(), nullptr) << c.name;
    if (c.roundTrips) {
      EXPECT_EQ(write(*back), bytes) << c.name;
    }
  }
}

TEST_F(SerializerTest, CrLfInTextReadsBackAsTwoLineFeeds) {
  auto d = implementation.createDocument(u"NOTES", nullptr);
  d->documentElement()->appendChild(d->createTextNode(u"one\r\ntwo"));
  std::string path = dir.file("notes.xml");
  {
    std::ofstream out(path, std::ios::binary);
    d->writeToUTF8(out);
  }
  EXPECT_EQ(testutil::readFile(path), kDecl + "<NOTES>one\r\r\ntwo</NOTES>\r\n");
  if (haveXmllint()) expectXmllintAccepts(path);
  auto back = TXmlToDomParser(&implementation).fileToDom(path);
  EXPECT_EQ(back->documentElement()->firstChild()->nodeValue(), u"one\n\ntwo");
}

TEST_F(SerializerTest, DeclarationUsesDocumentVersionAndRestoresEncoding) {
  auto d = implementation.createDocument(u"X", nullptr);
  d->setXmlVersion(u"1.1");
  d->setXmlEncoding(u"ISO-8859-1");
  EXPECT_EQ(write(*d), "<?xml version=\"1.1\" encoding=\"UTF-8\"?>\r\n<X></X>\r\n");
  EXPECT_EQ(d->xmlEncoding(), u"ISO-8859-1");
}

TEST_F(SerializerTest, UnpairedSurrogatesRaiseConvertError) {
  struct Bad {
    std::u16string text;
    const char* message;
  };
  const Bad cases[] = {
      {std::u16string{u'a', 0xD800, u'b'}, "High surrogate D800 without low surrogate."},
      {std::u16string{u'a', 0xDBFF}, "High surrogate DBFF without low surrogate."},
      {std::u16string{0xDC01, u'x'}, "Low surrogate DC01 without high surrogate."},
      {std::u16string{0xD800, 0xD801, 0xDC00}, "High surrogate D800 without low surrogate."},
  };
  for (const Bad& c : cases) {
    auto d = implementation.createDocument(u"T", nullptr);
    d->documentElement()->appendChild(d->createTextNode(c.text));
    try {
      write(*d);
      ADD_FAILURE() << c.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.message(), c.message);
    }
    // The encoding is restored on the failing path too.
    EXPECT_TRUE(d->xmlEncoding().empty());
  }
  auto d = implementation.createDocument(u"T", nullptr);
  d->documentElement()->setAttribute(u"A", std::u16string{0xDFFF});
  EXPECT_THROW(write(*d), EConvertError);
}

TEST_F(SerializerTest, FailingStreamRaisesInOutError) {
  auto d = implementation.createDocument(u"X", nullptr);
  std::ostream broken(nullptr);
  try {
    d->writeToUTF8(broken);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.message(), "TDomDocument.writeToUTF8: write failed.");
  }
}

TEST_F(SerializerTest, ByteOrderMarkIsDroppedOnlyAsFirstUnitOfTheStream) {
  std::ostringstream out;
  TUtf8OutputStream stream(out);
  stream.write(u"\uFEFFa\uFEFF");
  stream.finish();
  EXPECT_EQ(out.str(), "a\xEF\xBB\xBF");
}

TEST_F(SerializerTest, DefaultedAttributesAreNotWrittenBack) {
  std::string path = dir.file("defaults.xml");
  testutil::writeFile(path, "<!DOCTYPE R [<!ATTLIST R D CDATA \"dflt\">]><R A=\"1\"/>");
  auto d = TXmlToDomParser(&implementation).fileToDom(path);
  EXPECT_EQ(d->documentElement()->getAttribute(u"D"), u"dflt");
  EXPECT_FALSE(d->documentElement()->getAttributeNode(u"D")->specified());
  EXPECT_EQ(write(*d), kDecl + "<!DOCTYPE R>\r\n<R A=\"1\"></R>\r\n");
}

TEST_F(SerializerTest, VeryDeepTreeIsWrittenAndReadWithoutRecursion) {
  constexpr int kDepth = 200000;
  auto d = implementation.createEmptyDocument();
  TDomElement* inner = d->createElement(u"E");
  for (int i = 1; i < kDepth; ++i) {
    TDomElement* outer = d->createElement(u"E");
    outer->appendChild(inner);
    inner = outer;
  }
  d->appendChild(inner);
  std::string bytes = write(*d);
  EXPECT_EQ(bytes.size(), kDecl.size() + kDepth * 7 + 2);
  auto back = TXmlToDomParser(&implementation).bufferToDom(bytes, "deep.xml");
  EXPECT_EQ(back->getElementsByTagName(u"E").length(), static_cast<std::size_t>(kDepth));
}

}  // namespace
