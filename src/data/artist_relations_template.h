// The artist-relation classes, written once for the current model and for the
// legacy formats 2.5, 2.5.3 and 2.5.5. The versions differ only in their class
// names, which are stored in relation files and quoted in messages, and in the
// class they derive from; a small names struct supplies both:
//
//   struct Names { using Persistent = TRelationsPersistentOf<Names>;  // or TRelationsPersistent
//                  static constexpr const char* kPersistent = "TRelationsPersistent2_5_5";
//                  static constexpr const char* kRelation = "TArtistRelation2_5_5";
//                  static constexpr const char* kRelations = "TArtistRelations2_5_5"; };
//
// artist_relation.h and artist_relations.h name the current instantiations
// (TArtistRelation, TArtistRelations), each legacy artist_relations_<v>.h its
// own; the definitions live in artist_relations_template_impl.h and are
// instantiated once, in the .cpp of whoever names them. The relations header
// and the checked reading of stored tables come from TRelationsPersistent,
// which every version shares.
//
// Ownership: a relation owns its table of artists (artist name -> TStringSet
// of related names, the table owning keys and sets); the database owns its
// table of relations (name -> relation). Sets returned by the transitive
// queries are new and belong to the caller.
#pragma once

#include <memory>
#include <string>

#include "basis/string_collection.h"
#include "basis/string_set.h"
#include "basis/string_table.h"
#include "data/relations_persistent.h"
#include "platform/export.h"

// Deletes the set only when it was handed over; a relation's own set is only lent.
struct VOSKO_API TLentSetDeleter {
  bool owned = true;
  void operator()(TStringSet* set) const {
    if (owned) delete set;
  }
};
// A set from TArtistRelationOf::getRelatedArtists: the caller's own set, or
// one lent by the relation (then valid while the relation holds the artist).
using TArtistSetPtr = std::unique_ptr<TStringSet, TLentSetDeleter>;

// A legacy version's own TRelationsPersistent, differing only in its name.
template <class Names>
class VOSKO_API TRelationsPersistentOf : public TRelationsPersistent {
 public:
  static constexpr const char* kClassName = Names::kPersistent;
  const char* className() const override { return kClassName; }
};

// One named relation: for each first artist, the set of second artists it is
// related to.
template <class Names>
class VOSKO_API TArtistRelationOf : public Names::Persistent {
 public:
  static constexpr const char* kClassName = Names::kRelation;
  const char* className() const override { return kClassName; }

  static constexpr const char* kUnknownName = "<unknown>";

  TArtistRelationOf();
  TArtistRelationOf(const std::string& name, bool symmetric);

  std::string name = kUnknownName;
  // Stored and shown; the queries do not use it.
  bool symmetric = false;
  // Whether the database's queries ask this relation; not stored.
  bool enabled = true;
  // Artist -> TStringSet of related artists; created by initialize when missing.
  std::unique_ptr<TStringtable> artists;

  // A relation with the same name and flag and a deep copy of the table.
  std::unique_ptr<TMappedObject> clone() const override;
  // Replaces the table by the one stored; its values must be sets of names,
  // else IOException "<Class>.read: Illegal artist set: <Class>." or
  // "<Class>.read: Illegal artist: <Class>.".
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Keeps an existing table with its content.
  void initialize() override;
  // An "ARTISTRELATION" element; the table is cleared first. Raises
  // EDomException "Illegal base tag for a vosko artist relation." for
  // another tag and TBoolean's ParserException for a bad "SYMMETRIC".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  bool containsArtist(const std::string& artist) const;
  // The artist's own set of second artists, lent by the relation; callers
  // fill the relation through it. An unknown artist is entered with an empty set.
  TStringSet* getRelatedArtists(const std::string& artist);
  // Not transitive: as above, lent. Transitive: a new set of the artist and
  // every artist reachable from it, owned by the caller. Either way an
  // unknown artist is entered with an empty set.
  TArtistSetPtr getRelatedArtists(const std::string& artist, bool transitive);
  // The first artists, in the table's order; the caller owns the collection.
  std::unique_ptr<TStringCollection> getArtists() const;

 private:
  std::unique_ptr<TStringSet> closure(const std::string& artist) const;
};

// The relations database: relation name -> relation.
template <class Names>
class VOSKO_API TArtistRelationsOf : public Names::Persistent {
 public:
  static constexpr const char* kClassName = Names::kRelations;
  const char* className() const override { return kClassName; }

  using Relation = TArtistRelationOf<Names>;

  TArtistRelationsOf();

  // Name -> relation; created by initialize when missing.
  std::unique_ptr<TStringtable> relations;

  // Replaces the table by the one stored; its values must be relations of
  // this version, else IOException "<Class>.read: Illegal relation: <Class>.".
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Keeps an existing table with its content.
  void initialize() override;
  // A "VOSKO" element whose "VERSION" is the relations header; raises
  // EDomException "Illegal base tag for a relations database." or "Illegal
  // version of relations database.". The first relation of a name wins.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  // Removes and frees the relation; true when there was one.
  bool removeRelation(const std::string& name);
  bool containsRelation(const std::string& name) const;
  // Moves the relation to the new name, which it takes as its own name too.
  // A missing relation raises the table's InvalidKeyException; a new name
  // that another relation has already raises IllegalArgumentException
  // "<Class>.renameRelation: Relation <newName> already exists.".
  void renameRelation(const std::string& oldName, const std::string& newName);
  // The relation of that name, created (not symmetric) when missing; owned by
  // the database.
  Relation* getRelation(const std::string& name);
  std::unique_ptr<TStringCollection> getRelationNames() const;
  // The union of the answers of every enabled relation; a new set owned by
  // the caller. Enters the artist into every enabled relation that lacked it.
  std::unique_ptr<TStringSet> getRelatedArtists(const std::string& artist);
  std::unique_ptr<TStringSet> getRelatedArtists(const std::string& artist, bool transitive);
};
