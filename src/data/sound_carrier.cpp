#include "data/sound_carrier.h"

#include <optional>
#include <utility>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/xml_helper.h"
#include "data/carrier_artists.h"
#include "data/model_xml.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/exception.h"
#include "platform/message_value.h"
#include "xml/dom_exception.h"

namespace {

// Track numbers are stored as 32-bit two's complement; numbering past either
// end of the range (a title read with the largest number, say) wraps around
// as the stored number does instead of overflowing.
int32_t stepTrack(int32_t track, int32_t step) {
  return static_cast<int32_t>(static_cast<uint32_t>(track) + static_cast<uint32_t>(step));
}

// The NOTES element of `notes`. Notes whose line breaks the usual form would
// change carry LINEBREAKS="exact", their text cut after each CR that an LF
// follows: a CR that ends a text is written as a reference (&#13;), so that
// every CR reads back as itself and every LF as itself.
TDomElement* notesToXML(TDomDocument* document, const std::string& notes) {
  TDomElement* element = document->createElement(u"NOTES");
  if (!modelxml::needsExactLineBreaks(notes)) {
    element->appendChild(modelxml::textNode(document, notes));
    return element;
  }
  modelxml::setAttribute(element, modelxml::kLineBreaks, modelxml::kExactLineBreaks);
  size_t from = 0;
  for (size_t cr = notes.find("\r\n"); cr != std::string::npos; cr = notes.find("\r\n", cr + 1)) {
    element->appendChild(modelxml::textNode(document, notes.substr(from, cr + 1 - from)));
    from = cr + 1;
  }
  element->appendChild(modelxml::textNode(document, notes.substr(from)));
  return element;
}

// The notes of a NOTES element: its first text repaired by expandLineBreaks,
// or with exact line breaks all its text as it is.
std::string notesFromXML(TDomElement* element) {
  bool exact = false;
  try {
    const std::string lineBreaks = modelxml::attribute(element, modelxml::kLineBreaks);
    exact = modelxml::exactLineBreaks(element->hasAttribute(modelxml::kLineBreaks) ? &lineBreaks : nullptr);
  } catch (const EConvertError& e) {
    throw EDomException("Illegal notes: " + e.message());
  }
  if (exact) return platform::utf16ToAnsi(element->textContent());
  TDomNode* text = element->firstChild();
  return text == nullptr ? std::string()
                         : TXMLHelper::expandLineBreaks(platform::utf16ToAnsi(text->nodeValue()));
}

}  // namespace

TSoundCarrier::TSoundCarrier(const std::string& name, const std::string& label, const std::string& type)
    : TSoundCarrier() {
  this->name = name;
  this->label = label;
  this->type = type;
}

void TSoundCarrier::initialize() { initializeReleased(platform::now()); }

void TSoundCarrier::initializeReleased(double release) {
  TArrayList::initialize();
  setOwnsObjects(true);
  name.clear();
  label.clear();
  artist.clear();
  type = kCompactDisc;
  this->release = release;
  notes.clear();
  contentType = kAlbum;
  image.clear();
  printImage.clear();
  if (!tocList) tocList = std::make_unique<TTOCList>();
}

std::string TSoundCarrier::fileHeader() const { return kFileHeader; }

std::string TSoundCarrier::toString() const {
  return name + ", " + artist + " - " + label + ", " + platform::formatShortDate(release) + " " + type +
         " (" + contentType + ")";
}

int32_t TSoundCarrier::add(TMappedObject* obj) {
  auto* title = dynamic_cast<TTitle*>(obj);
  if (title == nullptr) throw IllegalArgumentException("TSoundCarrier.add: Object is no title.");
  return adopt(title);
}

int32_t TSoundCarrier::add(std::unique_ptr<TTitle> title) {
  const int32_t index = adopt(title.get());
  title.release();
  return index;
}

int32_t TSoundCarrier::adopt(TTitle* title) {
  const bool known = lastTracksKnown();
  const int32_t index = append(title);
  // The new title counts in what is known only through its number, noted below.
  if (known) lastTracksAt_ = modificationCount();
  // Numbered before it points here, so that the numbering does not make this
  // carrier forget its highest tracks.
  if (title->track == -1) title->track = stepTrack(getLastTrack(title->carrierIndex), 1);
  title->carrier = this;
  if (lastTracksKnown()) noteTrack(title->carrierIndex, title->track);
  return index;
}

void TSoundCarrier::remove(int32_t index) {
  const int32_t disc = getTitle(index)->carrierIndex;
  for (int32_t i = index + 1; i < size(); ++i) {
    TTitle* behind = getTitle(i);
    if (behind->carrierIndex != disc) break;
    behind->track = stepTrack(behind->track, -1);
  }
  TArrayList::remove(index);
}

TTitle* TSoundCarrier::getTitle(int32_t index) const { return static_cast<TTitle*>(get(index)); }

int32_t TSoundCarrier::getLastTrack(int32_t carrierIndex) const {
  if (!lastTracksKnown()) {
    lastTracks_.clear();
    for (int32_t i = 0; i < size(); ++i) noteTrack(getTitle(i)->carrierIndex, getTitle(i)->track);
    lastTracksValid_ = true;
    lastTracksAt_ = modificationCount();
  }
  auto it = lastTracks_.find(carrierIndex);
  return it == lastTracks_.end() ? -1 : it->second;
}

void TSoundCarrier::noteTrack(int32_t carrierIndex, int32_t track) const {
  // As a walk from -1 would find it: only tracks above -1 count.
  int32_t& last = lastTracks_.try_emplace(carrierIndex, -1).first->second;
  if (track > last) last = track;
}

bool TSoundCarrier::hasMixedArtists() const { return carrierartists::hasMixedArtists(*this); }

std::string TSoundCarrier::getArtist() {
  if (hasMixedArtists()) artist = kSamplerArtist;
  if (contentType == kSplit) artist = assembleSplitArtist();
  return artist;
}

void TSoundCarrier::setContentType(const std::string& kind) {
  contentType = kind;
  if (kind == kSampler) artist = kSamplerArtist;
  if (kind == kSplit) artist = assembleSplitArtist();
}

std::string TSoundCarrier::assembleSplitArtist() const { return carrierartists::assembleSplitArtist(*this); }

void TSoundCarrier::writeTo(TFile& file) {
  writeOwnFields(file);
  TArrayList::writeTo(file);
}

void TSoundCarrier::writeOwnFields(TFile& file) {
  if (!tocList) throw IOException("TSoundCarrier.write: TOC list not assigned.");
  file.writeString(name);
  file.writeString(label);
  file.writeString(artist);
  file.writeString(type);
  file.writeDouble(release);
  file.writeString(notes);
  file.writeString(contentType);
  file.writeString(image);
  file.writeString(printImage);
  file.writeTPObject(*tocList);
}

void TSoundCarrier::readFrom(TFile& file) {
  name = file.readString();
  label = file.readString();
  artist = file.readString();
  type = file.readString();
  release = file.readDouble();
  notes = file.readString();
  contentType = file.readString();
  image = file.readString();
  printImage = file.readString();
  std::unique_ptr<TPObject> read = file.readTPObject();
  // Any other class in this place would be taken for a TOC list later on.
  auto* toc = dynamic_cast<TTOCList*>(read.get());
  if (toc == nullptr) throw IOException("TSoundCarrier.read: Object is no TOC list.");
  read.release();
  tocList.reset(toc);
  // The list's reading clears the titles and passes each one to add().
  TArrayList::readFrom(file);
}

void TSoundCarrier::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"CARRIER")) throw EDomException("Illegal base tag for a vosko carrier.");
    name = modelxml::attribute(element, u"NAME");
    artist = modelxml::attribute(element, u"ARTIST");
    label = modelxml::attribute(element, u"LABEL");
    type = modelxml::attribute(element, u"TYPE");
    try {
      const std::string days = modelxml::attribute(element, modelxml::kReleaseDays);
      release = modelxml::parseRelease(modelxml::attribute(element, u"RELEASE"),
                                       element->hasAttribute(modelxml::kReleaseDays) ? &days : nullptr);
    } catch (const EConvertError& e) {
      throw EDomException("Illegal date: " + e.message());
    }
    contentType = modelxml::attribute(element, u"CONTENTTYPE");
    image = modelxml::attribute(element, u"IMAGE");
    printImage = modelxml::attribute(element, u"PRINTIMAGE");

    TXMLHelper& helper = TXMLHelper::getInstance();
    TDomElement* notesElement = helper.getChildElement(element, u"NOTES");
    notes = notesFromXML(notesElement);

    TDomElement* tocsElement = element->findFirstChildElement(u"TOCS");
    if (tocsElement == nullptr) throw EDomException("No TOC list node for: " + platform::messageValue(name));
    tocList = std::make_unique<TTOCList>();
    tocList->fromXML(tocsElement);

    clear();
    TDomElement* titlesElement = helper.getChildElement(element, u"TITLES");
    for (TDomElement* titleElement : modelxml::elementsBelow(titlesElement, u"TITLE")) {
      auto title = std::make_unique<TTitle>();
      title->fromXML(titleElement);
      // The carrier's list of titles grows by doubling, the old list still there when it grows.
      modelxml::chargeBuilt(titleElement, sizeof(TTitle) + 3 * sizeof(TTitle*),
                            {&title->name, &title->url, &title->artist, &title->contentType,
                             &title->originalArtist, &title->film});
      title->carrier = this;
      // Appended as read: the titles keep the numbers of the file.
      append(std::move(title));
    }
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TSoundCarrier.fromXML", e));
  }
}

std::string TSoundCarrier::unwritableXml() const {
  const std::pair<const char*, const std::string*> texts[] = {
      {"NAME", &name},   {"ARTIST", &artist},           {"LABEL", &label}, {"TYPE", &type},
      {"NOTES", &notes}, {"CONTENTTYPE", &contentType}, {"IMAGE", &image}, {"PRINTIMAGE", &printImage}};
  for (const auto& [field, text] : texts) {
    if (std::string problem = modelxml::unwritableText(field, *text); !problem.empty()) return problem;
  }
  if (std::string problem = modelxml::unwritableRelease(release); !problem.empty()) return problem;
  for (int32_t i = 0; i < size(); ++i) {
    const TTitle* title = getTitle(i);
    if (std::string problem = title->unwritableXml(); !problem.empty()) {
      return "title " + std::to_string(i + 1) + " '" + platform::messageValue(title->name) + "': " + problem;
    }
  }
  return {};
}

TDomElement* TSoundCarrier::toXML(TDomDocument* document) {
  if (!tocList) throw IOException("TSoundCarrier.toXML: TOC list not assigned.");
  if (std::string problem = unwritableXml(); !problem.empty()) {
    throw IOException("TSoundCarrier.toXML: carrier '" + platform::messageValue(name) + "': " + problem +
                      ".");
  }
  TDomElement* element = document->createElement(u"CARRIER");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"LABEL", label);
  modelxml::setAttribute(element, u"TYPE", type);
  modelxml::setAttribute(element, u"RELEASE", platform::formatShortDate(release));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  modelxml::setAttribute(element, u"IMAGE", image);
  modelxml::setAttribute(element, u"PRINTIMAGE", printImage);
  if (std::optional<std::string> days = modelxml::releaseDays(release)) {
    modelxml::setAttribute(element, modelxml::kReleaseDays, *days);
  }
  element->appendChild(notesToXML(document, notes));
  element->appendChild(tocList->toXML(document));

  TDomElement* titlesElement = document->createElement(u"TITLES");
  element->appendChild(titlesElement);
  for (int32_t i = 0; i < size(); ++i) titlesElement->appendChild(getTitle(i)->toXML(document));
  return element;
}
