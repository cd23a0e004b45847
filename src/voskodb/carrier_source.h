// The carriers of a current sound-carrier database, binary or XML, one at a
// time, for the commands that read a collection through (its exports, its
// search, its statistics): what they hold stays the size of one carrier,
// whatever the size of the file.
//
// Each form is read by its stream (data/carrier_stream.h for the binary
// form, data/carrier_xml_reader.h for the XML form); a file out of the form the stream reads is loaded whole
// as the model and its carriers handed from there, so that every file that loads is read, and one that does
// not raises what loading raises.
#pragma once

#include <cerrno>
#include <functional>
#include <string>

#include "data/carrier_stream.h"
#include "voskodb/file_kind.h"

// Runs `stream`, which says whether the file was in its form; when it says
// no, errno is left as it was before, since the loaded model's way that
// follows shows errno in its report.
template <class Stream>
bool tryStream(Stream stream) {
  const int saved = errno;
  if (stream()) return true;
  errno = saved;
  return false;
}

// Hands every carrier of the file at `path` to `each` through the stream of
// its form (binary, or XML when `xml`). False when the file is not in the
// form the stream reads, which `each` may learn only after it has seen some
// carriers.
bool streamCarriers(const std::string& path, bool xml, const std::function<void(const StoredCarrier&)>& each);

// Hands every carrier of the database at `path`, recognised as of the kind
// `row` (the current database, binary or XML), to `each` in the file's
// order. A stream may meet something out of its form after it has handed
// carriers: then `restart` is called and every carrier is handed again from
// the loaded model. Without `restart` the file is read through once first,
// so that no carrier is handed twice; a caller whose output cannot be taken
// back passes none.
void forEachCarrier(const std::string& path, const KindRow& row,
                    const std::function<void(const StoredCarrier&)>& each,
                    const std::function<void()>& restart = nullptr);

// The row of the file at `path` when it is a current sound-carrier database
// (or an XML document, which loading then judges); any other kind raises as
// refuseFile does, naming `command`.
const KindRow& requireCarrierDatabase(const std::string& command, const std::string& path);
