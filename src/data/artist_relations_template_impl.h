// Definitions of the artist-relation templates. Included only by the .cpp
// files that instantiate them (artist_relation.cpp, artist_relations.cpp and
// each legacy artist_relations_<v>.cpp); every version's messages carry its
// own class names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "basis/array_list.h"
#include "basis/boolean_value.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"
#include "data/artist_relations_template.h"
#include "data/model_xml.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

// ---- TArtistRelationOf -------------------------------------------------------

template <class Names>
TArtistRelationOf<Names>::TArtistRelationOf() {
  TArtistRelationOf::initialize();
}

template <class Names>
TArtistRelationOf<Names>::TArtistRelationOf(const std::string& relationName, bool isSymmetric) {
  TArtistRelationOf::initialize();
  name = relationName;
  symmetric = isSymmetric;
}

template <class Names>
void TArtistRelationOf<Names>::initialize() {
  name = kUnknownName;
  symmetric = false;
  enabled = true;
  if (!artists) artists = std::make_unique<TStringtable>();
  artists->setOwnsObjects(true);
}

template <class Names>
std::unique_ptr<TMappedObject> TArtistRelationOf<Names>::clone() const {
  auto copy = std::make_unique<TArtistRelationOf>(name, symmetric);
  copy->artists = cloneAs<TStringtable>(*artists);
  return copy;
}

template <class Names>
void TArtistRelationOf<Names>::writeTo(TFile& file) {
  file.writeString(name);
  file.writeBoolean(symmetric);
  file.writeTPObject(*artists);
}

template <class Names>
void TArtistRelationOf<Names>::readFrom(TFile& file) {
  const std::string where = std::string(kClassName) + ".read";
  name = file.readString();
  symmetric = file.readBoolean();
  std::unique_ptr<TStringtable> table = this->readStringtable(file, where);
  // Every value is handed out as a set of names later on.
  std::unique_ptr<TArrayList> sets = table->values();
  for (int32_t i = 0; i < sets->size(); ++i) {
    auto* set = dynamic_cast<TStringSet*>(sets->get(i));
    if (set == nullptr) throw IOException(where + ": Illegal artist set: " + sets->get(i)->className() + ".");
    set->setOwnsObjects(true);
    std::unique_ptr<TArrayList> names = set->toList();
    for (int32_t j = 0; j < names->size(); ++j) {
      if (dynamic_cast<TString*>(names->get(j)) == nullptr) {
        throw IOException(where + ": Illegal artist: " + names->get(j)->className() + ".");
      }
    }
  }
  artists = std::move(table);
  enabled = true;
}

template <class Names>
bool TArtistRelationOf<Names>::containsArtist(const std::string& artist) const {
  return artists->containsKey(artist);
}

template <class Names>
TStringSet* TArtistRelationOf<Names>::getRelatedArtists(const std::string& artist) {
  if (!artists->containsKey(artist)) {
    artists->put(artist, std::make_unique<TStringSet>());
  }
  return static_cast<TStringSet*>(artists->get(artist));
}

template <class Names>
TArtistSetPtr TArtistRelationOf<Names>::getRelatedArtists(const std::string& artist, bool transitive) {
  TStringSet* own = getRelatedArtists(artist);
  if (!transitive) return TArtistSetPtr(own, TLentSetDeleter{false});
  return TArtistSetPtr(closure(artist).release(), TLentSetDeleter{true});
}

template <class Names>
std::unique_ptr<TStringSet> TArtistRelationOf<Names>::closure(const std::string& artist) const {
  // The recursive closure, unrolled onto a stack of its own so that a long
  // chain of artists cannot exhaust the call stack; the names are visited and
  // merged in the same order as the recursion would.
  struct Frame {
    std::unique_ptr<TStringSet> result;
    std::vector<std::string> snapshot;
    size_t next = 0;
  };
  TStringSet visited;
  std::vector<Frame> stack;
  auto open = [&](const std::string& artistName) {
    Frame frame;
    if (artists->containsKey(artistName)) {
      frame.result = cloneAs<TStringSet>(*static_cast<TStringSet*>(artists->get(artistName)));
    } else {
      frame.result = std::make_unique<TStringSet>();
    }
    frame.result->add(artistName);
    visited.add(artistName);
    frame.snapshot = frame.result->toStringCollection()->strings();
    stack.push_back(std::move(frame));
  };

  open(artist);
  for (;;) {
    Frame& top = stack.back();
    while (top.next < top.snapshot.size() && visited.contains(top.snapshot[top.next])) ++top.next;
    if (top.next < top.snapshot.size()) {
      open(top.snapshot[top.next++]);
      continue;
    }
    std::unique_ptr<TStringSet> done = std::move(top.result);
    stack.pop_back();
    if (stack.empty()) return done;
    stack.back().result->addStrings(*done);
  }
}

template <class Names>
std::unique_ptr<TStringCollection> TArtistRelationOf<Names>::getArtists() const {
  return artists->keyStrings();
}

template <class Names>
void TArtistRelationOf<Names>::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"ARTISTRELATION")) {
    throw EDomException("Illegal base tag for a vosko artist relation.");
  }
  name = modelxml::attribute(element, u"NAME");
  symmetric = TBoolean::fromString(modelxml::attribute(element, u"SYMMETRIC"));
  std::vector<TDomElement*> firsts = modelxml::elementsBelow(element, u"FIRSTARTIST");
  artists->clear();
  for (TDomElement* first : firsts) {
    const std::string artist = modelxml::attribute(first, u"NAME");
    // The first element of an artist wins; a later one is skipped whole.
    if (artists->containsKey(artist)) continue;
    auto set = std::make_unique<TStringSet>();
    for (TDomElement* second : modelxml::elementsBelow(first, u"SECONDARTIST")) {
      set->add(modelxml::attribute(second, u"NAME"));
    }
    artists->put(artist, std::move(set));
  }
}

template <class Names>
TDomElement* TArtistRelationOf<Names>::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"ARTISTRELATION");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"SYMMETRIC", TBoolean::toString(symmetric));
  std::unique_ptr<TStringCollection> firsts = getArtists();
  for (const std::string& artist : firsts->strings()) {
    TDomElement* first = document->createElement(u"FIRSTARTIST");
    modelxml::setAttribute(first, u"NAME", artist);
    auto* set = static_cast<TStringSet*>(artists->get(artist));
    std::unique_ptr<TStringCollection> seconds = set->toStringCollection();
    for (const std::string& secondArtist : seconds->strings()) {
      TDomElement* second = document->createElement(u"SECONDARTIST");
      modelxml::setAttribute(second, u"NAME", secondArtist);
      first->appendChild(second);
    }
    element->appendChild(first);
  }
  return element;
}

// ---- TArtistRelationsOf ------------------------------------------------------

template <class Names>
TArtistRelationsOf<Names>::TArtistRelationsOf() {
  TArtistRelationsOf::initialize();
}

template <class Names>
void TArtistRelationsOf<Names>::initialize() {
  if (!relations) relations = std::make_unique<TStringtable>();
  relations->setOwnsObjects(true);
}

template <class Names>
void TArtistRelationsOf<Names>::writeTo(TFile& file) {
  file.writeTPObject(*relations);
}

template <class Names>
void TArtistRelationsOf<Names>::readFrom(TFile& file) {
  const std::string where = std::string(kClassName) + ".read";
  std::unique_ptr<TStringtable> table = this->readStringtable(file, where);
  // Every value is handed out as a relation later on.
  std::unique_ptr<TArrayList> values = table->values();
  for (int32_t i = 0; i < values->size(); ++i) {
    if (dynamic_cast<Relation*>(values->get(i)) == nullptr) {
      throw IOException(where + ": Illegal relation: " + values->get(i)->className() + ".");
    }
  }
  relations = std::move(table);
}

template <class Names>
bool TArtistRelationsOf<Names>::removeRelation(const std::string& relationName) {
  if (!relations->containsKey(relationName)) return false;
  relations->remove(relationName);
  return true;
}

template <class Names>
bool TArtistRelationsOf<Names>::containsRelation(const std::string& relationName) const {
  return relations->containsKey(relationName);
}

template <class Names>
void TArtistRelationsOf<Names>::renameRelation(const std::string& oldName, const std::string& newName) {
  // The table would drop the moved relation in favour of the one already
  // under the new name.
  if (newName != oldName && relations->containsKey(newName) && relations->containsKey(oldName)) {
    throw IllegalArgumentException(std::string(kClassName) + ".renameRelation: Relation " + newName +
                                   " already exists.");
  }
  relations->reput(oldName, newName);
  static_cast<Relation*>(relations->get(newName))->name = newName;
}

template <class Names>
typename TArtistRelationsOf<Names>::Relation* TArtistRelationsOf<Names>::getRelation(
    const std::string& relationName) {
  if (!relations->containsKey(relationName)) {
    relations->put(relationName, std::make_unique<Relation>(relationName, false));
  }
  return static_cast<Relation*>(relations->get(relationName));
}

template <class Names>
std::unique_ptr<TStringCollection> TArtistRelationsOf<Names>::getRelationNames() const {
  return relations->keyStrings();
}

template <class Names>
std::unique_ptr<TStringSet> TArtistRelationsOf<Names>::getRelatedArtists(const std::string& artist) {
  return getRelatedArtists(artist, false);
}

template <class Names>
std::unique_ptr<TStringSet> TArtistRelationsOf<Names>::getRelatedArtists(const std::string& artist,
                                                                         bool transitive) {
  auto result = std::make_unique<TStringSet>();
  std::unique_ptr<TStringCollection> names = getRelationNames();
  for (const std::string& relationName : names->strings()) {
    Relation* relation = getRelation(relationName);
    if (!relation->enabled) continue;
    // A lent set stays with its relation; a new one is freed by the pointer.
    TArtistSetPtr answer = relation->getRelatedArtists(artist, transitive);
    result->addStrings(*answer);
  }
  return result;
}

template <class Names>
void TArtistRelationsOf<Names>::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"VOSKO")) throw EDomException("Illegal base tag for a relations database.");
  if (modelxml::attribute(element, u"VERSION") != TRelationsPersistent::kFileHeader) {
    throw EDomException("Illegal version of relations database.");
  }
  std::vector<TDomElement*> elements = modelxml::elementsBelow(element, u"ARTISTRELATION");
  relations->clear();
  for (TDomElement* relationElement : elements) {
    auto relation = std::make_unique<Relation>();
    relation->fromXML(relationElement);
    // The first relation of a name wins.
    if (relations->containsKey(relation->name)) continue;
    const std::string relationName = relation->name;
    relations->put(relationName, std::move(relation));
  }
}

template <class Names>
TDomElement* TArtistRelationsOf<Names>::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  modelxml::setAttribute(element, u"VERSION", TRelationsPersistent::kFileHeader);
  std::unique_ptr<TArrayList> values = relations->values();
  for (int32_t i = 0; i < values->size(); ++i) {
    element->appendChild(static_cast<Relation*>(values->get(i))->toXML(document));
  }
  return element;
}
