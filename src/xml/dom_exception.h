// The exceptions of the document object model. `EDomException` is the base;
// the model classes raise it directly with messages of their own when an
// element does not have the expected form. Each subclass stands for one DOM
// exception code and carries that code's fixed text unless given another.
#pragma once

#include <string>

#include "platform/exception.h"

VOSKO_EXCEPTION(EDomException, Exception);

// A DOM exception code: the default message is the code's fixed text.
#define VOSKO_DOM_EXCEPTION(Name, text)                                       \
  class Name : public EDomException {                                         \
   public:                                                                    \
    Name() : EDomException(text) {}                                           \
    explicit Name(std::string message) : EDomException(std::move(message)) {} \
    const char* className() const noexcept override { return #Name; }         \
  }

VOSKO_DOM_EXCEPTION(EIndex_Size_Err, "Index size error.");
VOSKO_DOM_EXCEPTION(EHierarchy_Request_Err, "Hierarchy request error.");
VOSKO_DOM_EXCEPTION(EWrong_Document_Err, "Wrong document error.");
VOSKO_DOM_EXCEPTION(EInvalid_Character_Err, "Invalid character error.");
VOSKO_DOM_EXCEPTION(ENo_Modification_Allowed_Err, "No modification allowed error.");
VOSKO_DOM_EXCEPTION(ENot_Found_Err, "Not found error.");
VOSKO_DOM_EXCEPTION(ENot_Supported_Err, "Not supported error.");
VOSKO_DOM_EXCEPTION(EInuse_Attribute_Err, "Inuse attribute error.");
VOSKO_DOM_EXCEPTION(EInvalid_State_Err, "Invalid state error.");
VOSKO_DOM_EXCEPTION(ESyntax_Err, "Syntax error.");
VOSKO_DOM_EXCEPTION(ENamespace_Err, "Namespace error.");
VOSKO_DOM_EXCEPTION(EInvalid_Access_Err, "Invalid access error.");
VOSKO_DOM_EXCEPTION(EInuse_Node_Err, "Inuse node error.");
VOSKO_DOM_EXCEPTION(EInuse_Content_Model_Err, "Inuse content model error.");
VOSKO_DOM_EXCEPTION(EInvalid_Entity_Reference_Err, "Invalid entity reference error.");
VOSKO_DOM_EXCEPTION(EUnknown_Document_Format_Err, "Unknown document format error.");

#undef VOSKO_DOM_EXCEPTION
