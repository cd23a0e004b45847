// Writes 1.5 and 2.0 databases from a text description, for the sample files
// and the tests of the legacy readers. The records go through the readers'
// own writeTo, so what is written is what the 1.5 and 2.0 applications wrote.
//
// A description is UTF-8 text, one record per line; "#" starts a comment line.
// The first record line names the format, then records follow in any mix:
//
//   format 2.0
//   artist 1 "Die Ärzte" [date D]
//   label 7 "Hot Action Records" [date D]
//   title 20 "Schrei nach Liebe" [url "..."] [artist ID] [carriers ID ...] [date D]
//   carrier 5 "Die Bestie in Menschengestalt" [label ID] [release D] [type "..."]
//           [notes "..."] [date D]
//
// In format 1.5 records have no date, titles no artist, and a carrier names
// its artist: carrier 5 "..." [artist ID] [label ID] [release D] ...
//
// Texts are quoted and written in Windows-1252; they know the escapes \\ \"
// \n \r \t and \xHH (one raw byte). A date D is yyyy-mm-dd or a number of days
// since 30.12.1899 (any form strtod reads, so a value is written bit for bit).
// Dates left out are 0. Each list keeps the order of its lines; titles on no
// carrier are not stored, as the applications did not store them.
#pragma once

#include <string>

namespace sample {

// Writes the database the description describes to path, replacing a file
// there only when complete. Raises std::invalid_argument "line N: <what>" for
// a description it cannot read, and the writer's exceptions.
void writeLegacyDatabase(const std::string& description, const std::string& path);

}  // namespace sample
