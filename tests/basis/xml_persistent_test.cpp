// XML persistence: what storeXML and storeHTML write, what loadXML hands to
// fromXML, the wrapped messages of every failure, and what a failed store
// leaves on disk.
#include "basis/xml_persistent.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "basis/xml_helper.h"
#include "fault_loop.h"
#include "platform/code_page.h"
#include "platform/os_file.h"
#include "test_util.h"
#include "xml/dom_exception.h"

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// A persistent object with a name and notes; its element is NODE.
class TXmlNode : public THTMLPersistent {
 public:
  VOSKO_CLASS_NAME(TXmlNode)

  std::string name;
  std::string notes;
  std::u16string rawName;  // when set, written instead of name (to inject bad UTF-16)
  bool returnNull = false;
  bool bare = false;  // toXML gives an element X without attributes or children
  int initializeCalls = 0;
  std::u16string lastTag = u"(none)";

  void initialize() override {
    ++initializeCalls;
    name.clear();
    notes.clear();
  }
  TDomElement* toXML(TDomDocument* document) override {
    if (returnNull) return nullptr;
    if (bare) return document->createElement(u"X");
    TDomElement* e = document->createElement(u"NODE");
    e->setAttribute(u"NAME", rawName.empty() ? platform::ansiToUtf16(name) : rawName);
    TDomElement* n = document->createElement(u"NOTES");
    n->appendChild(document->createTextNode(platform::ansiToUtf16(notes)));
    e->appendChild(n);
    return e;
  }
  void fromXML(TDomElement* element) override {
    lastTag = element != nullptr ? element->tagName() : u"(null)";
    if (element == nullptr || element->tagName() != u"NODE")
      throw EDomException("Illegal base tag for a node.");
    name = platform::utf16ToAnsi(element->getAttribute(u"NAME"));
    TDomNode* text = TXMLHelper::getInstance().getChildElement(element, u"NOTES")->firstChild();
    notes = text == nullptr ? "" : TXMLHelper::expandLineBreaks(platform::utf16ToAnsi(text->nodeValue()));
  }
  TDomElement* toHTML(TDomDocument* document) override {
    TDomElement* e = document->createElement(u"P");
    e->appendChild(document->createTextNode(platform::ansiToUtf16(name)));
    return e;
  }
};

// Files the persistence writes are well formed for xmllint too, when it is installed.
void expectXmllintAccepts(const std::string& path) {
  if (std::system("command -v xmllint > /dev/null 2>&1") != 0) return;
  std::string command = "xmllint --noout --nonet '" + path + "' 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << path;
}

class XmlPersistentTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::faults::reset(); }
  testutil::TempDir dir;
};

TEST_F(XmlPersistentTest, StoreXmlWritesDeclarationAndTheElementOnly) {
  TXmlNode node;
  node.name = "A&B \xE4";
  node.notes = "line 1\r\nline 2";
  node.storeXML(dir.file("n.xml"), "ROOTNAME");
  EXPECT_EQ(testutil::readFile(dir.file("n.xml")),
            kDecl + "<NODE NAME=\"A&#38;B \xC3\xA4\"><NOTES>line 1\r\r\nline 2</NOTES></NODE>\r\n");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"n.xml"});
  expectXmllintAccepts(dir.file("n.xml"));
}

TEST_F(XmlPersistentTest, BareElementIsWrittenAsStartAndEndTag) {
  TXmlNode node;
  node.bare = true;
  node.storeXML(dir.file("x.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("x.xml")), kDecl + "<X></X>\r\n");
}

TEST_F(XmlPersistentTest, StoreXmlWithoutAnyFileNameFailsAndWritesNothing) {
  TXmlNode node;
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(); }),
            "TXMLPersistent.storeXML: (IOException) TXMLHelper.DOMToFile: Filename not specified.");
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(XmlPersistentTest, StoreXmlWithoutNameUsesTheFileName) {
  TXmlNode node;
  node.setFileName(dir.file("own.xml"));
  node.storeXML();
  EXPECT_TRUE(testutil::exists(dir.file("own.xml")));
  node.name = "again";
  node.storeXML(dir.file("own.xml"));  // replaces the existing file
  TXmlNode back;
  back.loadXML(dir.file("own.xml"));
  EXPECT_EQ(back.name, "again");
}

TEST_F(XmlPersistentTest, LoadXmlReadsBackAndRepairsLineBreaks) {
  TXmlNode node;
  node.name = "Die \xC4rzte";
  node.notes = "one\r\ntwo\r\n\r\nthree";
  node.storeXML(dir.file("n.xml"));
  TXmlNode back;
  back.name = "stale";
  back.setFileName(dir.file("n.xml"));
  back.loadXML();
  EXPECT_EQ(back.initializeCalls, 1);
  EXPECT_EQ(back.name, "Die \xC4rzte");
  EXPECT_EQ(back.notes, "one\r\ntwo\r\n\r\nthree");
}

TEST_F(XmlPersistentTest, LoadXmlPassesTheDocumentElementNotALeadingComment) {
  testutil::writeFile(dir.file("c.xml"),
                      kDecl + "<!-- exported -->\r\n<NODE NAME=\"x\"><NOTES></NOTES></NODE>");
  TXmlNode node;
  node.loadXML(dir.file("c.xml"));
  EXPECT_EQ(node.lastTag, u"NODE");
  EXPECT_EQ(node.name, "x");
  EXPECT_EQ(node.notes, "");
}

TEST_F(XmlPersistentTest, LoadXmlOfDocumentWithoutElementFailsInFromXml) {
  std::unique_ptr<TDomDocument> document = TXMLHelper::getInstance().createDocument("default");
  document->clear();
  document->appendChild(document->createComment(u"only"));
  TXmlNode node;
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(document.get()); }),
            "TXMLPersistent.loadXML: (EDomException) Illegal base tag for a node.");
  EXPECT_EQ(node.lastTag, u"(null)");
}

TEST_F(XmlPersistentTest, FromXmlFailureThroughLoadXmlIsWrappedTwice) {
  testutil::writeFile(dir.file("w.xml"), "<OTHER/>");
  TXmlNode node;
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(dir.file("w.xml")); }),
            "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) "
            "Illegal base tag for a node.");
  testutil::writeFile(dir.file("m.xml"), "<NODE NAME=\"x\"></NODE>");
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(dir.file("m.xml")); }),
            "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) "
            "Element 'NODE' has no child 'NOTES'.");
}

TEST_F(XmlPersistentTest, ParseFailureNamesFileLineAndColumn) {
  std::string path = dir.file("bad.xml");
  testutil::writeFile(path, "<NODE>\n<NOTES></NODE>");
  TXmlNode node;
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(path); }),
            "TXMLPersistent.loadXML: (IOException) TXMLHelper.DOMToFile: File \"" + path +
                "\", line 2, column 10: mismatched tag, end tag of element 'NOTES' expected.");
  std::string missing = dir.file("missing.xml");
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(missing); }),
            "TXMLPersistent.loadXML: (IOException) TXMLHelper.DOMToFile: TXmlToDomParser.fileToDom: "
            "Cannot open file '" +
                missing + "': No such file or directory.");
  EXPECT_EQ(messageOf<IOException>([&] { node.loadXML(std::string()); }),
            "TXMLPersistent.loadXML: (IOException) TXMLHelper.DOMToFile: Filename not specified.");
}

TEST_F(XmlPersistentTest, FailedWriteLeavesTheOldFileAndNoTemporary) {
  std::string path = dir.file("keep.xml");
  testutil::writeFile(path, "old contents");
  TXmlNode node;
  node.name = "new";
  platform::faults::failNthWrite(1);
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(path); }),
            "TXMLPersistent.storeXML: (IOException) TXMLHelper.DOMToFile: Cannot write '" + path +
                "': Input/output error");
  platform::faults::reset();
  EXPECT_EQ(testutil::readFile(path), "old contents");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.xml"});
  testutil::expectOldOrNewUnderFaults(
      dir, path, [&] { testutil::writeFile(path, "old contents"); }, [&] { node.storeXML(path); });
}

TEST_F(XmlPersistentTest, UnpairedSurrogateFailsTheStoreAndKeepsTheOldFile) {
  std::string path = dir.file("keep.xml");
  testutil::writeFile(path, "old contents");
  TXmlNode node;
  node.rawName = std::u16string{u'a', 0xD800};
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(path); }),
            "TXMLPersistent.storeXML: (IOException) TXMLHelper.DOMToFile: High surrogate D800 without low "
            "surrogate.");
  EXPECT_EQ(testutil::readFile(path), "old contents");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.xml"});
}

TEST_F(XmlPersistentTest, ReadOnlyTargetAndMissingDirectoryAreRefused) {
  std::string path = dir.file("ro.xml");
  testutil::writeFile(path, "old contents");
  chmod(path.c_str(), 0444);
  TXmlNode node;
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(path); }),
            "TXMLPersistent.storeXML: (IOException) TXMLHelper.DOMToFile: Cannot create '" + path +
                "': Permission denied");
  EXPECT_EQ(testutil::readFile(path), "old contents");
  std::string nowhere = dir.file("no/such/dir.xml");
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(nowhere); }),
            "TXMLPersistent.storeXML: (IOException) TXMLHelper.DOMToFile: Cannot create '" + nowhere +
                "': No such file or directory");
}

TEST_F(XmlPersistentTest, StoreXmlOfMissingElementOrBadRootName) {
  TXmlNode node;
  node.returnNull = true;
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(dir.file("x.xml")); }),
            "TXMLPersistent.storeXML: (ENot_Supported_Err) Not supported error.");
  node.returnNull = false;
  EXPECT_EQ(messageOf<IOException>([&] { node.storeXML(dir.file("x.xml"), "bad root"); }),
            "TXMLPersistent.storeXML: (EInvalid_Character_Err) Invalid character error.");
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(XmlPersistentTest, StoreHtmlWritesToHtmlAndNamesStoreXmlInFailures) {
  TXmlNode node;
  node.name = "<b>";
  node.setFileName(dir.file("h.html"));
  node.storeHTML();
  EXPECT_EQ(testutil::readFile(dir.file("h.html")), kDecl + "<P>&#60;b&#62;</P>\r\n");
  expectXmllintAccepts(dir.file("h.html"));
  EXPECT_EQ(messageOf<IOException>([&] { node.storeHTML(dir.file("h.html"), "1bad"); }),
            "THTMLPersistent.storeXML: (EInvalid_Character_Err) Invalid character error.");
}

TEST(XmlHelperTest, OneHelperServesTheProcess) {
  TXMLHelper& helper = TXMLHelper::getInstance();
  EXPECT_EQ(&helper, &TXMLHelper::getInstance());
  std::size_t before = helper.implementation()->documents().size();
  {
    std::unique_ptr<TDomDocument> document = helper.createDocument("default");
    EXPECT_EQ(document->documentElement()->tagName(), u"default");
    EXPECT_EQ(helper.implementation()->documents().size(), before + 1);
  }
  EXPECT_EQ(helper.implementation()->documents().size(), before);
}

TEST(XmlHelperTest, GetChildElementFindsDescendantsInDocumentOrder) {
  TXMLHelper& helper = TXMLHelper::getInstance();
  std::unique_ptr<TDomDocument> d = helper.createDocument("CARRIER");
  TDomElement* carrier = d->documentElement();
  TDomElement* titles = d->createElement(u"TITLES");
  TDomElement* first = d->createElement(u"TITLE");
  TDomElement* second = d->createElement(u"TITLE");
  carrier->appendChild(titles);
  titles->appendChild(first);
  carrier->appendChild(second);
  EXPECT_EQ(helper.getChildElement(carrier, "TITLE"), first);  // a grandchild
  EXPECT_EQ(helper.getChildElement(carrier, u"TITLES"), titles);
  EXPECT_EQ(messageOf<EDomException>([&] { helper.getChildElement(carrier, "NOTES"); }),
            "Element 'CARRIER' has no child 'NOTES'.");
  EXPECT_EQ(messageOf<EDomException>([&] { helper.getChildElement(carrier, "CARRIER"); }),
            "Element 'CARRIER' has no child 'CARRIER'.");
}

TEST(XmlHelperTest, ExpandLineBreaksTurnsPairsOfLineFeedsIntoCrLf) {
  EXPECT_EQ(TXMLHelper::expandLineBreaks("a\n\nb"), "a\r\nb");
  EXPECT_EQ(TXMLHelper::expandLineBreaks("a\nb"), "a\nb");
  EXPECT_EQ(TXMLHelper::expandLineBreaks("\n\n\n"), "\r\n\n");
  EXPECT_EQ(TXMLHelper::expandLineBreaks("\n\n\n\n"), "\r\n\r\n");
  EXPECT_EQ(TXMLHelper::expandLineBreaks("no breaks"), "no breaks");
  EXPECT_EQ(TXMLHelper::expandLineBreaks(""), "");
}

TEST(XmlHelperTest, DomToFileAndFileToDomRoundTrip) {
  testutil::TempDir dir;
  TXMLHelper& helper = TXMLHelper::getInstance();
  std::unique_ptr<TDomDocument> d = helper.createDocument("VOSKO");
  d->documentElement()->setAttribute(u"VERSION", u"1.1.0");
  helper.DOMToFile(d.get(), dir.file("v.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("v.xml")), kDecl + "<VOSKO VERSION=\"1.1.0\"></VOSKO>\r\n");
  std::unique_ptr<TDomDocument> back = helper.fileToDOM(dir.file("v.xml"));
  EXPECT_EQ(back->documentElement()->getAttribute(u"VERSION"), u"1.1.0");
  EXPECT_EQ(messageOf<IOException>([&] { helper.DOMToFile(nullptr, dir.file("n.xml")); }),
            "TXMLHelper.DOMToFile: Document not specified.");
}

}  // namespace
