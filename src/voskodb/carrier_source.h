// The carriers of a sound-carrier database one at a time, for the commands
// that read a collection through (its listing, exports, search and
// statistics): what they hold stays the size of one carrier, whatever the
// size of the file. The current database is read in either form; an old
// one (1.5 to 2.5.5) as its conversion makes it, carrier by carrier, so
// that every command shows exactly what it shows for the file convertVOSKO
// writes.
//
// Each current form is read by its stream (data/carrier_stream.h for the
// binary form, data/carrier_xml_reader.h for the XML form), in one pass; a
// file out of the form the stream reads is loaded whole as the model and
// its carriers handed from there, so that every file that loads is read,
// and one that does not raises what loading raises. An old database takes
// the conversion's own ways (data/carrier_writer.h, CarrierTarget): straight
// from its bytes, or loaded whole where it must be.
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
// `row` (the current database, binary or XML, or an old one), to `each` in
// the file's order, reading the file once where it is in the stream's form.
// A stream may meet something out of its form after it has handed
// carriers: then, with `restart`, `restart` is called and every carrier is
// handed again from the loaded model; without, the loaded model hands only
// those after the ones already handed, which are the same (a caller whose
// output cannot be taken back passes none). Either way a file that does not
// load raises what loading raises, after the carriers before its damage.
// An old database's conversion always goes on after the carriers handed.
void forEachCarrier(const std::string& path, const KindRow& row,
                    const std::function<void(const StoredCarrier&)>& each,
                    const std::function<void()>& restart = nullptr);

// The counts of the database that `path` holds or converts into, as check
// shows them: carriers, titles, tables of contents.
Counts countCarriers(const std::string& path, const KindRow& row);

// The row of the file at `path` when it is a sound-carrier database, current
// or old (or an XML document, which loading then judges); any other kind
// raises as refuseFile does, naming `command`.
const KindRow& requireCarrierDatabase(const std::string& command, const std::string& path);

// Writes the XML form of the old database `in` as export-xml writes that of
// the database it converts into, into a replacement of `xml` put in place
// when complete.
void exportConvertedXml(const std::string& in, const KindRow& row, const std::string& xml);
