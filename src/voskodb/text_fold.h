// Text folded for searching: Windows-1252 bytes turned into a form in which
// letter case and accents no longer count, so that "arzte" finds "Ärzte" and
// "strasse" finds "Straße".
//
// Each byte folds on its own, to zero to three bytes:
// - ASCII letters to lower case; every other ASCII byte stays as it is;
// - accented letters to their base letter in lower case (À..Å, à..å to "a",
//   Ç to "c", Ñ to "n", Ø to "o", Š to "s", Ÿ, Ý to "y", Ž to "z", ...);
// - letters that stand for two to their pair: ß to "ss", Æ to "ae", Œ to
//   "oe", Þ to "th"; the ordinal marks ª, º to "a", "o"; superscript ¹²³ to
//   their digits;
// - typographic marks to what a keyboard types: ‚‘’ to "'", „“” to "\"",
//   – — to "-", … to "...", the no-break space to a blank; the soft hyphen
//   folds to nothing, since it only marks where a word may be broken;
// - every other byte (signs, controls, the five undefined bytes) stays.
//
// The German spellings ä = ae, ö = oe, ü = ue are not folded: "ä" becomes
// "a", so "aerzte" does not find "Ärzte". Folding the other way would make
// "arzte" miss it, and that is what people type on a keyboard without
// umlauts; searching for both would make every "ae" in a word match "a".
#pragma once

#include <string>
#include <string_view>

namespace textfold {

// What the Windows-1252 byte `c` folds to.
std::string_view foldByte(unsigned char c);

// The folded form of `text` appended to `out`.
void appendFolded(std::string& out, std::string_view text);

inline std::string fold(std::string_view text) {
  std::string out;
  appendFolded(out, text);
  return out;
}

}  // namespace textfold
