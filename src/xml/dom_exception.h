// The exceptions of the document object model. `EDomException` is the base;
// the model classes raise it directly with messages of their own when an
// element does not have the expected form. Each subclass stands for one DOM
// exception code and carries that code's fixed text unless given another.
#pragma once

#include <string>

#include "platform/exception.h"
#include "platform/export.h"

// The base of the model's exceptions; also raised itself for an element
// without the expected form.
VOSKO_EXCEPTION(EDomException, Exception);

// A DOM exception code: the default message is the code's fixed text.
#define VOSKO_DOM_EXCEPTION(Name, text)                                       \
  class VOSKO_API Name : public EDomException {                               \
   public:                                                                    \
    Name() : EDomException(text) {}                                           \
    explicit Name(std::string message) : EDomException(std::move(message)) {} \
    const char* className() const noexcept override { return #Name; }         \
  }

// An index or a size beyond what a node or a document can hold.
VOSKO_DOM_EXCEPTION(EIndex_Size_Err, "Index size error.");
// A node inserted where it may not stand: under a node that holds no
// children, under itself, or as a second root element or document type.
VOSKO_DOM_EXCEPTION(EHierarchy_Request_Err, "Hierarchy request error.");
// A node used in a document other than the one that made it.
VOSKO_DOM_EXCEPTION(EWrong_Document_Err, "Wrong document error.");
// A name that is not an XML name.
VOSKO_DOM_EXCEPTION(EInvalid_Character_Err, "Invalid character error.");
// A change to a node that may not be changed.
VOSKO_DOM_EXCEPTION(ENo_Modification_Allowed_Err, "No modification allowed error.");
// A node asked for where it is not, such as a reference child that is no child.
VOSKO_DOM_EXCEPTION(ENot_Found_Err, "Not found error.");
// An operation or an argument the model does not take, such as a null node.
VOSKO_DOM_EXCEPTION(ENot_Supported_Err, "Not supported error.");
// An attribute added to an element while it belongs to another.
VOSKO_DOM_EXCEPTION(EInuse_Attribute_Err, "Inuse attribute error.");
// An object used that is not, or no longer, usable.
VOSKO_DOM_EXCEPTION(EInvalid_State_Err, "Invalid state error.");
// A text that does not have the syntax asked for.
VOSKO_DOM_EXCEPTION(ESyntax_Err, "Syntax error.");
// A name whose prefix and namespace do not fit together.
VOSKO_DOM_EXCEPTION(ENamespace_Err, "Namespace error.");
// An operation the object underneath does not support.
VOSKO_DOM_EXCEPTION(EInvalid_Access_Err, "Invalid access error.");
// A node added somewhere while it is in use elsewhere.
VOSKO_DOM_EXCEPTION(EInuse_Node_Err, "Inuse node error.");
// A content model changed while a document uses it.
VOSKO_DOM_EXCEPTION(EInuse_Content_Model_Err, "Inuse content model error.");
// A reference to an entity that cannot be resolved.
VOSKO_DOM_EXCEPTION(EInvalid_Entity_Reference_Err, "Invalid entity reference error.");
// A document in a format the model does not read.
VOSKO_DOM_EXCEPTION(EUnknown_Document_Format_Err, "Unknown document format error.");

#undef VOSKO_DOM_EXCEPTION
