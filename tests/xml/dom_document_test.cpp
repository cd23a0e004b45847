// The document object model: ownership, attribute order and values, tree
// rules and lookups.
#include "xml/dom_document.h"

#include <gtest/gtest.h>

#include "xml/dom_exception.h"
#include "xml/dom_implementation.h"

namespace {

std::u16string names(const TDomNodeList& list) {
  std::u16string out;
  for (TDomNode* n : list) out += n->nodeName() + u";";
  return out;
}

class DomTest : public ::testing::Test {
 protected:
  TDomImplementation implementation;
  std::unique_ptr<TDomDocument> doc = implementation.createEmptyDocument();
};

TEST(DomExceptionTest, EachCodeHasItsFixedMessageAndName) {
  EXPECT_EQ(EHierarchy_Request_Err().message(), "Hierarchy request error.");
  EXPECT_EQ(EInvalid_Character_Err().message(), "Invalid character error.");
  EXPECT_EQ(EWrong_Document_Err().message(), "Wrong document error.");
  EXPECT_EQ(ENot_Supported_Err().message(), "Not supported error.");
  EXPECT_EQ(ENo_Modification_Allowed_Err().message(), "No modification allowed error.");
  EXPECT_EQ(ENamespace_Err().message(), "Namespace error.");
  EXPECT_EQ(ENot_Found_Err().message(), "Not found error.");
  EXPECT_STREQ(EHierarchy_Request_Err().className(), "EHierarchy_Request_Err");
  EXPECT_STREQ(EUnknown_Document_Format_Err().className(), "EUnknown_Document_Format_Err");
  // The model raises the base class with texts of its own.
  EDomException own("Illegal base tag for a vosko title.");
  EXPECT_EQ(own.message(), "Illegal base tag for a vosko title.");
  EXPECT_STREQ(own.className(), "EDomException");
  EXPECT_EQ(platform::wrapMessage("TTitle.fromXML", EInuse_Node_Err()),
            "TTitle.fromXML: (EInuse_Node_Err) Inuse node error.");
}

TEST_F(DomTest, NodeTypesCarryTheDomNumbers) {
  EXPECT_EQ(static_cast<int>(doc->createElement(u"E")->nodeType()), 1);
  EXPECT_EQ(static_cast<int>(doc->createAttribute(u"A")->nodeType()), 2);
  EXPECT_EQ(static_cast<int>(doc->createTextNode(u"t")->nodeType()), 3);
  EXPECT_EQ(static_cast<int>(doc->createCDATASection(u"c")->nodeType()), 4);
  EXPECT_EQ(static_cast<int>(doc->createEntityReference(u"amp")->nodeType()), 5);
  EXPECT_EQ(static_cast<int>(doc->createProcessingInstruction(u"pi", u"d")->nodeType()), 7);
  EXPECT_EQ(static_cast<int>(doc->createComment(u"c")->nodeType()), 8);
  EXPECT_EQ(static_cast<int>(doc->nodeType()), 9);
  EXPECT_EQ(static_cast<int>(doc->createDocumentType(u"D", u"", u"")->nodeType()), 10);
  EXPECT_EQ(static_cast<int>(doc->createDocumentFragment()->nodeType()), 11);
  EXPECT_EQ(doc->createTextNode(u"x")->nodeName(), u"#text");
  EXPECT_EQ(doc->createComment(u"x")->nodeName(), u"#comment");
  EXPECT_EQ(doc->createCDATASection(u"x")->nodeName(), u"#cdata-section");
  EXPECT_EQ(doc->nodeName(), u"#document");
  EXPECT_EQ(doc->createElement(u"E")->nodeValue(), u"");
  EXPECT_EQ(doc->ownerDocument(), nullptr);
}

TEST_F(DomTest, CreateDocumentGivesRootElementAndRefusesBadNames) {
  auto made = implementation.createDocument(u"default", nullptr);
  ASSERT_NE(made->documentElement(), nullptr);
  EXPECT_EQ(made->documentElement()->tagName(), u"default");
  EXPECT_EQ(made->firstChild(), made->documentElement());
  EXPECT_TRUE(made->xmlVersion().empty());
  EXPECT_TRUE(made->xmlStandalone().empty());
  EXPECT_THROW(implementation.createDocument(u"1abc", nullptr), EInvalid_Character_Err);
  EXPECT_THROW(implementation.createDocument(u"", nullptr), EInvalid_Character_Err);
  EXPECT_THROW(implementation.createDocument(u"a b", nullptr), EInvalid_Character_Err);
  EXPECT_THROW(doc->createElement(u"<x>"), EInvalid_Character_Err);
  EXPECT_THROW(doc->createElement(u"E")->setAttribute(u"1a", u"b"), EInvalid_Character_Err);
}

TEST_F(DomTest, CreateDocumentCopiesTheDoctypeBeforeTheRoot) {
  TDomDocumentType* type = implementation.createDocumentType(u"VOSKO", u"-//T//V", u"vosko.dtd");
  auto made = implementation.createDocument(u"VOSKO", type);
  ASSERT_NE(made->doctype(), nullptr);
  EXPECT_EQ(made->firstChild(), made->doctype());
  EXPECT_EQ(made->doctype()->publicId(), u"-//T//V");
  EXPECT_EQ(made->doctype()->systemId(), u"vosko.dtd");
  EXPECT_EQ(made->doctype()->nextSibling(), made->documentElement());
}

TEST_F(DomTest, ImplementationListsTheLivingDocuments) {
  auto second = implementation.createDocument(u"R", nullptr);
  ASSERT_EQ(implementation.documents().size(), 2u);
  EXPECT_EQ(implementation.documents()[1], second.get());
  second.reset();
  ASSERT_EQ(implementation.documents().size(), 1u);
  EXPECT_EQ(implementation.documents()[0], doc.get());
}

TEST_F(DomTest, DocumentOutlivingItsImplementationIsStillUsable) {
  std::unique_ptr<TDomDocument> survivor;
  {
    TDomImplementation shortLived;
    survivor = shortLived.createDocument(u"R", nullptr);
  }
  EXPECT_EQ(survivor->domImplementation(), nullptr);
  EXPECT_EQ(survivor->documentElement()->tagName(), u"R");
}

TEST_F(DomTest, AttributesKeepFirstSetOrderAndAreReplacedInPlace) {
  TDomElement* e = doc->createElement(u"TITLE");
  e->setAttribute(u"NAME", u"A");
  e->setAttribute(u"TRACK", u"3");
  e->setAttribute(u"URL", u"");
  e->setAttribute(u"NAME", u"B");
  EXPECT_EQ(names(e->attributes()), u"NAME;TRACK;URL;");
  EXPECT_EQ(e->getAttribute(u"NAME"), u"B");
  EXPECT_EQ(e->getAttribute(u"URL"), u"");
  EXPECT_TRUE(e->hasAttribute(u"URL"));
  EXPECT_EQ(e->getAttribute(u"MISSING"), u"");
  EXPECT_FALSE(e->hasAttribute(u"MISSING"));
  EXPECT_EQ(e->getAttributeNode(u"TRACK")->ownerElement(), e);
  e->removeAttribute(u"TRACK");
  EXPECT_EQ(names(e->attributes()), u"NAME;URL;");
  e->setAttribute(u"TRACK", u"4");
  EXPECT_EQ(names(e->attributes()), u"NAME;URL;TRACK;");
}

TEST_F(DomTest, AttributeValueIsHeldAsTextChildren) {
  TDomElement* e = doc->createElement(u"E");
  e->setAttribute(u"A", u"v1");
  TDomAttr* attr = e->getAttributeNode(u"A");
  ASSERT_NE(attr->firstChild(), nullptr);
  EXPECT_EQ(attr->firstChild()->nodeType(), TDomNodeType::Text);
  EXPECT_EQ(attr->firstChild()->nodeValue(), u"v1");
  EXPECT_EQ(attr->firstChild()->nextSibling(), nullptr);
  // Several children make one value; attributes are nobody's children.
  attr->appendChild(doc->createTextNode(u"+v2"));
  EXPECT_EQ(e->getAttribute(u"A"), u"v1+v2");
  EXPECT_EQ(attr->nodeValue(), u"v1+v2");
  EXPECT_EQ(attr->parentNode(), nullptr);
  EXPECT_EQ(e->firstChild(), nullptr);
  EXPECT_THROW(attr->appendChild(doc->createElement(u"X")), EHierarchy_Request_Err);
  EXPECT_THROW(e->appendChild(attr), EHierarchy_Request_Err);
  e->setAttribute(u"A", u"");
  EXPECT_EQ(attr->firstChild(), nullptr);
}

TEST_F(DomTest, ValuesKeepEveryUtf16Unit) {
  // Lone and reversed surrogates survive storage unchanged.
  std::u16string odd =
      u"a\xD800"
      u"b\xDC00\xD800\U0001F600\uFFFF\u0001";
  TDomText* t = doc->createTextNode(odd);
  EXPECT_EQ(t->data(), odd);
  t->setNodeValue(u"x");
  EXPECT_EQ(t->nodeValue(), u"x");
}

TEST_F(DomTest, GetElementsByTagNameWalksDescendantsInDocumentOrder) {
  TDomElement* root = doc->createElement(u"R");
  doc->appendChild(root);
  TDomElement* a1 = doc->createElement(u"A");
  TDomElement* b = doc->createElement(u"B");
  TDomElement* a2 = doc->createElement(u"A");
  TDomElement* a3 = doc->createElement(u"A");
  root->appendChild(a1);
  a1->appendChild(a2);
  root->appendChild(b);
  b->appendChild(a3);
  a1->setAttribute(u"N", u"1");
  a2->setAttribute(u"N", u"2");
  a3->setAttribute(u"N", u"3");
  TDomNodeList list = root->getElementsByTagName(u"A");
  ASSERT_EQ(list.length(), 3u);
  EXPECT_EQ(list.item(0), a1);
  EXPECT_EQ(list.item(1), a2);
  EXPECT_EQ(list.item(2), a3);
  EXPECT_EQ(list.item(3), nullptr);
  EXPECT_EQ(a1->getElementsByTagName(u"A").length(), 1u);  // not itself
  EXPECT_EQ(names(root->getElementsByTagName(u"*")), u"A;A;B;A;");
  EXPECT_EQ(doc->getElementsByTagName(u"R").length(), 1u);
  EXPECT_EQ(root->getElementsByTagName(u"NEVER").length(), 0u);
}

TEST_F(DomTest, FindFirstChildElementDoesNotLookBelowTheChildren) {
  TDomElement* root = doc->createElement(u"R");
  TDomElement* inner = doc->createElement(u"X");
  TDomElement* deep = doc->createElement(u"TOCS");
  root->appendChild(doc->createTextNode(u"t"));
  root->appendChild(inner);
  inner->appendChild(deep);
  EXPECT_EQ(root->findFirstChildElement(u"X"), inner);
  EXPECT_EQ(root->findFirstChildElement(u"TOCS"), nullptr);
  EXPECT_EQ(inner->findFirstChildElement(u"TOCS"), deep);
}

TEST_F(DomTest, DocumentAcceptsOnlyOneElementAndItsOwnKindsOfChildren) {
  EXPECT_EQ(doc->documentElement(), nullptr);
  doc->appendChild(doc->createComment(u"lead"));
  doc->appendChild(doc->createProcessingInstruction(u"pi", u""));
  TDomElement* root = doc->createElement(u"R");
  doc->appendChild(root);
  EXPECT_EQ(doc->documentElement(), root);
  EXPECT_EQ(doc->firstChild()->nodeType(), TDomNodeType::Comment);
  try {
    doc->appendChild(doc->createElement(u"SECOND"));
    FAIL();
  } catch (const EHierarchy_Request_Err& e) {
    EXPECT_EQ(e.message(), "Hierarchy request error.");
  }
  EXPECT_THROW(doc->appendChild(doc->createTextNode(u"t")), EHierarchy_Request_Err);
  EXPECT_THROW(doc->appendChild(doc->createCDATASection(u"t")), EHierarchy_Request_Err);
  EXPECT_THROW(doc->appendChild(doc->createEntityReference(u"e")), EHierarchy_Request_Err);
  EXPECT_THROW(doc->appendChild(doc->createAttribute(u"a")), EHierarchy_Request_Err);
  // A document type only before the element, and only one.
  EXPECT_THROW(doc->appendChild(doc->createDocumentType(u"R", u"", u"")), EHierarchy_Request_Err);
  doc->insertBefore(doc->createDocumentType(u"R", u"", u""), root);
  EXPECT_NE(doc->doctype(), nullptr);
  EXPECT_THROW(doc->insertBefore(doc->createDocumentType(u"R", u"", u""), root), EHierarchy_Request_Err);
  try {
    doc->appendChild(nullptr);
    FAIL();
  } catch (const ENot_Supported_Err& e) {
    EXPECT_EQ(e.message(), "Not supported error.");
  }
  // Re-appending the one element moves it, which is allowed.
  doc->appendChild(root);
  EXPECT_EQ(doc->lastChild(), root);
}

TEST_F(DomTest, FragmentGivesUpItsChildren) {
  TDomElement* root = doc->createElement(u"R");
  TDomDocumentFragment* fragment = doc->createDocumentFragment();
  fragment->appendChild(doc->createElement(u"A"));
  fragment->appendChild(doc->createTextNode(u"t"));
  root->appendChild(fragment);
  EXPECT_EQ(fragment->firstChild(), nullptr);
  EXPECT_EQ(names(root->childNodes()), u"A;#text;");
  TDomDocumentFragment* two = doc->createDocumentFragment();
  two->appendChild(doc->createElement(u"X"));
  two->appendChild(doc->createElement(u"Y"));
  EXPECT_THROW(doc->appendChild(two), EHierarchy_Request_Err);
  EXPECT_EQ(doc->firstChild(), nullptr);
}

TEST_F(DomTest, TreeRulesRefuseCyclesForeignNodesAndMissingReferences) {
  TDomElement* a = doc->createElement(u"A");
  TDomElement* b = doc->createElement(u"B");
  a->appendChild(b);
  EXPECT_THROW(b->appendChild(a), EHierarchy_Request_Err);
  EXPECT_THROW(a->appendChild(a), EHierarchy_Request_Err);
  auto other = implementation.createEmptyDocument();
  EXPECT_THROW(a->appendChild(other->createElement(u"X")), EWrong_Document_Err);
  EXPECT_THROW(doc->createTextNode(u"t")->appendChild(doc->createTextNode(u"u")), EHierarchy_Request_Err);
  EXPECT_THROW(a->insertBefore(doc->createElement(u"C"), doc->createElement(u"D")), ENot_Found_Err);
  EXPECT_THROW(a->removeChild(doc->createElement(u"D")), ENot_Found_Err);
}

TEST_F(DomTest, MovingAndRemovingKeepsSiblingLinksRight) {
  TDomElement* root = doc->createElement(u"R");
  TDomElement* a = doc->createElement(u"A");
  TDomElement* b = doc->createElement(u"B");
  TDomElement* c = doc->createElement(u"C");
  root->appendChild(a);
  root->appendChild(b);
  root->appendChild(c);
  root->insertBefore(c, a);
  EXPECT_EQ(names(root->childNodes()), u"C;A;B;");
  EXPECT_EQ(root->lastChild(), b);
  EXPECT_EQ(b->previousSibling(), a);
  EXPECT_EQ(c->previousSibling(), nullptr);
  EXPECT_EQ(root->removeChild(b), b);
  EXPECT_EQ(root->lastChild(), a);
  EXPECT_EQ(a->nextSibling(), nullptr);
  EXPECT_EQ(b->parentNode(), nullptr);
  a->appendChild(c);  // moves from root into A
  EXPECT_EQ(names(root->childNodes()), u"A;");
  EXPECT_EQ(c->parentNode(), a);
  EXPECT_EQ(c->ownerDocument(), doc.get());
}

TEST_F(DomTest, ClearReleasesEveryNodeAndLeavesNoChildren) {
  auto made = implementation.createDocument(u"default", nullptr);
  TDomElement* root = made->documentElement();
  root->setAttribute(u"A", u"1");
  root->appendChild(made->createTextNode(u"t"));
  made->clear();
  EXPECT_EQ(made->firstChild(), nullptr);
  EXPECT_EQ(made->documentElement(), nullptr);
  // The document is fully usable afterwards.
  TDomElement* x = made->createElement(u"X");
  made->appendChild(x);
  EXPECT_EQ(made->documentElement(), x);
  EXPECT_EQ(made->getElementsByTagName(u"default").length(), 0u);
}

TEST_F(DomTest, TextContentAndDomCast) {
  TDomElement* root = doc->createElement(u"R");
  root->appendChild(doc->createTextNode(u"a"));
  TDomElement* inner = doc->createElement(u"I");
  inner->appendChild(doc->createCDATASection(u"b"));
  root->appendChild(inner);
  root->appendChild(doc->createComment(u"not text"));
  root->appendChild(doc->createTextNode(u"c"));
  EXPECT_EQ(root->textContent(), u"abc");
  TDomNode* node = root;
  EXPECT_EQ(domCast<TDomElement>(node), root);
  EXPECT_EQ(domCast<TDomText>(node), nullptr);
  EXPECT_NE(domCast<TDomText>(inner->firstChild()), nullptr);  // a CDATA section is a text
  EXPECT_EQ(domCast<TDomCDATASection>(root->firstChild()), nullptr);
}

}  // namespace
