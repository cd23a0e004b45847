#include "debug/binary_writer.h"

#include <cstring>
#include <optional>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/os_file.h"

namespace {

const int64_t kHeaderSize = static_cast<int64_t>(std::strlen(TDebugEntries::kFileHeader));
// The list's block length and its count stand side by side behind the header.
const int64_t kLengthAt = kHeaderSize;
const int64_t kHeadSize = kHeaderSize + 2 * platform::kFixed32Size;
// Every entry takes at least the length of its class name and that of its block.
constexpr int64_t kMinEntrySize = 2 * platform::kFixed32Size;
constexpr int64_t kLongestClassName = 11;

// The list as the file's head describes it.
struct ListHead {
  int32_t length;  // of the list's block: the count and the entries
  int32_t count;
  int64_t end() const { return kHeadSize - platform::kFixed32Size + length; }
};

// The class names the reader takes for an entry.
bool isEntryClassName(const std::string& name) {
  return name == "TTraceEntry" || name == "TErrorEntry" || name == "TDebugEntry";
}

// The head of the debug file `name` when it describes a list of entries that
// one can be added to; nothing when the file must go the whole way through
// the reader instead, which then accepts or refuses it with its own message.
// Only the head and the first entry's class name are read, so damage among
// the entries goes unseen.
std::optional<ListHead> appendableHead(const std::string& name) {
  if (!platform::fileExists(name)) return std::nullopt;
  platform::OsFile file;
  try {
    file.openRead(name);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  const int64_t size = file.size();
  // The head and, behind it, room for the first entry's class name.
  std::string head(static_cast<size_t>(kHeadSize + platform::kFixed32Size + kLongestClassName), '\0');
  if (size < kHeadSize) return std::nullopt;
  head.resize(file.read(head.data(), head.size()));
  if (head.size() < static_cast<size_t>(kHeadSize) ||
      head.compare(0, static_cast<size_t>(kHeaderSize), TDebugEntries::kFileHeader) != 0) {
    return std::nullopt;
  }
  ListHead list{
      static_cast<int32_t>(platform::decodeFixed32(head.data() + kLengthAt)),
      static_cast<int32_t>(platform::decodeFixed32(head.data() + kLengthAt + platform::kFixed32Size))};
  if (list.length < platform::kFixed32Size || list.count < 0 || list.end() > size) return std::nullopt;
  const int64_t entryBytes = list.length - platform::kFixed32Size;
  if ((list.count == 0) != (entryBytes == 0) || list.count > entryBytes / kMinEntrySize) return std::nullopt;
  if (list.count > 0) {
    // A list of something else under the same header is left to the reader.
    const int64_t nameLength = platform::decodeFixed32(head.data() + kHeadSize);
    const int64_t nameEnd = kHeadSize + platform::kFixed32Size + nameLength;
    if (nameLength > kLongestClassName || nameEnd > list.end() ||
        nameEnd > static_cast<int64_t>(head.size()) ||
        !isEntryClassName(head.substr(static_cast<size_t>(kHeadSize + platform::kFixed32Size),
                                      static_cast<size_t>(nameLength)))) {
      return std::nullopt;
    }
  }
  return list;
}

// Writes the entry behind the list and then, in one write, the list's new
// length and count, so that the file holds the list with or without the entry.
void appendEntry(const std::string& name, const ListHead& list, const TDebugEntry& entry) {
  TFile file(name, TFile::AppendFrom{list.end()});
  // The copy is written, as a store of the whole list writes its copy, and
  // like that store this leaves out what is not persistent.
  std::unique_ptr<TMappedObject> copy = entry.clone();
  auto* persistent = dynamic_cast<TPObject*>(copy.get());
  if (persistent == nullptr) return;
  file.writeTPObject(*persistent);
  const int32_t length = file.storedLength(list.length + (file.fileSize() - list.end()));
  std::string patch(2 * platform::kFixed32Size, '\0');
  platform::encodeFixed32(patch.data(), static_cast<uint32_t>(length));
  platform::encodeFixed32(patch.data() + platform::kFixed32Size, static_cast<uint32_t>(list.count + 1));
  file.closeAppended(kLengthAt, patch);
}

}  // namespace

void TBinaryWriter::write(const TDebugEntry& entry) {
  try {
    if (std::optional<ListHead> list = appendableHead(fileName_)) {
      appendEntry(fileName_, *list, entry);
      return;
    }
    std::unique_ptr<TDebugEntries> entries = loadEntries();
    entries->add(entry.clone());
    entries->store(fileName_);
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TBinaryWriter.write", e));
  }
}
