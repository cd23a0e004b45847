// The parser: the tree it builds, every accepted encoding by every name,
// the exception class and message for malformed input, and refusal of what
// could read files or blow up memory.
#include "xml/xml_to_dom_parser.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "platform/os_file.h"
#include "test_util.h"
#include "xml/dom_exception.h"
#include "xml/dom_serializer.h"

namespace {

// Converts with iconv; the tests make their encoded documents this way.
std::string iconvert(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << to;
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  char* outPtr = out.data();
  std::size_t inLeft = text.size(), outLeft = out.size();
  std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  EXPECT_NE(rc, static_cast<std::size_t>(-1)) << "text not representable in " << to;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::string written(const TDomDocument& document) {
  std::ostringstream out;
  TDomSerializer(out).writeDocument(document);
  return out.str();
}

std::u16string utf16(const std::string& utf8) {
  std::string bytes = iconvert(utf8, "UTF-8", "UTF-16LE");
  std::u16string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                 (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return out;
}

class ParserTest : public ::testing::Test {
 protected:
  std::unique_ptr<TDomDocument> parseFile(const std::string& bytes, const std::string& name = "doc.xml") {
    std::string path = dir.file(name);
    testutil::writeFile(path, bytes);
    return parser.fileToDom(path);
  }
  TDomImplementation implementation;
  TXmlToDomParser parser{&implementation};
  testutil::TempDir dir;
};

TEST_F(ParserTest, BuildsTheTreeWithAttributesInOrder) {
  auto d = parseFile(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<VOSKO VERSION=\"1.1.0\"><CARRIER NAME=\"A&amp;B\" ARTIST=\"x\" URL=\"\"><NOTES>line&#60;1</NOTES>"
      "<TOCS/></CARRIER></VOSKO>\r\n");
  EXPECT_EQ(d->xmlVersion(), u"1.0");
  EXPECT_EQ(d->xmlEncoding(), u"UTF-8");
  TDomElement* root = d->documentElement();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->tagName(), u"VOSKO");
  EXPECT_EQ(root->getAttribute(u"VERSION"), u"1.1.0");
  auto* carrier = domCast<TDomElement>(root->firstChild());
  ASSERT_NE(carrier, nullptr);
  TDomNodeList attrs = carrier->attributes();
  ASSERT_EQ(attrs.length(), 3u);
  EXPECT_EQ(attrs.item(0)->nodeName(), u"NAME");
  EXPECT_EQ(attrs.item(2)->nodeName(), u"URL");
  EXPECT_EQ(carrier->getAttribute(u"NAME"), u"A&B");
  EXPECT_EQ(carrier->getAttributeNode(u"NAME")->firstChild()->nodeValue(), u"A&B");
  EXPECT_EQ(carrier->getAttributeNode(u"URL")->firstChild(), nullptr);
  TDomElement* notes = carrier->findFirstChildElement(u"NOTES");
  ASSERT_NE(notes, nullptr);
  // Text split by references arrives as one node.
  EXPECT_EQ(notes->firstChild()->nodeValue(), u"line<1");
  EXPECT_EQ(notes->firstChild()->nextSibling(), nullptr);
  EXPECT_EQ(carrier->findFirstChildElement(u"TOCS")->firstChild(), nullptr);
  EXPECT_EQ(d->domImplementation(), &implementation);
}

TEST_F(ParserTest, CommentBeforeTheRootIsKeptAndRootStillFound) {
  auto d = parseFile("<!-- exported --><?app x?><ROOT><!--in--><![CDATA[<raw>]]></ROOT>");
  ASSERT_EQ(d->firstChild()->nodeType(), TDomNodeType::Comment);
  EXPECT_EQ(d->firstChild()->nodeValue(), u" exported ");
  EXPECT_EQ(d->firstChild()->nextSibling()->nodeType(), TDomNodeType::ProcessingInstruction);
  EXPECT_EQ(d->firstChild()->nextSibling()->nodeName(), u"app");
  EXPECT_EQ(d->documentElement()->tagName(), u"ROOT");
  TDomNode* cdata = d->documentElement()->lastChild();
  EXPECT_EQ(cdata->nodeType(), TDomNodeType::CDATASection);
  EXPECT_EQ(cdata->nodeValue(), u"<raw>");
}

TEST_F(ParserTest, NamespacesKeepQualifiedNamesAndDeclarations) {
  auto d = parseFile("<p:a xmlns:p=\"urn:p\" p:x=\"1\" y=\"2\"><b xmlns=\"urn:d\" xml:lang=\"de\"/></p:a>");
  TDomElement* a = d->documentElement();
  EXPECT_EQ(a->tagName(), u"p:a");
  EXPECT_EQ(a->getAttribute(u"xmlns:p"), u"urn:p");
  EXPECT_EQ(a->getAttribute(u"p:x"), u"1");
  EXPECT_EQ(a->getAttribute(u"y"), u"2");
  auto* b = domCast<TDomElement>(a->firstChild());
  EXPECT_EQ(b->tagName(), u"b");
  EXPECT_EQ(b->getAttribute(u"xmlns"), u"urn:d");
  EXPECT_EQ(b->getAttribute(u"xml:lang"), u"de");
}

TEST_F(ParserTest, TextAcrossReadChunksIsOneNode) {
  // Longer than two read chunks, with a two-byte character on each boundary.
  std::string text;
  while (text.size() < 200000) text += "abc\xC3\xA4";
  auto d = parseFile("<T>" + text + "</T>");
  EXPECT_EQ(d->documentElement()->firstChild()->nodeValue(), utf16(text));
  EXPECT_EQ(d->documentElement()->firstChild()->nextSibling(), nullptr);
}

TEST_F(ParserTest, TokensOfManyReadChunksAndTheDocumentUpToItsRoot) {
  const std::string value(300000, 'v');
  const std::string doc = "<!--" + value + "--><a b=\"" + value + "\"><c/></a>";
  auto d = parseFile(doc);
  EXPECT_EQ(d->documentElement()->getAttribute(u"b").size(), value.size());
  EXPECT_EQ(written(*parser.bufferToDom(doc, "doc.xml", 1000)), written(*d));
  // Up to the root: what follows its start tag is neither read nor checked.
  testutil::writeFile(dir.file("root.xml"), doc.substr(0, doc.size() - 8) + "<<");
  auto root = parser.fileToDomUpToRoot(dir.file("root.xml"));
  EXPECT_EQ(root->firstChild()->nodeValue().size(), value.size());
  EXPECT_EQ(root->documentElement()->getAttribute(u"b").size(), value.size());
  EXPECT_EQ(root->documentElement()->firstChild(), nullptr);
}

TEST_F(ParserTest, PiecesOfAnySizeGiveTheSameDocument) {
  const std::string doc = "<?xml version=\"1.0\"?><VOSKO A=\"x&amp;y\"><!--c--><T>\xC3\xA4&#60;</T></VOSKO>";
  for (std::size_t piece : {1, 2, 3, 7}) {
    auto d = parser.bufferToDom(doc, "doc.xml", piece);
    TDomElement* t = d->documentElement()->findFirstChildElement(u"T");
    ASSERT_NE(t, nullptr) << piece;
    EXPECT_EQ(t->firstChild()->nodeValue(), u"\u00E4<") << piece;
    EXPECT_EQ(d->documentElement()->getAttribute(u"A"), u"x&y") << piece;
  }
  // UTF-16 without a byte-order mark is told by its first bytes, cut or not.
  const std::string bare = iconvert("\r<a b=\"1\"/>", "UTF-8", "UTF-16LE");
  const std::string whole = written(*parser.bufferToDom(bare, "doc.xml"));
  for (std::size_t piece : {1, 2, 3})
    EXPECT_EQ(written(*parser.bufferToDom(bare, "doc.xml", piece)), whole) << piece;
  // Errors too, in a UTF-16 document whose units come apart.
  const std::string wide = "\xFF\xFE" + iconvert("<a b=\"x<y\"/>", "UTF-8", "UTF-16LE");
  for (std::size_t piece : {1, 3, 64}) {
    EXPECT_THROW(parser.bufferToDom(wide, "doc.xml", piece), EParserInvalidAttributeValue_Err) << piece;
  }
}

TEST_F(ParserTest, MissingImplementationOrFileName) {
  TXmlToDomParser unbound;
  try {
    unbound.fileToDom("x.xml");
    FAIL();
  } catch (const EAccessViolation& e) {
    EXPECT_EQ(e.message(), "DOMImplementation not specified.");
  }
  try {
    parser.fileToDom("");
    FAIL();
  } catch (const EAccessViolation& e) {
    EXPECT_EQ(e.message(), "Filename not specified.");
  }
  std::string missing = dir.file("missing.xml");
  try {
    parser.fileToDom(missing);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.message(),
              "TXmlToDomParser.fileToDom: Cannot open file '" + missing + "': No such file or directory.");
  }
  EXPECT_EQ(implementation.documents().size(), 0u);
}

TEST_F(ParserTest, FileThatCannotBeReadIsNamedWithTheReason) {
  testutil::writeFile(dir.file("doc.xml"), "<a/>");
  ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0700), 0);
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
  struct Case {
    std::string path;
    long failingRead;  // 0: no fault
    std::string message;
  };
  const Case cases[] = {
      {dir.file("sub"), 0, "Cannot read file '" + dir.file("sub") + "': Is a directory."},
      // Refused at once instead of waiting for a writer.
      {dir.file("fifo"), 0, "'" + dir.file("fifo") + "' is not a regular file."},
      {dir.file("doc.xml"), 1, "Cannot read file '" + dir.file("doc.xml") + "': Input/output error."},
  };
  for (const Case& c : cases) {
    platform::faults::failNthRead(c.failingRead);
    try {
      parser.fileToDom(c.path);
      ADD_FAILURE() << c.path;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.message(), "TXmlToDomParser.fileToDom: " + c.message);
    }
    platform::faults::reset();
  }
  EXPECT_EQ(implementation.documents().size(), 0u);
  EXPECT_EQ(parser.fileToDom(dir.file("doc.xml"))->documentElement()->tagName(), u"a");
}

// ---- encodings ----

struct EncodingCase {
  std::vector<const char*> names;
  const char* iconvName;
  const char* text;  // UTF-8, letters the encoding holds
};

const std::vector<EncodingCase>& encodingCases() {
  static const std::vector<EncodingCase> cases = {
      {{"ISO-8859-1", "Latin-1", "iso-8859-1", "LATIN-1"}, "ISO-8859-1", "Grüße aus Köln, ça va? Ñandú ÿ ©"},
      {{"ISO-8859-2", "Latin-2"}, "ISO-8859-2", "Żółć gęślą jaźń; Příliš žluťoučký kůň"},
      {{"ISO-8859-3", "Latin-3"}, "ISO-8859-3", "Ĉu vi ŝatas ĝin? Ħaġar Qim, ċ ż ŭ"},
      {{"ISO-8859-4", "Latin-4"}, "ISO-8859-4", "Ķēniņš ģērbās, Ūdens ŗ ŧ ŋ ĸ"},
      {{"ISO-8859-5", "Cyrillic"}, "ISO-8859-5", "Съешь же ещё этих мягких булок №"},
      {{"ISO-8859-6", "Arabic"}, "ISO-8859-6", "مرحبا بالعالم؟"},
      {{"ISO-8859-7", "Greek"}, "ISO-8859-7", "Καλημέρα κόσμε, ΐ ΰ"},
      {{"ISO-8859-8", "Hebrew"}, "ISO-8859-8", "שלום עולם ×"},
      {{"ISO-8859-9", "Latin-5"}, "ISO-8859-9", "Pijamalı hasta yağız şoföre çabucak güvendi İ"},
      {{"ISO-8859-10", "Latin-6"}, "ISO-8859-10", "Þórður á Ŋ ŧ ķ ļ ū ž đ"},
      {{"ISO-8859-13", "Latin-7"}, "ISO-8859-13", "Įlinkę ąžuolai, Ščiūrė, Ķēniņš „ok“"},
      {{"ISO-8859-14", "Latin-8"}, "ISO-8859-14", "Dŵr ŷd, Ḃeannaċt ẁ ẃ ẅ ṫ Ỳ"},
      {{"ISO-8859-15", "Latin-9"}, "ISO-8859-15", "Œuvre à 5 €, Šárka, Žofie, Ÿ"},
      {{"KOI8-R", "koi8-r"}, "KOI8-R", "Съешь же ещё этих мягких булок"},
      {{"cp10000_MacRoman", "CP10000_MACROMAN"}, "MACINTOSH", "Café ﬁ – “quoted” ™ ≠ π"},
      {{"Windows-1250", "cp1250"}, "CP1250", "Příliš žluťoučký kůň úpěl ďábelské ódy „€“"},
      {{"Windows-1251", "cp1251"}, "CP1251", "Съешь ещё этих мягких французских булок №"},
      {{"Windows-1252", "cp1252", "WINDOWS-1252"}, "CP1252", "Œuvre “quoted” – € … Grüße"},
  };
  return cases;
}

std::string sampleDocument(const std::string& encodingName, const std::string& text) {
  return "<?xml version=\"1.0\" encoding=\"" + encodingName + "\"?>\n<ROOT ATTR=\"" + text + "\">" + text +
         "</ROOT>";
}

TEST_F(ParserTest, EveryEightBitEncodingByEveryNameReadsLikeUtf8) {
  for (const EncodingCase& c : encodingCases()) {
    auto original = parser.bufferToDom(sampleDocument("UTF-8", c.text), "utf8.xml");
    std::u16string expected = utf16(c.text);
    ASSERT_EQ(original->documentElement()->firstChild()->nodeValue(), expected) << c.iconvName;
    for (const char* name : c.names) {
      auto d = parseFile(iconvert(sampleDocument(name, c.text), "UTF-8", c.iconvName));
      EXPECT_EQ(d->documentElement()->firstChild()->nodeValue(), expected) << name;
      EXPECT_EQ(d->documentElement()->getAttribute(u"ATTR"), expected) << name;
      EXPECT_EQ(d->xmlEncoding(), utf16(name));
    }
  }
}

TEST_F(ParserTest, Utf16InBothByteOrdersReadsLikeUtf8) {
  const std::string text = "Grüße Żółć Съешь Καλημέρα שלום € 😀 ﬁ";
  std::u16string expected = utf16(text);
  std::string doc = sampleDocument("UTF-16", text);
  auto le = parseFile("\xFF\xFE" + iconvert(doc, "UTF-8", "UTF-16LE"), "le.xml");
  EXPECT_EQ(le->documentElement()->firstChild()->nodeValue(), expected);
  EXPECT_EQ(le->documentElement()->getAttribute(u"ATTR"), expected);
  auto be = parseFile("\xFE\xFF" + iconvert(doc, "UTF-8", "UTF-16BE"), "be.xml");
  EXPECT_EQ(be->documentElement()->firstChild()->nodeValue(), expected);
  // A UTF-8 byte-order mark is read as well.
  auto bom = parseFile("\xEF\xBB\xBF" + sampleDocument("UTF-8", text), "bom.xml");
  EXPECT_EQ(bom->documentElement()->firstChild()->nodeValue(), expected);
}

TEST_F(ParserTest, UnknownEncodingIsRefused) {
  try {
    parseFile("<?xml version=\"1.0\" encoding=\"EBCDIC-XY\"?><a/>", "ebcdic.xml");
    FAIL();
  } catch (const EParserUnsupportedEncoding_Err& e) {
    EXPECT_NE(e.message().find("ebcdic.xml\", line 1"), std::string::npos) << e.message();
    EXPECT_NE(e.message().find("unknown encoding"), std::string::npos) << e.message();
  }
}

TEST_F(ParserTest, ByteUndefinedInTheEncodingIsAnInvalidCharacter) {
  // 0xA1 has no character in ISO-8859-6.
  EXPECT_THROW(parseFile("<?xml version=\"1.0\" encoding=\"Arabic\"?><a>\xA1</a>"),
               EParserInvalidCharacter_Err);
}

// ---- malformed documents ----

class MalformedTest : public ParserTest {
 protected:
  // The exact class and the message after the file name.
  template <class E>
  void expect(const std::string& bytes, const std::string& afterFile, const char* className) {
    std::string path = dir.file("bad.xml");
    testutil::writeFile(path, bytes);
    try {
      parser.fileToDom(path);
      ADD_FAILURE() << "accepted: " << bytes;
    } catch (const E& e) {
      EXPECT_STREQ(e.className(), className) << bytes;
      EXPECT_EQ(e.message(), "File \"" + path + "\", " + afterFile) << bytes;
      EXPECT_EQ(e.fileName(), path);
    } catch (const std::exception& e) {
      ADD_FAILURE() << bytes << " raised " << platform::exceptionClassName(e) << ": " << e.what();
    }
  }
};

TEST_F(MalformedTest, EachRuleRaisesItsClassWithLineAndColumn) {
  expect<EParserMissingEndTag_Err>("<a>\n<b></a>",
                                   "line 2, column 6: mismatched tag, end tag of element 'b' expected.",
                                   "EParserMissingEndTag_Err");
  expect<EParserMissingEndTag_Err>("<a><b>text", "line 1, column 11: end tag of element 'b' missing.",
                                   "EParserMissingEndTag_Err");
  expect<EParserMissingRootElement_Err>("", "line 1, column 1: no element found.",
                                        "EParserMissingRootElement_Err");
  expect<EParserMissingRootElement_Err>("<!-- only -->", "line 1, column 14: no element found.",
                                        "EParserMissingRootElement_Err");
  expect<EParserInvalidCharacter_Err>("<a>x\x01</a>", "line 1, column 5: not well-formed (invalid token).",
                                      "EParserInvalidCharacter_Err");
  expect<EParserInvalidCharacter_Err>("<a>\xC3(</a>", "line 1, column 4: not well-formed (invalid token).",
                                      "EParserInvalidCharacter_Err");
  expect<EParserInvalidCharacter_Err>("<a>&#1;</a>",
                                      "line 1, column 4: reference to invalid character number.",
                                      "EParserInvalidCharacter_Err");
  expect<EParserDoubleRootElement_Err>("<a/>\n<b/>", "line 2, column 1: junk after document element.",
                                       "EParserDoubleRootElement_Err");
  expect<EParserSyntax_Err>("<a/>text", "line 1, column 5: junk after document element.",
                            "EParserSyntax_Err");
  expect<EParserInvalidAttributeValue_Err>("<a b=\"x<y\"/>",
                                           "line 1, column 8: not well-formed (invalid token).",
                                           "EParserInvalidAttributeValue_Err");
  expect<EParserInvalidAttributeValue_Err>("<a b=c/>", "line 1, column 6: not well-formed (invalid token).",
                                           "EParserInvalidAttributeValue_Err");
  expect<EParserDuplicateAttribute_Err>("<a b=\"1\" b=\"2\"/>", "line 1, column 10: duplicate attribute.",
                                        "EParserDuplicateAttribute_Err");
  expect<EParserUndefinedEntity_Err>("<a>&foo;</a>", "line 1, column 4: undefined entity.",
                                     "EParserUndefinedEntity_Err");
  expect<EParserSyntax_Err>("<a>]]></a>", "line 1, column 6: not well-formed (invalid token).",
                            "EParserSyntax_Err");
  expect<EParserInvalidXmlDeclaration_Err>(
      " <?xml version=\"1.0\"?><a/>", "line 1, column 2: XML or text declaration not at start of entity.",
      "EParserInvalidXmlDeclaration_Err");
  expect<EParserInvalidDoctype_Err>("<!DOCTYPE a [<!ENTITY x \"y\" ] ><a/>",
                                    "line 1, column 29: syntax error.", "EParserInvalidDoctype_Err");
  expect<EParserUnboundPrefix_Err>("<p:a/>", "line 1, column 1: unbound prefix.", "EParserUnboundPrefix_Err");
  expect<EParserNamespaceFatalError>(
      "<a xmlns:xmlns=\"urn:x\"/>",
      "line 1, column 1: reserved prefix (xmlns) must not be declared or undeclared.",
      "EParserNamespaceFatalError");
  expect<EParserNamespaceFatalError>("<a xmlns:p=\"\"/>", "line 1, column 1: must not undeclare prefix.",
                                     "EParserNamespaceFatalError");
}

TEST_F(MalformedTest, FamilyCanBeCaughtByKind) {
  EXPECT_THROW(parser.bufferToDom("<p:a/>", "m"), EParserNamespaceFatalError);
  EXPECT_THROW(parser.bufferToDom("<p:a/>", "m"), EParserFatalError);
  EXPECT_THROW(parser.bufferToDom("<a>", "m"), EParserException);
  // A failed parse leaves no document behind.
  EXPECT_EQ(implementation.documents().size(), 0u);
}

TEST_F(MalformedTest, ErrorInUtf16DocumentIsClassifiedByCharacters) {
  std::string doc = "\xFF\xFE" + iconvert("<a b=\"x<y\"/>", "UTF-8", "UTF-16LE");
  EXPECT_THROW(parseFile(doc), EParserInvalidAttributeValue_Err);
  doc = "\xFE\xFF" + iconvert("<a/><b/>", "UTF-8", "UTF-16BE");
  EXPECT_THROW(parseFile(doc), EParserDoubleRootElement_Err);
}

// ---- safety ----

TEST_F(ParserTest, BillionLaughsFailsFast) {
  std::string doc = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
  std::string previous = "lol";
  for (int i = 1; i <= 9; ++i) {
    std::string name = "lol" + std::to_string(i);
    doc += "<!ENTITY " + name + " \"";
    for (int k = 0; k < 10; ++k) doc += "&" + previous + ";";
    doc += "\">";
    previous = name;
  }
  doc += "]><lolz>&lol9;</lolz>";
  EXPECT_THROW(parseFile(doc), EParserEntityAmplification_Err);
}

TEST_F(ParserTest, ExternalEntitiesAreRefusedAndNeverRead) {
  testutil::writeFile(dir.file("secret.txt"), "SECRET");
  testutil::writeFile(dir.file("secret.dtd"), "<!ENTITY x \"SECRET\"><!ATTLIST a d CDATA \"SECRET\">");
  std::string file = "file://" + dir.file("secret.txt");
  try {
    parseFile("<!DOCTYPE a [<!ENTITY ext SYSTEM \"" + file + "\">]><a>&ext;</a>", "ext.xml");
    FAIL();
  } catch (const EParserExternalEntity_Err& e) {
    EXPECT_EQ(e.message().rfind(": external entity 'ext' refused."), e.message().size() - 32) << e.message();
    EXPECT_EQ(e.line(), 1);
  }
  EXPECT_THROW(parseFile("<!DOCTYPE a [<!ENTITY % p SYSTEM \"secret.dtd\"> %p;]><a>&x;</a>"),
               EParserExternalEntity_Err);
  EXPECT_THROW(parseFile("<!DOCTYPE a PUBLIC \"-//X\" \"http://127.0.0.1:9/x.dtd\" [<!ENTITY e SYSTEM "
                         "\"http://127.0.0.1:9/e\">]><a/>"),
               EParserExternalEntity_Err);
  // The external subset is not read: its entities stay undefined, its defaults unapplied.
  EXPECT_THROW(parseFile("<!DOCTYPE a SYSTEM \"secret.dtd\"><a>&x;</a>"), EParserUndefinedEntity_Err);
  auto d = parseFile("<!DOCTYPE a SYSTEM \"secret.dtd\"><a>plain</a>");
  EXPECT_FALSE(d->documentElement()->hasAttribute(u"d"));
  EXPECT_EQ(d->doctype()->systemId(), u"secret.dtd");
  EXPECT_EQ(d->documentElement()->textContent(), u"plain");
}

TEST_F(ParserTest, InternalEntitiesAreExpanded) {
  auto d = parseFile("<!DOCTYPE a [<!ENTITY who \"World &amp; Co\">]><a t=\"&who;\">Hello &who;!</a>");
  EXPECT_EQ(d->documentElement()->textContent(), u"Hello World & Co!");
  EXPECT_EQ(d->documentElement()->getAttribute(u"t"), u"World & Co");
}

// ---- memory and pieces ----

// A size as the limit message gives it (below 10 MiB: KiB, rounded up).
std::string kib(std::int64_t bytes) { return std::to_string((bytes + 1023) / 1024) + " KiB"; }

std::string repeated(const std::string& part, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += part;
  return s;
}

// Shapes that take far more memory than their bytes are refused at the limit
// of their size, read from a file or from memory; a document of ordinary
// shape and the same size is read.
TEST_F(ParserTest, DocumentsNeedingMoreMemoryThanTheirSizeAllowsAreRefusedNamingTheLimit) {
  constexpr std::int64_t kFloor = 256 * 1024;
  parser.setMemoryFloor(kFloor);
  std::string attributes;
  for (int i = 0; i < 20000; ++i) attributes += " a" + std::to_string(i) + "=''";
  const struct {
    const char* shape;
    std::string document;
  } cases[] = {
      {"elements nested deep", repeated("<a>", 30000) + repeated("</a>", 30000)},
      {"attributes on one element", "<a" + attributes + "/>"},
      {"default attributes", "<!DOCTYPE r [<!ATTLIST a d CDATA '" + std::string(1000, 'd') + "'>]><r>" +
                                 repeated("<a/>", 5000) + "</r>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shape);
    const auto size = static_cast<std::int64_t>(c.document.size());
    const std::string limit =
        kib(kFloor + 10 * size) + " (256 KiB and 10 times its " + kib(size) + ") to be read.";
    try {
      parseFile(c.document, "hostile.xml");
      ADD_FAILURE() << "read";
    } catch (const EOutOfMemory& e) {
      EXPECT_EQ(e.message(),
                "File \"" + dir.file("hostile.xml") + "\" needs more memory than its limit of " + limit);
    }
    try {
      parser.bufferToDom(c.document, "hostile.xml", 1000);
      ADD_FAILURE() << "read";
    } catch (const EOutOfMemory& e) {
      EXPECT_EQ(e.message(), "File \"hostile.xml\" needs more memory than its limit of " + limit);
    }
  }
  const std::string ordinary =
      "<VOSKO>" +
      repeated("<TITLE NAME='a song' ARTIST='a band' TRACK='12' CARRIERINDEX='0'></TITLE>", 3000) +
      "</VOSKO>";
  EXPECT_EQ(parseFile(ordinary)->documentElement()->getElementsByTagName(u"TITLE").length(), 3000u);
}

// Expat scans an unfinished token again from its start with each piece it
// is handed, so the pieces of a long token must grow with it: pieces of one
// size would make a long attribute value cost the square of its length.
TEST_F(ParserTest, LongTokensAreHandedInGrowingPieces) {
  const std::string document = "<a v='" + std::string(4 << 20, 'v') + "'/>";
  std::vector<std::size_t> pieces;
  parser.setPieceObserver([&](std::size_t size) { pieces.push_back(size); });
  parseFile(document);
  EXPECT_LE(pieces.size(), 12u);
  EXPECT_GE(*std::max_element(pieces.begin(), pieces.end()), std::size_t{1} << 20);
  // Fed from memory in small pieces, they are held back until they are as large.
  pieces.clear();
  parser.bufferToDom(document, "doc.xml", 4096);
  EXPECT_LE(pieces.size(), 24u);
}

}  // namespace
