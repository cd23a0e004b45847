#include "mail/mail_address.h"

#include <vector>

#include "platform/message_value.h"

namespace {

std::string illegalAddress(const std::string& quoted) {
  return "TMailAddress: Illegal address: '" + platform::messageValue(quoted);
}

std::vector<std::string> splitTokens(const std::string& text) {
  static const std::string kDelimiters = " <>\"'";
  std::vector<std::string> tokens;
  size_t pos = 0;
  while (true) {
    size_t begin = text.find_first_not_of(kDelimiters, pos);
    if (begin == std::string::npos) return tokens;
    size_t end = text.find_first_of(kDelimiters, begin);
    tokens.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
    if (end == std::string::npos) return tokens;
    pos = end;
  }
}

}  // namespace

TMailAddress::TMailAddress(const std::string& address) : TMailAddress("", address) {}

TMailAddress::TMailAddress(const std::string& name, const std::string& address) {
  setName(name);
  setAddress(address);
}

bool TMailAddress::isValid(const std::string& address) {
  if (address.size() < 3) return false;
  size_t at = address.find('@');
  if (at == std::string::npos || at == 0 || at == address.size() - 1) return false;
  return address.find(' ') == std::string::npos;
}

void TMailAddress::setAddress(const std::string& address) {
  if (!isValid(address)) throw IllegalMailAddressException(illegalAddress(address) + "'.");
  address_ = address;
}

std::unique_ptr<TMailAddress> TMailAddress::parse(const std::string& text) {
  std::vector<std::string> tokens = splitTokens(text);
  if (tokens.empty()) throw IllegalMailAddressException(illegalAddress(text) + ".'");
  std::string name;
  std::string address;
  for (const std::string& token : tokens) {
    if (token.find('@') != std::string::npos) {
      address = token;
      break;
    }
    if (!name.empty()) name += ' ';
    name += token;
  }
  return std::make_unique<TMailAddress>(name, address);
}

std::string TMailAddress::toString() const {
  if (name_.empty()) return address_;
  return "\"" + name_ + "\" <" + address_ + ">";
}

bool TMailAddress::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const TMailAddress*>(obj);
  return other != nullptr && other->name_ == name_ && other->address_ == address_;
}

std::unique_ptr<TMappedObject> TMailAddress::clone() const {
  return std::make_unique<TMailAddress>(name_, address_);
}
