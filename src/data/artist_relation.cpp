#include "data/artist_relation.h"

#include <vector>

#include "basis/array_list.h"
#include "basis/boolean_value.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_collection.h"
#include "basis/string_table.h"
#include "basis/string_value.h"
#include "data/model_xml.h"
#include "xml/dom_exception.h"

TArtistRelation::TArtistRelation() { TArtistRelation::initialize(); }

TArtistRelation::TArtistRelation(const std::string& name, bool symmetric) : TArtistRelation() {
  this->name = name;
  this->symmetric = symmetric;
}

TArtistRelation::~TArtistRelation() = default;

void TArtistRelation::initialize() {
  name = kUnknownName;
  symmetric = false;
  enabled = true;
  if (!artists) artists = std::make_unique<TStringtable>();
  artists->setOwnsObjects(true);
}

std::unique_ptr<TMappedObject> TArtistRelation::clone() const {
  auto copy = std::make_unique<TArtistRelation>(name, symmetric);
  copy->artists = cloneAs<TStringtable>(*artists);
  return copy;
}

void TArtistRelation::writeTo(TFile& file) {
  file.writeString(name);
  file.writeBoolean(symmetric);
  file.writeTPObject(*artists);
}

void TArtistRelation::readFrom(TFile& file) {
  name = file.readString();
  symmetric = file.readBoolean();
  std::unique_ptr<TStringtable> table = readStringtable(file, "TArtistRelation.read");
  // Every value is handed out as a set of names later on.
  std::unique_ptr<TArrayList> sets = table->values();
  for (int32_t i = 0; i < sets->size(); ++i) {
    auto* set = dynamic_cast<TStringSet*>(sets->get(i));
    if (set == nullptr) {
      throw IOException(std::string("TArtistRelation.read: Illegal artist set: ") +
                        sets->get(i)->className() + ".");
    }
    set->setOwnsObjects(true);
    std::unique_ptr<TArrayList> names = set->toList();
    for (int32_t j = 0; j < names->size(); ++j) {
      if (dynamic_cast<TString*>(names->get(j)) == nullptr) {
        throw IOException(std::string("TArtistRelation.read: Illegal artist: ") + names->get(j)->className() +
                          ".");
      }
    }
  }
  artists = std::move(table);
  enabled = true;
}

bool TArtistRelation::containsArtist(const std::string& artist) const { return artists->containsKey(artist); }

TStringSet* TArtistRelation::getRelatedArtists(const std::string& artist) {
  if (!artists->containsKey(artist)) {
    auto set = std::make_unique<TStringSet>();
    artists->put(artist, set.get());
    set.release();
  }
  return static_cast<TStringSet*>(artists->get(artist));
}

TArtistSetPtr TArtistRelation::getRelatedArtists(const std::string& artist, bool transitive) {
  TStringSet* own = getRelatedArtists(artist);
  if (!transitive) return TArtistSetPtr(own, TLentSetDeleter{false});
  return TArtistSetPtr(closure(artist).release(), TLentSetDeleter{true});
}

std::unique_ptr<TStringSet> TArtistRelation::closure(const std::string& artist) const {
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
  auto open = [&](const std::string& name) {
    Frame frame;
    if (artists->containsKey(name)) {
      frame.result = cloneAs<TStringSet>(*static_cast<TStringSet*>(artists->get(name)));
    } else {
      frame.result = std::make_unique<TStringSet>();
    }
    frame.result->add(name);
    visited.add(name);
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

std::unique_ptr<TStringCollection> TArtistRelation::getArtists() const { return artists->keyStrings(); }

void TArtistRelation::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"ARTISTRELATION")) {
    throw EDomException("Illegal base tag for a vosko artist relation.");
  }
  name = modelxml::attribute(element, u"NAME");
  symmetric = TBoolean::fromString(modelxml::attribute(element, u"SYMMETRIC"));
  std::vector<TDomElement*> firsts = modelxml::elementsBelow(element, u"FIRSTARTIST");
  artists->clear();
  for (TDomElement* first : firsts) {
    const std::string artist = modelxml::attribute(first, u"NAME");
    if (artists->containsKey(artist)) continue;
    auto set = std::make_unique<TStringSet>();
    for (TDomElement* second : modelxml::elementsBelow(first, u"SECONDARTIST")) {
      set->add(modelxml::attribute(second, u"NAME"));
    }
    artists->put(artist, set.get());
    set.release();
  }
}

TDomElement* TArtistRelation::toXML(TDomDocument* document) {
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
