// How the carriers of the formats 2.5, 2.5.3 and 2.5.5 hold their titles: a
// title is numbered from 1 as it is added (its track is not stored), and a
// title is only ever handed out after checking its class, since addAll of the
// base list could slip a foreign object in. Each carrier passes its own title
// class; messages carry the carrier's class name. The carrier owns its
// titles; these helpers only hand out pointers it keeps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "basis/mapped_object.h"
#include "data/model_xml.h"
#include "xml/dom_node.h"

namespace legacycarrier {

// Appends the title, points it at the carrier and numbers it by its place;
// anything but a Title raises IllegalArgumentException "<Class>.add: Object is no title.".
template <class Title, class Carrier>
int32_t addNumberedTitle(Carrier& carrier, TMappedObject* obj) {
  auto* title = dynamic_cast<Title*>(obj);
  if (title == nullptr) {
    throw IllegalArgumentException(std::string(Carrier::kClassName) + ".add: Object is no title.");
  }
  const int32_t index = carrier.append(title);
  title->carrier = &carrier;
  title->track = index + 1;
  return index;
}

// The title at that index; anything but a Title raises IllegalStateException
// "<Class>.getTitle: Object is no title.".
template <class Title, class Carrier>
Title* titleAt(const Carrier& carrier, int32_t index) {
  auto* title = dynamic_cast<Title*>(carrier.get(index));
  if (title == nullptr) {
    throw IllegalStateException(std::string(Carrier::kClassName) + ".getTitle: Object is no title.");
  }
  return title;
}

// Replaces the titles by one Title per "TITLE" element below `titles`, each
// read by its own fromXML. They are appended as read, not through add(), so
// they keep the tracks they read.
template <class Title, class Carrier>
void readTitlesXML(Carrier& carrier, TDomElement* titles) {
  carrier.clear();
  for (TDomElement* titleElement : modelxml::elementsBelow(titles, u"TITLE")) {
    auto title = std::make_unique<Title>();
    title->fromXML(titleElement);
    carrier.append(std::move(title));
  }
}

}  // namespace legacycarrier
