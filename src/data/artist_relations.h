// TArtistRelations, the artist-relations database: named TArtistRelation
// objects in a string table, which the database owns with its relations.
// Its binary file is the header
// "[Application:Vosko.Type:ArtistRelations-Database.Version:0.5]" and the
// table (object "TStringtable"); its XML form a "VOSKO" element whose
// VERSION is that header, with one "ARTISTRELATION" child per relation.
#pragma once

#include <memory>
#include <string>

#include "basis/hash_set.h"
#include "data/artist_relation.h"
#include "data/relations_persistent.h"

class TStringCollection;
class TStringtable;

class TArtistRelations : public TRelationsPersistent {
 public:
  VOSKO_CLASS_NAME(TArtistRelations)

  TArtistRelations();
  ~TArtistRelations() override;

  // Relation name (TString) to its TArtistRelation; owns both.
  std::unique_ptr<TStringtable> relations;

  // Replaces the table by the one stored; its values must be relations.
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Keeps an existing table.
  void initialize() override;

  // Replaces the relations by the "ARTISTRELATION" elements below a "VOSKO"
  // element of the right VERSION; the first relation of a name wins.
  // Failures are not wrapped.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  // Removes and frees the relation; true when there was one.
  bool removeRelation(const std::string& name);
  bool containsRelation(const std::string& name) const;
  // Moves the relation to the new name, which it takes as its own name too.
  // A missing relation raises the table's InvalidKeyException; a new name
  // that another relation has already raises IllegalArgumentException
  // "TArtistRelations.renameRelation: Relation <newName> already exists.".
  void renameRelation(const std::string& oldName, const std::string& newName);
  // The relation of that name, entered as a new non-symmetric one when
  // missing; owned by the database.
  TArtistRelation* getRelation(const std::string& name);
  std::unique_ptr<TStringCollection> getRelationNames() const;
  // getRelatedArtists(artist, false).
  std::unique_ptr<TStringSet> getRelatedArtists(const std::string& artist);
  // The union of every enabled relation's answer, a new set owned by the
  // caller. Enters the artist with an empty set into every enabled relation
  // that did not know it.
  std::unique_ptr<TStringSet> getRelatedArtists(const std::string& artist, bool transitive);
};
