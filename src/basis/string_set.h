// TStringSet, the THashSet of TString elements: the artist sets of the
// relations are made of it. Every string operation wraps its string in a
// TString. It owns its elements, also when the class registry makes it, so a
// string added twice is dropped the second time.
#pragma once

#include <memory>
#include <string>

#include "basis/hash_set.h"
#include "platform/export.h"

class TStringCollection;

// The owning set of TString elements, with operations that take plain strings.
class VOSKO_API TStringSet : public THashSet {
 public:
  VOSKO_CLASS_NAME(TStringSet)

  TStringSet();

  using THashSet::add;
  using THashSet::addAll;
  using THashSet::contains;
  using THashSet::remove;

  virtual bool contains(const std::string& s) const;
  // Adds a new TString(s); a duplicate is dropped.
  virtual bool add(const std::string& s);
  // Each line of the collection.
  virtual void addAll(const TStringCollection& lines);
  // The value of every element of `set`, in its iteration order; an element
  // that is not a TString raises IllegalStateException
  // "TStringSet.addStrings: Illegal object: <Class>.".
  virtual void addStrings(const THashSet& set);
  virtual bool remove(const std::string& s);
  // toString() of every element in iteration order.
  std::unique_ptr<TStringCollection> toStringCollection() const;

  std::unique_ptr<TMappedObject> clone() const override;
};
