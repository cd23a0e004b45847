// The object-file formats 2.5, 2.5.3 and 2.5.5 share one model, written once
// in title_template.h, sound_carrier_template.h and sound_carriers_template.h
// and instantiated per version. Everything a version adds or does its own way
// is in one struct, its format description (format_2_5.h, format_2_5_3.h,
// format_2_5_5.h), which gives:
//
//   kFileHeader                        the raw header of its database files
//   kTitleName, kCarrierName,          the class names of its title, carrier
//   kCarriersName                      and database (stored when a loaded
//                                      file is stored again, and quoted in
//                                      messages)
//   TitleBase                          the class the title derives from
//   Config, Relation, Relations        its settings and artist-relation classes
//   TitleFields, CarrierFields         the members it stores beyond the common
//   kTitleFields, kCarrierFields       ones, and their table: stored (and in
//                                      XML written) in the order of the table,
//                                      after the common fields
//   kTitleInitials, kCarrierInitials   the initial values of the common fields
//   kValuesAsElements                  XML values as child elements (true) or
//                                      attributes
//   kXmlVersion                        the database's XML VERSION, or null
//   kTracesCreation, kAddTitle,        the carrier's traced constructor,
//   kSplitArtist                       addTitle, and split artists
//   k...Error                          the XML reading messages
//
// Common to all: a title stores name, artist, url; a carrier stores name,
// label, artist, type, release (a double), notes, then its titles as a list.
#pragma once

#include <array>
#include <string>

// One stored string beyond the common fields: its member, its XML name and
// its initial value.
template <class Fields>
struct StringField {
  std::string Fields::*member;
  const char16_t* xmlName;
  const char* initial;
};

// The version's table of such fields; Count may be 0.
template <class Fields, std::size_t Count>
using StringFields = std::array<StringField<Fields>, Count>;

struct TitleInitials {
  const char* name;
  const char* url;
  const char* artist;
};

struct CarrierInitials {
  const char* name;
  const char* label;
  const char* artist;
  const char* type;
  const char* notes;
};

// For a version that stores nothing beyond the common fields.
struct NoMoreFields {};
