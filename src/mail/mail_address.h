// TMailAddress, a checked mail address with an optional display name. The
// address always passes isValid once set; the name is free text.
#pragma once

#include <memory>
#include <string>

#include "basis/mapped_object.h"
#include "mail/mail_exceptions.h"
#include "platform/export.h"

// A checked mail address and the display name shown with it.
class VOSKO_API TMailAddress : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TMailAddress)

  // As TMailAddress("", address).
  explicit TMailAddress(const std::string& address);
  // setName(name), then setAddress(address).
  TMailAddress(const std::string& name, const std::string& address);

  // At least 3 characters, the first "@" neither first nor last, no blank.
  static bool isValid(const std::string& address);
  // Raises IllegalMailAddressException "TMailAddress: Illegal address: '<address>'."
  // when the address is not valid.
  void setAddress(const std::string& address);
  void setName(const std::string& name) { name_ = name; }
  const std::string& getAddress() const { return address_; }
  const std::string& getName() const { return name_; }

  // A new address from free text such as `Vosko Debug <debug@example.org>`:
  // the first token (split at blank, "<", ">", '"' and "'") holding "@" is
  // the address, the tokens before it joined by one blank are the name, and
  // the rest is ignored. Raises IllegalMailAddressException
  // "TMailAddress: Illegal address: '<text>.'" when there is no token, and
  // setAddress's message for an empty address when no token holds "@".
  static std::unique_ptr<TMailAddress> parse(const std::string& text);

  // `"name" <address>`, or the bare address when the name is empty.
  std::string toString() const override;
  bool equals(const TMappedObject* obj) const override;
  std::unique_ptr<TMappedObject> clone() const override;

 private:
  std::string name_;
  std::string address_;
};
