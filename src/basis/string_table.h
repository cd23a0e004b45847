// TStringtable, a THashtable keyed by TString: every string operation wraps
// its string in a TString. It owns its keys and values (also when the class
// registry makes it); a key made for put or reput is handed to the table, a
// key made for a lookup is freed again.
#pragma once

#include <memory>
#include <string>

#include "basis/hashtable.h"
#include "platform/export.h"

class TStringCollection;

// The owning table keyed by TString, with operations that take plain strings.
class VOSKO_API TStringtable : public THashtable {
 public:
  VOSKO_CLASS_NAME(TStringtable)

  TStringtable();

  using THashtable::containsKey;
  using THashtable::get;
  using THashtable::put;
  using THashtable::remove;
  using THashtable::reput;

  // The values of the TString keys in iteration order.
  virtual std::unique_ptr<TStringCollection> keyStrings() const;
  virtual bool containsKey(const std::string& s) const;
  // As THashtable::get: a missing key raises InvalidKeyException
  // "THashtable.get: Key: <s> not found.".
  virtual TMappedObject* get(const std::string& s) const;
  virtual void reput(const std::string& oldS, const std::string& newS);
  virtual std::unique_ptr<TMappedObject> put(const std::string& s, TMappedObject* value);
  // put for a value the caller hands over; it is freed here when put fails.
  std::unique_ptr<TMappedObject> put(const std::string& s, std::unique_ptr<TMappedObject> value);
  virtual std::unique_ptr<TMappedObject> remove(const std::string& s);

  std::unique_ptr<TMappedObject> clone() const override;
};
