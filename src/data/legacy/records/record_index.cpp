#include "data/legacy/records/record_index.h"

#include <cstring>

#include "platform/os_file.h"

namespace legacy {

void IdTable::build(const std::vector<int32_t>& ids) {
  ids_ = &ids;
  // At most half full, so that a probe ends soon.
  uint32_t bits = 1;
  while ((size_t{1} << bits) < 2 * ids.size()) ++bits;
  slots_.assign(size_t{1} << bits, 0);
  mask_ = static_cast<uint32_t>(slots_.size() - 1);
  shift_ = 32 - bits;
  for (size_t i = 0; i < ids.size(); ++i) {
    uint32_t slot = hash(ids[i]);
    while (slots_[slot] != 0 && ids[slots_[slot] - 1] != ids[i]) slot = (slot + 1) & mask_;
    // A later record of an id never wins.
    if (slots_[slot] == 0) slots_[slot] = static_cast<uint32_t>(i + 1);
  }
}

std::string_view RecordBytes::Names::nameOf(int32_t id) const {
  const int32_t position = table.find(id);
  if (position >= 0) return names[static_cast<size_t>(position)];
  if (id == -1) return {};
  throw AbandonedIndex();
}

RecordBytes::RecordBytes(const std::string& path, std::string_view header) {
  platform::OsFile in;
  in.openRead(path);
  const int64_t size = in.size();
  // Offsets are kept in 32 bits; a larger file takes the other way.
  if (size < static_cast<int64_t>(header.size()) || size > static_cast<int64_t>(UINT32_MAX)) throw AbandonedIndex();
  size_ = static_cast<size_t>(size);
  data_ = std::make_unique_for_overwrite<char[]>(size_);
  size_t got = 0;
  while (got < size_) {
    const size_t n = in.read(data_.get() + got, size_ - got);
    if (n == 0) break;
    got += n;
  }
  if (got != size_ || std::memcmp(data_.get(), header.data(), header.size()) != 0) throw AbandonedIndex();
  start_ = header.size();
}

}  // namespace legacy
