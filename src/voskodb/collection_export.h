// voskodb export-csv and export-json: a current sound-carrier database
// (binary or XML) as a table for spreadsheets and as one JSON document for
// programs, both UTF-8 and both written carrier by carrier as the database
// is read, so that what is held stays one carrier and a piece of output.
//
// CSV (RFC 4180, no byte-order mark): a header row, then one row per title
// with its carrier's fields in front; a carrier without titles is one row
// with the title's columns empty. Records end in CR LF; a field is quoted
// when it holds a comma, a quote, CR or LF, its quotes doubled; texts keep
// their line breaks as stored. Every text is written as stored, also one
// that starts with "=", "+", "-", "@", tab or CR, which a spreadsheet may
// run as a formula ("=HYPERLINK(...)"); for a spreadsheet such a cell can
// be written as text instead, with the apostrophe spreadsheets take for
// that in front of it (inside the quotes when the field is quoted). The
// columns:
//   carrier, carrier_artist, label, release, medium, kind,
//   disc, side, track, artist, title, url, content_type, original_artist, film
// release is the day as ISO 8601 (yyyy-mm-dd); disc, side and track count
// from 1 as dump shows them; side is empty for media without sides.
//
// JSON: {"format":"vosko-collection","version":1,"carriers":[...]}, one
// carrier to a line: {"name","artist","label","release","medium","kind",
// "notes","image","print_image","titles":[{"disc","side" (records and
// cassettes only),"track","artist","title","url","content_type",
// "original_artist","film"}]}, the numbers as numbers, everything else as
// strings. Tables of contents are in neither; export-xml keeps everything.
//
// OUT "-" is standard output; a named OUT is replaced only once it is
// complete. Both raise on failure as every voskodb command does.
#pragma once

#include <string>

// With `spreadsheet`, cells a spreadsheet could run as formulas are written as text.
void exportCsvCommand(const std::string& database, const std::string& out, bool spreadsheet = false);
void exportJsonCommand(const std::string& database, const std::string& out);
