// The rescue of the object files against their conversion: a valid database
// made from the input's first bytes (format and shape), damaged as the rest
// of the input says (bytes flipped, runs zeroed, the file cut), then rescued.
// The undamaged file must give the conversion byte for byte, complete, with
// the zeros the input may append after it named as trailing; a damaged one
// only carriers of the conversion, in its order, whole (apart from one per
// damage, whose own bytes were hit), among them every carrier whose bytes
// the damage left alone. The analysis, which writes nothing, must find what
// the rescue finds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"
#include "data/legacy/rescue/object_rescue.h"
#include "data/legacy/v2_5/convert_2_5.h"
#include "data/legacy/v2_5_3/convert_2_5_3.h"
#include "data/legacy/v2_5_5/convert_2_5_5.h"
#include "fuzz_input.h"
#include "object_sample.h"

namespace {

const char* const kVersions[] = {"2.5", "2.5.3", "2.5.5", "2.5.7"};

void writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

void convert(const std::string& version, const std::string& in, const std::string& out) {
  if (version == "2.5.5" || version == "2.5.7") {
    convert2_5_5(std::make_unique<TSoundCarriers2_5_5>(), in, out);
  } else if (version == "2.5.3") {
    convert2_5_3(std::make_unique<TSoundCarriers2_5_3>(), in, out);
  } else {
    convert2_5(std::make_unique<TSoundCarriers2_5>(), in, out);
  }
}

// Each carrier of a current database as it is stored, its bytes.
std::vector<std::string> storedCarriers(const std::string& path) {
  CarrierStream in;
  StoredCarrier c;
  std::vector<std::string> all;
  if (!in.open(path)) return all;
  fuzzinput::ScratchFile one("one.vsk");
  for (int32_t i = 0; i < in.count() && in.next(c); ++i) {
    TCarrierWriter out(one.path());
    out.write(c);
    out.close();
    all.push_back(fuzzinput::contents(one.path()).substr(std::string(TSoundCarrier::kFileHeader).size() + 8));
  }
  return all;
}

bool sameReport(const RescueReport& a, const RescueReport& b) {
  auto runs = [](const RescueReport& r) {
    std::vector<std::pair<int64_t, int64_t>> all;
    for (const RescueReport::Damage& d : r.damage) all.emplace_back(d.begin, d.end);
    return all;
  };
  auto losses = [](const RescueReport& r) {
    std::vector<std::string> all;
    for (const RescueReport::Loss& l : r.losses) {
      all.push_back(std::to_string(static_cast<int>(l.kind)) + " " + std::to_string(l.offset) + " " +
                    std::to_string(l.number) + " " + std::to_string(l.count) + " " + l.name + " " +
                    l.carrier + " " + l.reason);
    }
    return all;
  };
  return a.carriers == b.carriers && a.titles == b.titles && runs(a) == runs(b) && losses(a) == losses(b) &&
         a.trailing.offset == b.trailing.offset && a.trailing.count == b.trailing.count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fuzzinput;
  startOnce();
  if (size < 3) return 0;
  const std::string version = kVersions[data[0] % 4];
  sample::ObjectFormat format = sample::parseObjectFormat(version == "2.5.7" ? "2.5.5" : version);
  sample::ObjectDatabase db{format, {}};
  const int carriers = data[1] % 8;
  for (int i = 0; i < carriers; ++i) {
    sample::ObjectCarrier c = sample::defaultCarrier(format);
    c.name = "C" + std::to_string(i);
    c.artist = i % 3 == 0 ? "A" : "B";
    for (int t = 0; t < (data[2] >> (i % 4)) % 5; ++t) {
      sample::ObjectTitle title = sample::defaultTitle(format);
      title.name = "T" + std::to_string(t);
      title.artist = t == 2 ? "X" : c.artist;
      c.titles.push_back(title);
    }
    db.carriers.push_back(c);
  }
  ScratchFile in("in.vsk");
  ScratchFile conv("conv.vsk");
  ScratchFile out("out.vsk");
  sample::writeObjectDatabase(db, in.path());
  convert(version, in.path(), conv.path());
  if (version == "2.5.7") writeFile(in.path(), contents(conv.path()));
  std::string bytes = contents(in.path());
  const std::vector<std::string> expected = storedCarriers(conv.path());

  // Where each carrier lies in the undamaged file.
  std::vector<std::pair<size_t, size_t>> at;
  const size_t header = version == "2.5.7" ? std::string(TSoundCarrier::kFileHeader).size()
                                           : sample::objectFormatHeader(format).size();
  ByteCursor walk(bytes, header + 8);
  ByteCursor block;
  for (int i = 0; i < carriers; ++i) {
    const size_t from = walk.position();
    walk.skipText();
    walk.block(block);
    at.emplace_back(from, walk.position());
  }

  // The damage: flips and zeroed runs of up to 64 bytes, then perhaps a cut.
  std::vector<bool> hit(bytes.size(), false);
  size_t cut = bytes.size();
  int damages = 0;
  for (size_t i = 3; i + 3 <= size; i += 3) {
    const size_t pos = (static_cast<size_t>(data[i + 1]) << 8 | data[i + 2]) % bytes.size();
    ++damages;
    if (data[i] % 4 == 3) {
      cut = std::min(cut, pos);
    } else if (data[i] % 4 == 2) {
      const size_t end = std::min(bytes.size(), pos + data[i] % 64 + 1);
      for (size_t p = pos; p < end; ++p) {
        hit[p] = hit[p] || bytes[p] != 0;
        bytes[p] = 0;
      }
    } else if ((data[i] | 1) != 1) {
      bytes[pos] = static_cast<char>(bytes[pos] ^ data[i]);
      hit[pos] = true;
    }
  }
  bytes.resize(cut);
  // A byte the damages leave over appends that many zeros after the database.
  const size_t trailing = (size - 3) % 3 == 1 ? data[size - 1] : 0;
  bytes.append(trailing, '\0');
  writeFile(in.path(), bytes);

  // The analysis alone, which writes nothing, finds what the rescue finds.
  const RescueReport analysed = analyseObjectDatabase(version, in.path());
  if (contents(out.path()) != "<none>") finding("the analysis wrote an output");
  RescueReport report;
  try {
    report = rescueObjectDatabase(version, in.path(), out.path());
  } catch (const IOException&) {
    if (contents(out.path()) != "<none>") finding("a failed rescue left an output");
    if (damages == 0) finding("the undamaged file could not be rescued");
    if (analysed.carriers != 0) finding("the analysis rescues what the rescue cannot");
    return 0;
  }
  if (!sameReport(analysed, report)) finding("the analysis and the rescue differ");
  const std::vector<std::string> got = storedCarriers(out.path());
  if (static_cast<int64_t>(got.size()) != report.carriers) finding("the report counts other carriers");
  if (damages == 0 && contents(out.path()) != contents(conv.path())) finding("the undamaged file differs");
  if (damages == 0 && (!report.complete() || report.trailing.count != static_cast<int64_t>(trailing)))
    finding("the undamaged file is not complete with its trailing bytes named");
  // In order, whole; the rest at most one per damage.
  size_t j = 0;
  int foreign = 0;
  std::vector<bool> rescued(expected.size(), false);
  for (const std::string& c : got) {
    size_t k = j;
    while (k < expected.size() && expected[k] != c) ++k;
    if (k == expected.size()) {
      ++foreign;
    } else {
      rescued[k] = true;
      j = k + 1;
    }
  }
  if (foreign > damages) finding("a carrier the original does not hold");
  for (size_t k = 0; k < at.size() && k < expected.size(); ++k) {
    const bool intact = at[k].second <= cut &&
                        std::none_of(hit.begin() + static_cast<long>(at[k].first),
                                     hit.begin() + static_cast<long>(at[k].second), [](bool h) { return h; });
    if (intact && !rescued[k]) finding("a carrier the damage left alone was not rescued");
  }
  return 0;
}
