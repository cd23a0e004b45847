#include "data/carrier_xml_reader.h"

#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>
#include <vector>

#include "basis/boolean_value.h"
#include "basis/xml_helper.h"
#include "data/carrier_writer.h"
#include "data/model_xml.h"
#include "data/sound_carriers.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/os_file.h"
#include "platform/utf8.h"
#include "xml/expat_parser.h"

namespace {

// Where the reader stands: in which element, and for a carrier which of its
// three parts comes next.
enum class At {
  kDocument,
  kRoot,
  kCarrier,  // NOTES next
  kNotes,
  kAfterNotes,  // TOCS next
  kTocs,
  kToc,
  kTocTrack,
  kAfterTocs,  // TITLES next
  kTitles,
  kTitle,
  kAfterTitles,  // the carrier's end next
  kEnd,
};

// A text of the carrier being read, as a place in the reader's text bytes,
// which may move while the carrier grows.
struct Span {
  size_t at = 0;
  size_t size = 0;
};

struct TitleSpans {
  Span name, artist, url, contentType, originalArtist, film;
};

// The Windows-1252 byte of a code point as platform::utf8ToAnsi gives it:
// '?' for one the code page lacks.
char ansiByte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  static const std::array<char16_t, 32> high = [] {
    std::array<char16_t, 32> codes{};
    for (int i = 0; i < 32; ++i) codes[i] = platform::ansiCharToUtf16(static_cast<unsigned char>(0x80 + i));
    return codes;
  }();
  for (int i = 0; i < 32; ++i) {
    if (high[i] == code) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// platform::utf8ToAnsi(text) appended to `out`, for a text ended by NUL as
// expat hands it over: no string of its own for each text, and one pass over
// the bytes, most of which are ASCII and go over in runs.
void appendAnsi(std::string& out, const char* text) {
  for (;;) {
    const char* run = text;
    while (static_cast<unsigned char>(*text) - 1u < 0x7Fu) ++text;
    out.append(run, text);
    if (*text == '\0') return;
    // A sequence is at most four bytes and never takes in the closing NUL.
    const std::string_view rest(text, strnlen(text, 4));
    platform::Utf8Char c = platform::decodeUtf8(rest, 0);
    if (!c.valid()) {
      out += '?';
      ++text;
      continue;
    }
    out += ansiByte(c.code);
    text += c.length;
  }
}

bool isWhiteSpace(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
  }
  return true;
}

// The position of `name` in `names`, looked for first where the plain form
// puts it; -1 when it is none of them.
template <size_t N>
int attributeIndex(const char* name, const std::array<const char*, N>& names, size_t expected) {
  if (expected < N && std::strcmp(name, names[expected]) == 0) return static_cast<int>(expected);
  for (size_t i = 0; i < N; ++i) {
    if (std::strcmp(name, names[i]) == 0) return static_cast<int>(i);
  }
  return -1;
}

constexpr std::array<const char*, 9> kCarrierAttributes = {
    "NAME", "ARTIST", "LABEL", "TYPE", "RELEASE", "CONTENTTYPE", "IMAGE", "PRINTIMAGE", "RELEASEDAYS"};
constexpr std::array<const char*, 8> kTitleAttributes = {
    "NAME", "ARTIST", "URL", "TRACK", "CONTENTTYPE", "ORIGINALARTIST", "FILM", "CARRIERINDEX"};
constexpr std::array<const char*, 5> kTrackAttributes = {"MINUTES", "SECONDS", "FRAMES", "TRACKNUMBER",
                                                         "ISAUDIOTRACK"};

// One reading of a document. Handlers never let an exception pass through
// expat: a value the model would not read makes the reading say no, and what
// the caller's `each` raises is kept and raised again once expat returned.
class Reading {
 public:
  Reading(const CarrierXmlReader::Each& each, int64_t& carriers) : each_(each), carriers_(carriers) {}
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;

  bool run(const std::string& path);

 private:
  // ---- expat's events ----

  template <class F>
  static void guarded(void* data, F&& f) {
    auto* self = static_cast<Reading*>(data);
    if (self->stopped_) return;
    try {
      f(*self);
    } catch (...) {
      // A value that does not convert, or memory that ran out: the loaded
      // way reads the document and reports it.
      self->refuse();
    }
  }

  static void XMLCALL onStartElement(void* data, const XML_Char* name, const XML_Char** atts) {
    guarded(data, [&](Reading& r) { r.startElement(name, atts); });
  }
  static void XMLCALL onEndElement(void* data, const XML_Char*) {
    guarded(data, [&](Reading& r) { r.endElement(); });
  }
  static void XMLCALL onCharacterData(void* data, const XML_Char* s, int len) {
    guarded(data, [&](Reading& r) { r.characterData(std::string_view(s, static_cast<size_t>(len))); });
  }
  // What the plain form never holds.
  static void XMLCALL onComment(void* data, const XML_Char*) { refuseFrom(data); }
  static void XMLCALL onProcessingInstruction(void* data, const XML_Char*, const XML_Char*) {
    refuseFrom(data);
  }
  static void XMLCALL onStartCdata(void* data) { refuseFrom(data); }
  static void XMLCALL onStartDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    refuseFrom(data);
  }
  static void XMLCALL onNamespaceDecl(void* data, const XML_Char*, const XML_Char*) { refuseFrom(data); }
  static void refuseFrom(void* data) { static_cast<Reading*>(data)->refuse(); }

  void refuse() {
    if (stopped_) return;
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }

  // ---- the plain form ----

  void startElement(const char* name, const char** atts) {
    switch (at_) {
      case At::kDocument:
        if (std::strcmp(name, "VOSKO") != 0) return refuse();
        return startRoot(atts);
      case At::kRoot:
        if (std::strcmp(name, "CARRIER") != 0) return refuse();
        return startCarrier(atts);
      case At::kCarrier:
        return startNotes(name, atts);
      case At::kAfterNotes:
        return enter(name, atts, "TOCS", At::kTocs);
      case At::kTocs:
        if (std::strcmp(name, "TOC") != 0) return refuse();
        return startToc(atts);
      case At::kToc:
        if (std::strcmp(name, "TOCTRACK") != 0) return refuse();
        return startTocTrack(atts);
      case At::kAfterTocs:
        return enter(name, atts, "TITLES", At::kTitles);
      case At::kTitles:
        if (std::strcmp(name, "TITLE") != 0) return refuse();
        return startTitle(atts);
      default:
        return refuse();
    }
  }

  void endElement() {
    switch (at_) {
      case At::kNotes:
        endNotes();
        at_ = At::kAfterNotes;
        return;
      case At::kTocTrack:
        at_ = At::kToc;
        return;
      case At::kToc:
        at_ = At::kTocs;
        return;
      case At::kTocs:
        at_ = At::kAfterTocs;
        return;
      case At::kTitle:
        at_ = At::kTitles;
        return;
      case At::kTitles:
        at_ = At::kAfterTitles;
        return;
      case At::kAfterTitles:
        return endCarrier();
      case At::kRoot:
        at_ = At::kEnd;
        return;
      default:
        // A carrier without its notes, TOCS or TITLES: the model refuses it.
        return refuse();
    }
  }

  void characterData(std::string_view text) {
    if (at_ == At::kNotes) {
      notes_.append(text);
    } else if (!isWhiteSpace(text)) {
      refuse();
    }
  }

  // An element without attributes named `expected`, which leads to `next`.
  void enter(const char* name, const char** atts, const char* expected, At next) {
    if (std::strcmp(name, expected) != 0 || atts[0] != nullptr) return refuse();
    at_ = next;
  }

  void startRoot(const char** atts) {
    bool version = false;
    for (; atts[0] != nullptr; atts += 2) {
      if (std::strcmp(atts[0], "VERSION") != 0 || std::strcmp(atts[1], TSoundCarriers::kXmlVersion) != 0) {
        return refuse();
      }
      version = true;
    }
    if (!version) return refuse();
    at_ = At::kRoot;
  }

  void startCarrier(const char** atts) {
    texts_.clear();
    notes_.clear();
    carrier_.tocCount = 0;
    titles_.clear();
    Span spans[kCarrierAttributes.size()];
    const char* release = nullptr;
    const char* days = nullptr;
    for (size_t i = 0; atts[2 * i] != nullptr; ++i) {
      const int k = attributeIndex(atts[2 * i], kCarrierAttributes, i);
      if (k < 0) return refuse();
      if (k == 4) {
        release = atts[2 * i + 1];
      } else if (k == 8) {
        days = atts[2 * i + 1];
      } else {
        spans[k] = text(atts[2 * i + 1]);
      }
    }
    // The model reads a missing date as an empty one, which is no date.
    if (release == nullptr) return refuse();
    const std::string daysText = days != nullptr ? ansi(days) : std::string();
    carrier_.release = modelxml::parseRelease(ansi(release), days != nullptr ? &daysText : nullptr);
    name_ = spans[0];
    artist_ = spans[1];
    label_ = spans[2];
    type_ = spans[3];
    contentType_ = spans[5];
    image_ = spans[6];
    printImage_ = spans[7];
    at_ = At::kCarrier;
  }

  // NOTES with no attribute but LINEBREAKS, which says how its text is read.
  void startNotes(const char* name, const char** atts) {
    if (std::strcmp(name, "NOTES") != 0) return refuse();
    const char* lineBreaks = nullptr;
    for (; atts[0] != nullptr; atts += 2) {
      if (std::strcmp(atts[0], "LINEBREAKS") != 0) return refuse();
      lineBreaks = atts[1];
    }
    const std::string value = lineBreaks != nullptr ? ansi(lineBreaks) : std::string();
    exactLineBreaks_ = modelxml::exactLineBreaks(lineBreaks != nullptr ? &value : nullptr);
    at_ = At::kNotes;
  }

  void endNotes() {
    const size_t at = texts_.size();
    appendAnsi(texts_, notes_.c_str());  // text holds no NUL
    std::string_view read(texts_.data() + at, texts_.size() - at);
    if (!exactLineBreaks_ && read.find("\n\n") != std::string_view::npos) {
      // The model's own repair of the line breaks, on the rare notes that need it.
      std::string expanded = TXMLHelper::expandLineBreaks(std::string(read));
      texts_.replace(at, std::string::npos, expanded);
    }
    notesSpan_ = {at, texts_.size() - at};
  }

  void startToc(const char** atts) {
    if (atts[0] == nullptr || std::strcmp(atts[0], "DISCID") != 0 || atts[2] != nullptr) return refuse();
    if (carrier_.tocs.size() <= static_cast<size_t>(carrier_.tocCount)) carrier_.tocs.emplace_back();
    StoredToc& toc = carrier_.tocs[static_cast<size_t>(carrier_.tocCount++)];
    toc.discId = modelxml::parseCardinal(ansi(atts[1]));
    toc.leadOut = StoredTocTrack();
    toc.tracks.clear();
    leadOutRead_ = false;
    at_ = At::kToc;
  }

  void startTocTrack(const char** atts) {
    StoredTocTrack track;
    unsigned seen = 0;
    for (size_t i = 0; atts[2 * i] != nullptr; ++i) {
      const int k = attributeIndex(atts[2 * i], kTrackAttributes, i);
      if (k < 0) return refuse();
      seen |= 1u << k;
      const std::string& value = ansi(atts[2 * i + 1]);
      switch (k) {
        case 0:
          track.minutes = modelxml::parseInteger(value);
          break;
        case 1:
          track.seconds = modelxml::parseInteger(value);
          break;
        case 2:
          track.frames = modelxml::parseInteger(value);
          break;
        case 3:
          track.trackNumber = modelxml::parseInteger(value);
          break;
        default:
          track.isAudioTrack = TBoolean::fromString(value);
      }
    }
    // Each is needed: the model reads a missing one as empty, which it refuses.
    if (seen != (1u << kTrackAttributes.size()) - 1) return refuse();
    StoredToc& toc = carrier_.tocs[static_cast<size_t>(carrier_.tocCount - 1)];
    if (leadOutRead_) {
      toc.tracks.push_back(track);
    } else {
      toc.leadOut = track;
      leadOutRead_ = true;
    }
    at_ = At::kTocTrack;
  }

  void startTitle(const char** atts) {
    TitleSpans spans;
    StoredTitle title;
    unsigned numbers = 0;
    for (size_t i = 0; atts[2 * i] != nullptr; ++i) {
      const int k = attributeIndex(atts[2 * i], kTitleAttributes, i);
      if (k < 0) return refuse();
      const char* value = atts[2 * i + 1];
      switch (k) {
        case 0:
          spans.name = text(value);
          break;
        case 1:
          spans.artist = text(value);
          break;
        case 2:
          spans.url = text(value);
          break;
        case 3:
          title.track = modelxml::parseInteger(ansi(value));
          numbers |= 1;
          break;
        case 4:
          spans.contentType = text(value);
          break;
        case 5:
          spans.originalArtist = text(value);
          break;
        case 6:
          spans.film = text(value);
          break;
        default:
          title.carrierIndex = modelxml::parseInteger(ansi(value));
          numbers |= 2;
      }
    }
    // A missing number reads as an empty one, which the model refuses.
    if (numbers != 3) return refuse();
    carrier_.titles.resize(titles_.size() + 1);
    carrier_.titles.back() = title;
    titles_.push_back(spans);
    at_ = At::kTitle;
  }

  void endCarrier() {
    auto view = [&](Span s) { return std::string_view(texts_.data() + s.at, s.size); };
    carrier_.name = view(name_);
    carrier_.label = view(label_);
    carrier_.artist = view(artist_);
    carrier_.type = view(type_);
    carrier_.notes = view(notesSpan_);
    carrier_.contentType = view(contentType_);
    carrier_.image = view(image_);
    carrier_.printImage = view(printImage_);
    for (size_t i = 0; i < titles_.size(); ++i) {
      const TitleSpans& s = titles_[i];
      StoredTitle& t = carrier_.titles[i];
      t.name = view(s.name);
      t.artist = view(s.artist);
      t.url = view(s.url);
      t.contentType = view(s.contentType);
      t.originalArtist = view(s.originalArtist);
      t.film = view(s.film);
    }
    at_ = At::kRoot;
    ++carriers_;
    try {
      each_(carrier_);
    } catch (...) {
      failure_ = std::current_exception();
      refuse();
    }
    carrier_.titles.clear();
  }

  // The model's text of an attribute value, kept with the carrier's texts.
  Span text(const char* value) {
    const size_t at = texts_.size();
    appendAnsi(texts_, value);
    return {at, texts_.size() - at};
  }

  // The model's text of an attribute value, for one conversion.
  const std::string& ansi(const char* value) {
    scratch_.clear();
    appendAnsi(scratch_, value);
    return scratch_;
  }

  const CarrierXmlReader::Each& each_;
  std::unique_ptr<xml::ExpatParser> expat_;
  XML_Parser parser_ = nullptr;
  At at_ = At::kDocument;
  bool stopped_ = false;
  std::exception_ptr failure_;
  int64_t& carriers_;  // handed over so far

  // The carrier being read: its texts converted, one after the other.
  StoredCarrier carrier_;
  std::string texts_;
  Span name_, label_, artist_, type_, notesSpan_, contentType_, image_, printImage_;
  std::vector<TitleSpans> titles_;
  std::string notes_;  // as expat hands it over, until NOTES ends
  bool exactLineBreaks_ = false;
  bool leadOutRead_ = false;
  std::string scratch_;
};

bool Reading::run(const std::string& path) {
  platform::OsFile file;
  try {
    file.openRead(path);
  } catch (const std::exception&) {
    return false;
  }
  try {
    expat_ = std::make_unique<xml::ExpatParser>(static_cast<int64_t>(file.size()));
  } catch (const std::exception&) {
    return false;
  }
  parser_ = expat_->get();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, onStartElement, onEndElement);
  XML_SetCharacterDataHandler(parser_, onCharacterData);
  XML_SetCommentHandler(parser_, onComment);
  XML_SetProcessingInstructionHandler(parser_, onProcessingInstruction);
  XML_SetStartCdataSectionHandler(parser_, onStartCdata);
  XML_SetStartDoctypeDeclHandler(parser_, onStartDoctype);
  XML_SetStartNamespaceDeclHandler(parser_, onNamespaceDecl);
  // Fed as the document parser feeds a file, piece by piece into expat's own
  // buffer; a document beyond what expat may take for its size is refused
  // (XML_ERROR_NO_MEMORY), and the loaded way reports it.
  for (bool last = false; !last;) {
    XML_Status status = XML_STATUS_ERROR;
    try {
      status = expat_->parseFilePiece(file, &last);
    } catch (const std::exception&) {
      return false;
    }
    if (failure_) std::rethrow_exception(failure_);
    if (status != XML_STATUS_OK || stopped_) return false;
  }
  return at_ == At::kEnd;
}

}  // namespace

bool CarrierXmlReader::read(const std::string& path, const Each& each) {
  carriers_ = 0;
  return Reading(each, carriers_).run(path);
}

bool importXmlStreaming(const std::string& xml, const std::string& database) {
  try {
    TCarrierWriter out(database);
    CarrierXmlReader in;
    if (!in.read(xml, [&](const StoredCarrier& carrier) { out.write(carrier); })) return false;
    out.close();
    return true;
  } catch (...) {
    // The writer's file was discarded on the way out; the loaded way reports.
    return false;
  }
}
