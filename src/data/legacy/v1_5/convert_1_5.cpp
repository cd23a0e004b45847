#include "data/legacy/v1_5/convert_1_5.h"

#include "data/legacy/records/relational_conversion.h"

namespace {

// A 1.5 carrier names its artist itself, and every title takes it.
struct Rules1_5 {
  template <class Source, class Carrier>
  void operator()(const Source& source, const Carrier& old, TCarrierWriter& out) const {
    TSoundCarrier& carrier = out.carrier();
    carrier.name.assign(old.name);
    carrier.label.assign(source.labelName(old.labelId));
    carrier.type.assign(old.type);
    carrier.artist.assign(source.artistName(old.artistId));
    carrier.release = old.release;
    carrier.notes.assign(old.notes);
    const auto titles = source.titlesOf(old);
    out.beginCarrier(titles.size());
    // The carrier holds no titles while they are written, so the artist it
    // shows is the one it names: the artists never become mixed.
    for (const auto& t : titles) out.addTitle(t.name, t.url, carrier.artist);
    out.endCarrier();
  }
};

}  // namespace

bool convertBytes1_5(const std::string& inputFile, const std::string& outputFile) {
  return legacy::convertFromBytes<legacy::Format1_5>(inputFile, outputFile, Rules1_5());
}

void convertLoaded1_5(TManager1_5& manager, const std::string& inputFile, const std::string& outputFile) {
  legacy::convertLoaded(manager, inputFile, outputFile, Rules1_5());
}

void convert1_5(std::unique_ptr<TManager1_5> manager, const std::string& inputFile,
                const std::string& outputFile) {
  legacy::convertRelational<legacy::Format1_5>(*manager, inputFile, outputFile, Rules1_5());
}
