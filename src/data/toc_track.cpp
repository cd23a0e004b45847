#include "data/toc_track.h"

#include "basis/boolean_value.h"
#include "basis/file.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "xml/dom_exception.h"

void TTOCTrack::initialize() {
  trackNumber = 0;
  minutes = 0;
  seconds = 0;
  frames = 0;
  isAudioTrack = true;
}

std::string TTOCTrack::toString() const {
  return "TTOCTrack:\t(" + std::to_string(trackNumber) + ")\t" + std::to_string(minutes) + ":" +
         std::to_string(seconds) + ":" + std::to_string(frames) + "\t" + TBoolean::toString(isAudioTrack);
}

void TTOCTrack::readFrom(TFile& file) {
  minutes = file.readInt();
  seconds = file.readInt();
  frames = file.readInt();
  trackNumber = file.readInt();
  isAudioTrack = file.readBoolean();
}

void TTOCTrack::writeTo(TFile& file) {
  file.writeInt(minutes);
  file.writeInt(seconds);
  file.writeInt(frames);
  file.writeInt(trackNumber);
  file.writeBoolean(isAudioTrack);
}

void TTOCTrack::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"TOCTRACK")) {
      throw EDomException("Illegal base tag for a vosko toc track.");
    }
    try {
      minutes = modelxml::parseInteger(modelxml::attribute(element, u"MINUTES"));
      seconds = modelxml::parseInteger(modelxml::attribute(element, u"SECONDS"));
      frames = modelxml::parseInteger(modelxml::attribute(element, u"FRAMES"));
      trackNumber = modelxml::parseInteger(modelxml::attribute(element, u"TRACKNUMBER"));
    } catch (const EConvertError& e) {
      throw EDomException("Illegal number: " + e.message());
    }
    const bool audio = TBoolean::fromString(modelxml::attribute(element, u"ISAUDIOTRACK"));
    isAudioTrack = audio;
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TTOCTrack.fromXML", e));
  }
}

TDomElement* TTOCTrack::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TOCTRACK");
  modelxml::setAttribute(element, u"MINUTES", std::to_string(minutes));
  modelxml::setAttribute(element, u"SECONDS", std::to_string(seconds));
  modelxml::setAttribute(element, u"FRAMES", std::to_string(frames));
  modelxml::setAttribute(element, u"TRACKNUMBER", std::to_string(trackNumber));
  modelxml::setAttribute(element, u"ISAUDIOTRACK", TBoolean::toString(isAudioTrack));
  return element;
}
