#include "data/artist_relations.h"

#include <vector>

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_collection.h"
#include "basis/string_table.h"
#include "data/model_xml.h"
#include "xml/dom_exception.h"

TArtistRelations::TArtistRelations() { TArtistRelations::initialize(); }

TArtistRelations::~TArtistRelations() = default;

void TArtistRelations::initialize() {
  if (!relations) relations = std::make_unique<TStringtable>();
  relations->setOwnsObjects(true);
}

void TArtistRelations::writeTo(TFile& file) { file.writeTPObject(*relations); }

void TArtistRelations::readFrom(TFile& file) {
  std::unique_ptr<TStringtable> table = readStringtable(file, "TArtistRelations.read");
  // Every value is handed out as a relation later on.
  std::unique_ptr<TArrayList> values = table->values();
  for (int32_t i = 0; i < values->size(); ++i) {
    if (dynamic_cast<TArtistRelation*>(values->get(i)) == nullptr) {
      throw IOException(std::string("TArtistRelations.read: Illegal relation: ") +
                        values->get(i)->className() + ".");
    }
  }
  relations = std::move(table);
}

bool TArtistRelations::removeRelation(const std::string& name) {
  if (!relations->containsKey(name)) return false;
  relations->remove(name);
  return true;
}

bool TArtistRelations::containsRelation(const std::string& name) const {
  return relations->containsKey(name);
}

void TArtistRelations::renameRelation(const std::string& oldName, const std::string& newName) {
  // The table would drop the moved relation in favour of the one already
  // under the new name.
  if (newName != oldName && relations->containsKey(newName) && relations->containsKey(oldName)) {
    throw IllegalArgumentException("TArtistRelations.renameRelation: Relation " + newName +
                                   " already exists.");
  }
  relations->reput(oldName, newName);
  static_cast<TArtistRelation*>(relations->get(newName))->name = newName;
}

TArtistRelation* TArtistRelations::getRelation(const std::string& name) {
  if (!relations->containsKey(name)) {
    auto relation = std::make_unique<TArtistRelation>(name, false);
    relations->put(name, relation.get());
    relation.release();
  }
  return static_cast<TArtistRelation*>(relations->get(name));
}

std::unique_ptr<TStringCollection> TArtistRelations::getRelationNames() const {
  return relations->keyStrings();
}

std::unique_ptr<TStringSet> TArtistRelations::getRelatedArtists(const std::string& artist) {
  return getRelatedArtists(artist, false);
}

std::unique_ptr<TStringSet> TArtistRelations::getRelatedArtists(const std::string& artist, bool transitive) {
  auto result = std::make_unique<TStringSet>();
  std::unique_ptr<TStringCollection> names = getRelationNames();
  for (const std::string& name : names->strings()) {
    TArtistRelation* relation = getRelation(name);
    if (!relation->enabled) continue;
    TArtistSetPtr answer = relation->getRelatedArtists(artist, transitive);
    result->addStrings(*answer);
  }
  return result;
}

void TArtistRelations::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"VOSKO")) throw EDomException("Illegal base tag for a relations database.");
  if (modelxml::attribute(element, u"VERSION") != kFileHeader) {
    throw EDomException("Illegal version of relations database.");
  }
  std::vector<TDomElement*> elements = modelxml::elementsBelow(element, u"ARTISTRELATION");
  relations->clear();
  for (TDomElement* relationElement : elements) {
    auto relation = std::make_unique<TArtistRelation>();
    relation->fromXML(relationElement);
    if (relations->containsKey(relation->name)) continue;
    const std::string name = relation->name;
    relations->put(name, relation.get());
    relation.release();
  }
}

TDomElement* TArtistRelations::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  modelxml::setAttribute(element, u"VERSION", kFileHeader);
  std::unique_ptr<TArrayList> values = relations->values();
  for (int32_t i = 0; i < values->size(); ++i) {
    element->appendChild(static_cast<TArtistRelation*>(values->get(i))->toXML(document));
  }
  return element;
}
