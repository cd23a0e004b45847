// TTOCList, the tables of contents of one carrier's discs: a list of
// TTOCData that owns them. Saved by itself it has no file header; inside a
// carrier it is the object "TTOCList"; in XML the element "TOCS".
#pragma once

#include <cstdint>

#include "basis/array_list.h"
#include "data/toc_data.h"
#include "platform/export.h"

// The tables of contents of one carrier's discs, owned by the list.
class VOSKO_API TTOCList : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TTOCList)

  TTOCList() { TTOCList::initialize(); }

  void initialize() override;

  // Replaces the tables by one TTOCData per "TOC" below a "TOCS" element. Every
  // failure is raised as EDomException "TTOCList.fromXML: (Class) message".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  using TArrayList::add;
  // Appends a TTOCData; anything else raises IllegalArgumentException
  // "TTOCList.add: object not assigned or no TTOCData.".
  int32_t add(TMappedObject* obj) override;
  TTOCData* getTOC(int32_t index) const;
};
