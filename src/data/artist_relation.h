// TArtistRelation, one named relation between artists: for each first artist
// the set of second artists it is related to. The relation owns its table,
// the table its artist names and their TStringSet objects.
//
// Stored as name, symmetric (byte) and the table (object "TStringtable"); in
// XML as an "ARTISTRELATION" element with "FIRSTARTIST" children, each with
// its "SECONDARTIST" children.
#pragma once

#include <memory>
#include <string>

#include "basis/hash_set.h"
#include "data/relations_persistent.h"

class TStringCollection;
class TStringtable;

// Deletes the set only when it was handed over; a relation's own set is only lent.
struct TLentSetDeleter {
  bool owned = true;
  void operator()(TStringSet* set) const {
    if (owned) delete set;
  }
};
// A set from TArtistRelation::getRelatedArtists: the caller's own set, or one
// lent by the relation (then valid while the relation holds the artist).
using TArtistSetPtr = std::unique_ptr<TStringSet, TLentSetDeleter>;

class TArtistRelation : public TRelationsPersistent {
 public:
  VOSKO_CLASS_NAME(TArtistRelation)

  static constexpr const char* kUnknownName = "<unknown>";

  TArtistRelation();
  TArtistRelation(const std::string& name, bool symmetric);
  ~TArtistRelation() override;

  // Plain properties. `symmetric` is stored and shown only; `enabled` (not
  // stored) decides whether the relation answers for its database.
  std::string name = kUnknownName;
  bool symmetric = false;
  bool enabled = true;
  // First artist (TString) to its TStringSet of second artists; owns both.
  std::unique_ptr<TStringtable> artists;

  // Same name and flag, and a deep copy of the table.
  std::unique_ptr<TMappedObject> clone() const override;
  // Replaces the table by the one stored; its values must be sets of strings.
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Name "<unknown>", not symmetric, enabled; keeps an existing table.
  void initialize() override;

  // Replaces the relation by an "ARTISTRELATION" element's; the first
  // "FIRSTARTIST" of a name wins. Failures are not wrapped.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  bool containsArtist(const std::string& artist) const;
  // The artist's own set of second artists, lent by the relation; the caller
  // fills the relation through it. An unknown artist is entered with an empty set.
  TStringSet* getRelatedArtists(const std::string& artist);
  // Not transitive: as above, lent. Transitive: a new set of the artist and
  // every artist reachable from it, owned by the caller. Either way an
  // unknown artist is entered with an empty set.
  TArtistSetPtr getRelatedArtists(const std::string& artist, bool transitive);
  // The first artists, in the table's order.
  std::unique_ptr<TStringCollection> getArtists() const;

 private:
  std::unique_ptr<TStringSet> closure(const std::string& artist) const;
};
