// voskodb export-html: the page opened in a headless Chromium (skipped where
// there is none) through a proxy that counts every connection: the rows it
// shows against the database, its searches against voskodb find, its
// charts, the texts it must keep inert, its layout from a desktop's width
// to a phone's (with screenshots), and what a failed export leaves.
#include "voskodb/catalogue_page.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "data/carrier_stream.h"
#include "generated_database.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

std::string findBrowser() {
  for (const char* path : {"/usr/bin/chromium-headless-shell", "/usr/lib/chromium/chromium-headless-shell"}) {
    if (access(path, X_OK) == 0) return path;
  }
  return "";
}

// A stored text of at most 500 characters as a line of the page draws it:
// control characters as visible marks, in notes a line break as one mark.
std::string drawn(std::string_view text, bool notes = false) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (notes && (c == '\r' || c == '\n')) {
      out += " \xE2\x86\xB5 ";  // U+21B5
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c < 0x20 || c == 0x7F) {
      out += {'\xE2', '\x90', static_cast<char>(c == 0x7F ? 0xA1 : 0x80 + c)};  // U+2400 + c, U+2421
    } else if (std::string_view("\x81\x8D\x8F\x90\x9D").find(text[i]) != std::string_view::npos) {
      out += "\xEF\xBF\xBD";  // the C1 controls Windows-1252 leaves these bytes
    } else {
      out += platform::ansiToUtf8(text.substr(i, 1));
    }
  }
  return out;
}

// Every byte as %XX, as an address may carry it.
std::string percentEncoded(const std::string& text) {
  std::string out;
  char escaped[4];
  for (unsigned char c : text) {
    std::snprintf(escaped, sizeof escaped, "%%%02X", c);
    out += escaped;
  }
  return out;
}

// The character the DOM's text has at `i`, an entity read; `i` moves to its last byte.
std::string character(const std::string& dom, size_t& i) {
  for (auto [entity, read] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&nbsp;", "\xC2\xA0"}}) {
    if (dom.compare(i, std::strlen(entity), entity) == 0) {
      i += std::strlen(entity) - 1;
      return read;
    }
  }
  return std::string(1, dom[i]);
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

// The rows of the list as "C |name|..." and "T 01|name|...": the texts of
// each row's cells, entities read, a text marked as found in brackets,
// other tags (whose quoted attribute values may hold ">") dropped.
std::vector<std::string> listRows(const std::string& dom) {
  std::vector<std::string> rows;
  bool inCell = false;
  int cells = 0, depth = 0;  // the divs open in the row
  for (size_t i = dom.find("<div id=\"lines\""); i < dom.size(); ++i) {
    if (dom[i] == '<') {
      size_t end = i;
      for (bool quoted = false; ++end < dom.size() && (quoted || dom[end] != '>');) quoted ^= dom[end] == '"';
      const std::string_view tag(dom.data() + i, end - i);
      i = end;
      if (tag.starts_with("<div class=\"carrier\"") || tag.starts_with("<div class=\"title\"")) {
        rows.push_back(tag[12] == 'c' ? "C " : "T ");
        depth = 1;
        cells = 0;
      } else if (tag.starts_with("<div")) {
        ++depth;
      } else if (tag.starts_with("</div")) {
        if (depth-- == 0) break;  // the end of the list
      } else if (tag.starts_with("<mark") || tag.starts_with("</mark")) {
        rows.back() += tag[1] == 'm' ? '[' : ']';
      } else if (tag.starts_with("<span")) {
        if (cells++ > 0) rows.back() += '|';
        inCell = true;
      } else if (tag.starts_with("</span")) {
        inCell = false;
      }
      continue;
    }
    if (inCell) rows.back() += character(dom, i);
  }
  return rows;
}

// Run after the page's own script, it reports as "key value" lines what a
// reader sees: the columns ("misaligned": those whose cells do not start
// where their heading does; stacked, the numbers and names), the names shown
// cut, the lines whose marks all lie beyond what their cells show (but for a
// title's artist that is its carrier's, shown there), each year the chart
// names with the year of the bar above it, and where the charts stand or the
// Charts button opens them.
constexpr std::string_view kProbe = R"(<script>(() => {
  const byId = (id) => document.getElementById(id), shown = (e) => e.getClientRects().length > 0;
  const list = byId("list"), aside = byId("charts"), rows = [...byId("lines").children], seen = {}, starts = {};
  seen.layout = [...document.body.classList].filter((c) => c !== "charts-open").join(" ");
  seen.headings = [...byId("columns").querySelectorAll("span")].filter(shown).map((h) => h.textContent).join("|");
  for (const row of [byId("columns"), ...rows]) for (const e of row.querySelectorAll("span")) {
    const kind = e.classList[0], key = seen.layout === "table" ? kind : /^(no|name)$/.test(kind) && row.className + kind;
    if (key && shown(e) && e.textContent) (starts[key] ??= new Set()).add(Math.round(e.getBoundingClientRect().left));
  }
  seen.misaligned = Object.keys(starts).filter((k) => starts[k].size > 1).join(",");
  seen.cut = [...byId("lines").querySelectorAll(".name")].filter((e) => e.scrollWidth > e.clientWidth)
    .map((e) => e.textContent).join("|");
  seen.fits = list.scrollWidth <= list.clientWidth ? "yes" : "no";
  const beyond = (m) => !(m.getClientRects()[0]?.right <= m.closest("span").getBoundingClientRect().right + 0.5);
  const marks = (r) => [...r.querySelectorAll(":not(.same) > mark")];
  seen.unmarked = rows.filter((r) => marks(r).length && marks(r).every(beyond))
    .map((r) => r.querySelector(".name").textContent).join("|");
  seen.empty = byId("empty")?.firstChild.textContent ?? "";
  seen.axis = [...document.querySelectorAll("#chart-year .tick")].map((t) => {
    const bar = t.parentNode.querySelector("rect"), middle = +bar.getAttribute("x") + bar.getAttribute("width") / 2;
    return `${t.textContent}=${Math.abs(middle - t.getAttribute("x")) < 0.01 ? t.parentNode.textContent.split(":")[0] : "?"}`;
  }).join(" ");
  const charts = () => (shown(aside) ? (shown(list) ? "beside the list" : "instead of the list") : "closed");
  seen.charts = charts();
  if (seen.charts === "closed") byId("charts-toggle").click(), (seen.charts += `, opened ${charts()}`);
  seen.figures = [...aside.querySelectorAll("figure")].filter(shown).length;
  if (seen.charts.startsWith("closed")) byId("charts-toggle").click();
  const text = Object.entries(seen).map(([key, value]) => `${key} ${value}`).join("\n");
  document.body.append(Object.assign(document.createElement("pre"), { id: "probe", textContent: text }));
})();</script>)";

struct Page {
  std::vector<std::string> rows;  // "C artist|name|..." or "T 01|name|..."
  std::string count;              // the status line
  size_t charts = 0;              // the charts that drew bars
  int connections = 0;            // through the proxy: none may be made
  std::string dom;
  std::map<std::string, std::string> probed;  // what kProbe reported, where it ran
};

class CataloguePageTest : public VoskodbTest {
 protected:
  void SetUp() override {
    VoskodbTest::SetUp();
    browser_ = findBrowser();
    if (browser_.empty()) GTEST_SKIP() << "no chromium-headless-shell";
  }

  // The page as the browser shows it after opening `path` with `fragment`.
  // Every request would go to a proxy that answers none and counts it.
  // A page that waits for an answer is cut off after `timeoutMs`, one whose
  // script does not end (which the browser waits for) after a minute.
  Page open(const std::string& path, const std::string& fragment = "", int timeoutMs = 20000,
            int width = 800) {
    const int proxy = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(0, bind(proxy, reinterpret_cast<sockaddr*>(&address), size));
    EXPECT_EQ(0, listen(proxy, 64));
    getsockname(proxy, reinterpret_cast<sockaddr*>(&address), &size);
    testutil::RunResult r = testutil::run(
        "/usr/bin/timeout",
        {"-k", "5", "60", browser_, "--no-sandbox", "--dump-dom", "--virtual-time-budget=2000",
         "--timeout=" + std::to_string(timeoutMs), "--window-size=" + std::to_string(width) + ",800",
         "--proxy-server=http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)),
         "--user-data-dir=" + dir_.file("profile"), "file://" + path + fragment});
    Page page;
    for (int c; (c = accept(proxy, nullptr, nullptr)) >= 0; close(c)) ++page.connections;
    close(proxy);
    page.dom = r.out;
    page.rows = listRows(r.out);
    const size_t count = r.out.find("<span id=\"count\"");
    if (count != std::string::npos) {
      const size_t from = r.out.find('>', count) + 1;
      page.count = r.out.substr(from, r.out.find('<', from) - from);
    }
    for (std::string figure : {"chart-year", "chart-medium"}) {
      const size_t at = r.out.find("<figure id=\"" + figure);
      page.charts += at != std::string::npos && r.out.find("<rect", at) < r.out.find("</figure>", at);
    }
    std::string probed, line;
    const size_t probe = r.out.find("<pre id=\"probe\">");
    for (size_t i = probe + 16; probe != std::string::npos && r.out.compare(i, 6, "</pre>"); ++i)
      probed += character(r.out, i);
    for (std::istringstream in(probed); std::getline(in, line);)
      page.probed[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
    return page;
  }

  // The page `path` opened `width` pixels wide, with what kProbe reports.
  Page probe(const std::string& path, int width, const std::string& fragment) {
    std::string page = testutil::readFile(path);
    page.insert(page.rfind("</body>"), kProbe);
    return open(write("probed.html", page), fragment, 20000, width);
  }

  // A screenshot of the page `path` in a window `size` ("1280,720") as `png`; false when none was made.
  bool screenshot(const std::string& path, const std::string& size, const std::string& png) {
    std::remove(png.c_str());
    testutil::run("/usr/bin/timeout",
                  {"-k", "5", "60", browser_, "--no-sandbox", "--hide-scrollbars", "--window-size=" + size,
                   "--screenshot=" + png, "--user-data-dir=" + dir_.file("profile"), "file://" + path});
    return testutil::exists(png) && testutil::readFile(png).starts_with("\x89PNG");
  }

  // A title's number as the page shows it: side and track of a record or
  // cassette ("B3"), disc and track where a carrier has more discs ("2-05").
  static std::string position(const StoredTitle& t, std::string_view type, bool discs) {
    const std::string track = std::to_string(t.track + 1LL), padded = track.size() < 2 ? "0" + track : track;
    const bool sides = type == TSoundCarrier::kRecord || type == TSoundCarrier::kCassette;
    if (sides && t.carrierIndex >= 0 && t.carrierIndex < 26)
      return static_cast<char>('A' + t.carrierIndex) + track;
    return discs ? std::to_string(t.carrierIndex + 1LL) + "-" + padded : padded;
  }

  // The rows the page shows for the first `limit` carriers of a database:
  // number, name, artist, label, date, medium, kind and notes, each in its
  // own column on carriers and titles alike.
  static std::vector<std::string> expectedRows(const std::string& database, size_t limit = SIZE_MAX) {
    CarrierStream in;
    StoredCarrier c;
    EXPECT_TRUE(in.open(database));
    std::vector<std::string> rows;
    for (int32_t i = 0; i < in.count() && static_cast<size_t>(i) < limit && in.next(c); ++i) {
      auto u = [](std::string_view s) { return drawn(s); };
      rows.push_back("C |" + u(c.name) + "|" + u(c.artist) + "|" + u(c.label) + "|" +
                     platform::formatIsoDate(c.release) + "|" + u(c.type) + "|" + u(c.contentType) + "|" +
                     drawn(c.notes, true));
      bool discs = false;
      for (const StoredTitle& t : c.titles) discs = discs || t.carrierIndex != 0;
      for (const StoredTitle& t : c.titles) {
        std::string notes = t.originalArtist.empty() ? "" : "original: " + u(t.originalArtist);
        if (!t.film.empty()) notes += (notes.empty() ? "film: " : " \xC2\xB7 film: ") + u(t.film);
        rows.push_back("T " + position(t, c.type, discs) + "|" + u(t.name) + "|" + u(t.artist) + "||||" +
                       (t.contentType == TTitle::kOriginal ? "" : u(t.contentType)) + "|" + notes);
      }
    }
    return rows;
  }

  // "N of M carriers, T titles" as voskodb find counts what it prints.
  std::string findCount(const std::string& database, const std::vector<std::string>& words, size_t total) {
    std::vector<std::string> args = {"find", database};
    args.insert(args.end(), words.begin(), words.end());
    size_t carriers = 0, titles = 0;
    for (const std::string& line : lines(voskodb(args).out))
      (line.rfind("    ", 0) == 0 ? titles : carriers)++;
    auto grouped = [](size_t n) {
      std::string s = std::to_string(n);
      for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), ",");
      return s;
    };
    return grouped(carriers) + " of " + grouped(total) + " carriers, " + grouped(titles) + " titles";
  }

  // Texts that must stay text, bytes of every kind, and numbering the page
  // writes as differences: titles with no artist, content type or number
  // of their own, discs out of order, sides.
  std::string writeAwkward() {
    TSoundCarriers database;
    auto record = std::make_unique<TSoundCarrier>("</script><script>document.title='pwned'</script><!--",
                                                  "Label\\\"&'", TSoundCarrier::kRecord);
    record->artist = "Die \xC4rzte <b>";
    record->release = std::nan("");
    record->notes = "Zeile\r\n</SCRIPT >";
    record->setContentType("Split");
    record->artist = "Die \xC4rzte <b>";
    auto title = [&](const char* name, const char* artist, int32_t disc, int32_t track,
                     const char* url = "") {
      auto t = std::make_unique<TTitle>(name, url, artist);
      t->carrierIndex = disc;
      t->track = track;
      return t.release();
    };
    record->add(title("Seite A \x01\x1F\x7F", "", 0, -1, "javascript:alert(1)"));
    TTitle* odd = title(
        "\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xAD\xFF Stra\xDF"
        "e",
        "Die \xC4rzte <b>", 1, 5);
    odd->setContentType("");
    odd->originalArtist = "Orig";
    odd->film = "Film";
    record->add(odd);
    record->add(title("Third", "Gast", 3, -1, "https://example.org/a?b=<c>&d"));
    record->add(title("Back", "Gast", 0, -5));
    database.add(record.release());
    auto empty = std::make_unique<TSoundCarrier>("", "", "");
    empty->release = 1e300;
    empty->setContentType("");
    database.add(empty.release());
    auto album = std::make_unique<TSoundCarrier>(
        "Gr\xF6\xDF"
        "enwahn",
        "Metronome", TSoundCarrier::kCompactDisc);
    album->artist = "Die \xC4rzte";
    album->release = platform::encodeDate(1993, 5, 3) + 0.75;
    album->add(title("Schrei nach Liebe", "Die \xC4rzte", 0, -1));
    database.add(album.release());
    database.store(dir_.file("awkward.vsk"));
    return dir_.file("awkward.vsk");
  }

  std::string browser_;
};

TEST_F(CataloguePageTest, SamplesShowEveryCarrierAndTitleWithChartsAndNoRequest) {
  for (const std::string& version : kOldVersions) {
    const std::string page = dir_.file("sample-" + version + ".html");
    testutil::RunResult r = voskodb({"export-html", converted(version), page});
    ASSERT_EQ(0, r.exitCode) << r.out;
    const std::vector<std::string> rows = expectedRows(converted(version));
    const Page shown = open(page, "", 20000, 1280);  // where every row fits the window
    EXPECT_EQ(rows, shown.rows) << version;
    EXPECT_EQ(2u, shown.charts) << version;
    EXPECT_EQ(0, shown.connections) << version;
    const size_t carriers = std::count_if(rows.begin(), rows.end(), [](auto& row) { return row[0] == 'C'; });
    EXPECT_EQ(findCount(converted(version), {"arzte"}, carriers), open(page, "#q=arzte").count) << version;
  }
}

TEST_F(CataloguePageTest, TheAddressSortsByYearAndLabel) {
  const std::string page = dir_.file("sample.html");
  ASSERT_EQ(0, voskodb({"export-html", converted("2.5.5"), page}).exitCode);
  std::vector<std::string> stored;
  for (const std::string& row : open(page).rows) {
    if (row[0] == 'C') stored.push_back(row);
  }
  auto field = [](const std::string& row, int n) {
    std::istringstream in(row);
    std::string f;
    for (int i = 0; i <= n; ++i) std::getline(in, f, '|');
    return f;
  };
  for (auto [sort, column, descending] : {std::tuple{"year", 4, false}, {"-label", 3, true}}) {
    std::vector<std::string> expected = stored;
    std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
      return descending ? field(a, column) > field(b, column) : field(a, column) < field(b, column);
    });
    std::vector<std::string> shown;
    for (const std::string& row : open(page, std::string("#sort=") + sort).rows) {
      if (row[0] == 'C') shown.push_back(row);
    }
    EXPECT_EQ(expected, shown) << sort;
  }
}

TEST_F(CataloguePageTest, TheProxyCountsARequest) {
  // Otherwise "no connection" above would prove nothing.
  const Page shown = open(write("control.html", "<img src=\"http://vosko.invalid/cover.jpg\">"), "", 2000);
  EXPECT_GE(shown.connections, 1);
}

TEST_F(CataloguePageTest, AwkwardTextsStayTextAndSearchesFindWhatFindFinds) {
  const std::string db = writeAwkward(), page = dir_.file("awkward.html");
  ASSERT_EQ(0, voskodb({"export-html", db, page}).exitCode);
  // No stored text ends the script that holds it or opens a comment in it.
  const std::string bytes = testutil::readFile(page);
  const std::string pattern(catalogueTemplate());
  for (const char* part : {"</script", "</SCRIPT", "<!--"}) {
    EXPECT_EQ(occurrences(pattern, part), occurrences(bytes, part)) << part;
  }
  const Page shown = open(page);
  EXPECT_EQ(expectedRows(db), shown.rows);
  EXPECT_THAT(shown.dom, testing::HasSubstr("<title>Vosko catalogue</title>"));
  EXPECT_THAT(shown.dom, testing::Not(testing::HasSubstr("javascript:")));
  EXPECT_THAT(shown.dom, testing::HasSubstr("<a href=\"https://example.org/a?b="));

  std::vector<std::vector<std::string>> queries = {
      {"arzte"}, {"STRASSE", "orig"}, {"1993"}, {"189x", "seite"}, {"script"},
      {"gast"},  {"\xC4\x83"},        {"b>"},   {"\x01\x1F"}};
  // More words than the page looks up at once.
  queries.push_back(std::vector<std::string>(30, "e"));
  queries.push_back(queries.back());
  queries.back().push_back("nirgends");
  for (const auto& words : queries) {
    std::string fragment = "#q=";
    for (const std::string& w : words) fragment += (fragment.size() > 3 ? "%20" : "") + percentEncoded(w);
    EXPECT_EQ(findCount(db, words, 3), open(page, fragment).count) << fragment;
  }
}

TEST_F(CataloguePageTest, AddressesThatAskForNothingOrNoOrderShowTheStoredOrder) {
  const std::string db = writeAwkward(), page = dir_.file("awkward.html");
  ASSERT_EQ(0, voskodb({"export-html", db, page}).exitCode);
  // Each address shows what the second shows.
  const std::pair<std::string, std::string> cases[] = {
      // A soft hyphen folds to nothing: looking for "" never ended.
      {"#q=%C2%AD", ""},
      {"#q=arzte%20%C2%AD", "#q=arzte"},
      {"#q=%C2%AD%C2%AD%20%20", ""},
      // Names every object has are no orderings of the page.
      {"#sort=constructor", ""},
      {"#sort=__proto__", ""},
      {"#sort=-toString", ""},
      {"#sort=-hasOwnProperty&q=gast", "#q=gast"},
  };
  for (const auto& [fragment, same] : cases) {
    const Page shown = open(page, fragment), expected = open(page, same);
    ASSERT_NE("", expected.count) << same;
    EXPECT_EQ(expected.count, shown.count) << fragment;
    EXPECT_EQ(expected.rows, shown.rows) << fragment;
  }
}

TEST_F(CataloguePageTest, LongTextsOfControlCharactersAreDrawnClippedAsMarks) {
  // A megabyte of control characters per text kept the page from opening.
  const std::string megabyte(1 << 20, '\x01');
  TSoundCarriers database;
  auto carrier = std::make_unique<TSoundCarrier>(megabyte, "L", std::string(1 << 20, '\x1F'));
  carrier->artist = "a\tb\r\nc\x7F\x81";
  carrier->notes = std::string(1 << 20, '\x03');
  carrier->release = platform::encodeDate(1993, 5, 3);
  carrier->add(new TTitle(std::string(1 << 20, '\x0B'), "", std::string(1 << 20, '\x02')));
  database.add(carrier.release());
  auto plain = std::make_unique<TSoundCarrier>(std::string(1 << 20, 'x'), "\x1B[31m", "Compact Disc");
  plain->release = 0;
  database.add(plain.release());
  database.store(dir_.file("controls.vsk"));
  const std::string page = dir_.file("controls.html");
  ASSERT_EQ(0, voskodb({"export-html", dir_.file("controls.vsk"), page}).exitCode);

  auto times = [](const char* mark, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += mark;
    return s + "\xE2\x80\xA6";  // …
  };
  const Page shown = open(page);
  EXPECT_EQ("2 of 2 carriers, 1 titles", shown.count);
  const std::vector<std::string> expected = {
      "C |" + times("\xE2\x90\x81", 499) +
          "|a\xE2\x90\x89"
          "b\xE2\x90\x8D\xE2\x90\x8A"
          "c\xE2\x90\xA1\xEF\xBF\xBD|L|1993-05-03|" +
          times("\xE2\x90\x9F", 499) + "|Album|" + times("\xE2\x90\x83", 499),
      "T 01|" + times("\xE2\x90\x8B", 499) + "|" + times("\xE2\x90\x82", 499) + "|||||",
      "C |" + times("x", 499) + "||\xE2\x90\x9B[31m|1899-12-30|Compact Disc|Album|"};
  EXPECT_EQ(expected, shown.rows);
  EXPECT_EQ(2u, shown.charts);
}

TEST_F(CataloguePageTest, EveryWayOfReadingGivesTheSamePage) {
  // The XML form refuses the control characters XML cannot hold: the awkward
  // database without them (same lengths) goes through it.
  const std::string xml = dir_.file("awkward.xml"), db = dir_.file("imported.vsk"),
                    page = dir_.file("page.html");
  std::string holdable = testutil::readFile(writeAwkward());
  holdable.replace(holdable.find("\x01\x1F"), 2, "\t\r");
  ASSERT_EQ(0, voskodb({"export-xml", write("holdable.vsk", holdable), xml}).exitCode);
  ASSERT_EQ(0, voskodb({"import-xml", xml, db}).exitCode);
  ASSERT_EQ(0, voskodb({"export-html", db, page}).exitCode);
  // The last title's block a byte short, which loading never notices: the
  // stream gives up after handing the first carriers, and a page being
  // written to a file starts over.
  std::string bent = testutil::readFile(db);
  --bent[bent.rfind("TTitle") + 6];
  for (const std::string& source : {xml, write("bent.vsk", bent)}) {
    for (const std::string& out : {dir_.file("again.html"), std::string("-")}) {
      testutil::RunResult r = voskodb({"export-html", source, out});
      EXPECT_EQ(0, r.exitCode) << r.err;
      EXPECT_EQ(testutil::readFile(page), out == "-" ? r.out : testutil::readFile(out))
          << source << " " << out;
      EXPECT_EQ("", r.err);
    }
  }
}

TEST_F(CataloguePageTest, AFailedExportLeavesTheTargetAsItWas) {
  const std::string db = writeAwkward(), kept = write("kept.html", "old page");
  ASSERT_EQ(0, chmod(kept.c_str(), 0444));
  testutil::RunResult readOnly = voskodb({"export-html", db, kept});
  EXPECT_EQ(1, readOnly.exitCode);
  EXPECT_THAT(reportLine(readOnly.err), testing::HasSubstr("Cannot create '" + kept + "'"));
  EXPECT_EQ("old page", testutil::readFile(kept));
  const std::string before = testutil::readFile(db);
  EXPECT_EQ(1, voskodb({"export-html", db, db}).exitCode);
  EXPECT_EQ(before, testutil::readFile(db));

  testutil::RunResult refused =
      voskodb({"export-html", writeRelations("relations.vsk"), dir_.file("new.html")});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_THAT(reportLine(refused.err),
              testing::HasSubstr("export-html takes a 2.5.7 sound-carrier database"));
  EXPECT_FALSE(testutil::exists(dir_.file("new.html")));
  EXPECT_THAT(dir_.entries(), testing::ElementsAre("awkward.vsk", "kept.html", "relations.vsk"));
}

TEST_F(CataloguePageTest, EachWidthShowsHeadedColumnsWholeNamesTheMatchesAndTheChartsOrAWayToThem) {
  const std::string sample = dir_.file("sample.html"), awkward = dir_.file("awkward.html");
  ASSERT_EQ(0, voskodb({"export-html", converted("2.5.5"), sample}).exitCode);
  ASSERT_EQ(0, voskodb({"export-html", writeAwkward(), awkward}).exitCode);
  TSoundCarriers().store(dir_.file("none.vsk"));
  ASSERT_EQ(0, voskodb({"export-html", dir_.file("none.vsk"), dir_.file("none.html")}).exitCode);
  const std::string table = "#|Title|Artist|Label|Released|Medium|Kind|Notes", stacked = table.substr(2);
  const std::string ndw =
      "C |Neue Deutsche Welle \xE2\x80\x93 Die gr\xC3\xB6\xC3\x9Ften Hits|<Sampler>|EMI Electrola|"
      "1998-09-14|Compact Disc|Sampler|";
  const struct {
    std::string page, fragment;
    int width;
    std::map<std::string, std::string> seen;  // beyond aligned, whole and fitting columns and marks shown
    std::string row = "";                     // a row shown
  } cases[] = {
      {sample,
       "",
       1600,
       {{"layout", "table"}, {"headings", table}, {"charts", "beside the list"}, {"figures", "2"}}},
      {sample,
       "",
       1280,
       {{"layout", "table"}, {"headings", table}, {"charts", "closed, opened beside the list"}}},
      {sample, "", 1024, {{"layout", "table"}, {"headings", table}}},
      {sample,
       "",
       800,
       {{"layout", "stacked"}, {"headings", stacked}, {"charts", "closed, opened beside the list"}}},
      {sample, "", 420, {{"layout", "stacked narrow"}, {"charts", "closed, opened instead of the list"}}},
      // Nothing shown says so, without the headings and charts of nothing.
      {sample,
       "#q=nirgends%20Hits",
       1600,
       {{"empty",
         "No carrier or title holds all of \xE2\x80\x9Cnirgends\xE2\x80\x9D \xE2\x80\x9CHits\xE2\x80\x9D."},
        {"headings", ""},
        {"figures", "0"}}},
      {dir_.file("none.html"), "", 1600, {{"empty", "The collection holds no carriers."}, {"figures", "0"}}},
      // A match is marked where it stands, notes shown from a word before it.
      {sample,
       "#q=koln",
       420,
       {},
       ndw + "\xE2\x80\xA6"
             "Gekauft in [K\xC3\xB6ln]."},
      {sample,
       "#q=kraftwerk",
       420,
       {{"cut", "Autobahn (Kreidler-Mix)"}},
       "T 02|Autobahn (Kreidler-Mix)|Kreidler||||Remix|original: [Kraftwerk]"},
      {sample,
       "#q=199x%20arzte",
       1280,
       {},
       "C |Die Bestie in Menschengestalt|Die [\xC3\x84rzte]|Metronome|[1993]-05-03|Compact Disc|Album|Die "
       "erste "
       "Platte nach der Wiedervereinigung der Band. \xE2\x86\xB5 Produziert in Hamburg."},
      // Years named under the middle of their bars: named only at its
      // ends, the chart showed a bar of 1987 above the name 1984.
      {sample, "", 1600, {{"axis", "1990=1990 1995=1995 2000=2000"}}},
      {awkward, "", 1600, {{"axis", "1900s=1900s 1920s=1920s 1940s=1940s 1960s=1960s 1980s=1980s"}}},
  };
  for (const auto& c : cases) {
    Page shown = probe(c.page, c.width, c.fragment);
    std::map<std::string, std::string> expected = {{"misaligned", ""}, {"fits", "yes"}, {"unmarked", ""}};
    if (c.page == sample) expected["cut"] = "";
    for (const auto& [key, value] : c.seen) expected[key] = value;
    for (const auto& [key, value] : expected) {
      EXPECT_EQ(value, shown.probed[key]) << c.fragment << " at " << c.width << ": " << key;
    }
    if (!c.row.empty()) {
      EXPECT_THAT(shown.rows, testing::Contains(c.row)) << c.fragment << " at " << c.width;
    }
  }
  for (auto [width, height] : {std::pair{"1600", "720"}, {"1280", "720"}, {"800", "720"}, {"420", "860"}}) {
    const std::string png = std::string(VOSKO_BINARY_DIR) + "/catalogue-" + width + ".png";
    EXPECT_TRUE(screenshot(sample, std::string(width) + "," + height, png)) << width;
  }
}

TEST_F(CataloguePageTest, AHundredThousandCarriersOpenAndSearch) {
  const std::string old = dir_.file("large.255"), db = dir_.file("large.vsk"), page = dir_.file("large.html");
  sample::writeGeneratedDatabase("2.5.5", {100000, 10, 7}, old);
  ASSERT_EQ(0, run(kConverter, {"2.5.5", old, db}).exitCode);
  ASSERT_EQ(0, voskodb({"export-html", db, page}).exitCode);
  const Page all = open(page);
  EXPECT_EQ("100,000 of 100,000 carriers, 1,000,000 titles", all.count);
  // Only what fills the window is drawn, starting with the first carrier.
  ASSERT_GT(all.rows.size(), 10u);
  EXPECT_LT(all.rows.size(), 100u);
  std::vector<std::string> first = expectedRows(db, 10);
  first.resize(all.rows.size());
  EXPECT_EQ(first, all.rows);
  EXPECT_EQ(2u, all.charts);
  EXPECT_EQ(0, all.connections);

  const Page found = open(page, "#q=%C3%84rzte%20LIVE%20199x");
  EXPECT_EQ(findCount(db, {"arzte", "live", "199x"}, 100000), found.count);
  EXPECT_GT(found.rows.size(), 10u);
  EXPECT_EQ(0, found.connections);
}

}  // namespace
}  // namespace vdbtest
