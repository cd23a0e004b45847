// Speed of the 2.0 conversion on generated databases of 50,000 carriers and
// 500,000 titles times 1, 2 and 4: the time per title should stay flat, as a
// conversion is linear in the size of the database (look-ups by id and the
// titles of each carrier come from indexes, not from scans).
//
//   legacy_2_0_bench [carriers at 1x] [work directory]
//
// Titles are spread over the carriers out of order, a fifth of the carriers
// are samplers, and one title in ten is on a second carrier.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/legacy/records/record_file.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_0/identifier_list_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// Carrier ids are sparse and descending, so no position equals an id.
int32_t carrierId(int32_t i, int32_t carriers) { return 3 * (carriers - i) + 11; }

void generate(const std::string& path, int32_t carriers) {
  const int32_t titles = 10 * carriers;
  const int32_t artists = carriers / 10 + 1;
  const int32_t labels = carriers / 100 + 1;
  TArtistList2_0 artistList;
  TLabelList2_0 labelList;
  TTitleList2_0 titleList;
  TCarrierList2_0 carrierList;
  for (int32_t i = 0; i < artists; ++i)
    artistList.add(std::make_unique<TArtist2_0>("Artist " + std::to_string(i), 1000 + 2 * i));
  for (int32_t i = 0; i < labels; ++i)
    labelList.add(std::make_unique<TMusicLabel2_0>("Label " + std::to_string(i), 5 * i));
  for (int32_t i = 0; i < carriers; ++i) {
    auto c = std::make_unique<TSoundCarrier2_0>("Album number " + std::to_string(i), carrierId(i, carriers));
    c->labelId = 5 * (i % labels);
    c->release = 30000 + i % 9000;
    c->notes = "Recorded live.\r\nSecond line of the notes of album " + std::to_string(i) + ".";
    c->type = "Compact Disc";
    carrierList.add(std::move(c));
  }
  for (int32_t j = 0; j < titles; ++j) {
    // Title j goes to a scattered carrier; consecutive titles rarely share one.
    int32_t owner = static_cast<int32_t>((static_cast<int64_t>(j) * 7919) % carriers);
    auto t = std::make_unique<TTitle2_0>("Title " + std::to_string(j), 100000 + j);
    t->url = j % 3 == 0 ? "http://example.org/" + std::to_string(j) : "";
    t->carrierIds.emplace_back(carrierId(owner, carriers));
    if (j % 10 == 0) t->carrierIds.emplace_back(carrierId((owner + 1) % carriers, carriers));
    bool sampler = owner % 5 == 0;
    t->artistId = 1000 + 2 * ((sampler ? j : owner) % artists);
    titleList.add(std::move(t));
  }
  legacy::RecordFile file;
  file.openWrite(path);
  std::string header = legacy::Format2_0::header();
  file.write(header.data(), header.size());
  artistList.writeTo(file);
  labelList.writeTo(file);
  titleList.writeTo(file);
  carrierList.writeTo(file);
  file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  int32_t base = argc > 1 ? std::atoi(argv[1]) : 50000;
  std::string dir = argc > 2 ? argv[2] : ".";
  // The managers read and write their settings; keep them away from the user's.
  std::string registry = dir + "/legacy_2_0_bench.reg";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  std::printf("%-6s %10s %10s %10s %12s %12s %10s\n", "scale", "carriers", "titles", "MB in", "convert s",
              "us/title", "peak MiB");
  double first = 0;
  for (int scale : {1, 2, 4}) {
    int32_t carriers = base * scale;
    std::string input = dir + "/legacy_2_0_bench_in.vsk";
    std::string output = dir + "/legacy_2_0_bench_out.vsk";
    generate(input, carriers);
    FILE* f = std::fopen(input.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    double megabytes = static_cast<double>(std::ftell(f)) / 1e6;
    std::fclose(f);

    Clock::time_point start = Clock::now();
    convert2_0(std::make_unique<TManager2_0>(""), input, output);
    double seconds = secondsSince(start);
    double perTitle = seconds / (10.0 * carriers) * 1e6;
    if (scale == 1) first = perTitle;
    std::printf("%-6s %10d %10d %10.1f %12.2f %12.3f %10ld   (x%.2f per title)\n",
                (std::to_string(scale) + "x").c_str(), carriers, 10 * carriers, megabytes, seconds, perTitle,
                peakMiB(), perTitle / first);
    std::remove(input.c_str());
    std::remove(output.c_str());
  }
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  return 0;
}
