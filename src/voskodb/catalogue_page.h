// voskodb export-html: the collection as one HTML page that needs nothing
// but a browser: the carriers and their titles, a search, sorting and
// charts, with its styles, its script and its data inside the page.
//
// The page is the template catalogue.html (compiled in) with two JSON
// documents put in: the carriers as one string, written one by one as the
// database is read, and after them what the page reads that string with
// (the counts, the marks that keep it apart, how the search folds each
// character). Both are described where they are written and where the
// page's script reads them.
#pragma once

#include <string>
#include <string_view>

// Writes the catalogue page of the current sound-carrier database (binary or
// XML) at `database` to the file `out`, which is replaced only when the page
// is complete, or to standard output for "-"; memory stays one carrier's.
// Raises on failure, and refuses `out` naming the database itself.
void exportHtmlCommand(const std::string& database, const std::string& out);

// The template catalogue.html as it stands in the source tree.
std::string_view catalogueTemplate();
