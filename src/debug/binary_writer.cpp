#include "debug/binary_writer.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>

#include "basis/byte_cursor.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/os_file.h"

namespace {

constexpr std::string_view kHeader = TDebugEntries::kFileHeader;
// The list's block length and its count stand side by side behind the header.
constexpr int64_t kLengthAt = static_cast<int64_t>(kHeader.size());
constexpr int64_t kHeadSize = kLengthAt + 2 * static_cast<int64_t>(ByteCursor::kInt32Size);
// The class names the reader takes for an entry.
constexpr std::string_view kEntryClassNames[] = {TTraceEntry::kClassName, TErrorEntry::kClassName,
                                                 TDebugEntry::kClassName};
// The longest of them as stored.
constexpr size_t kLongestClassText =
    std::max({ByteCursor::textSize(kEntryClassNames[0]), ByteCursor::textSize(kEntryClassNames[1]),
              ByteCursor::textSize(kEntryClassNames[2])});
// Every entry takes at least the length of its class name and that of its block.
constexpr int64_t kMinEntrySize = static_cast<int64_t>(ByteCursor::objectLead(""));

// The list as the file's head describes it.
struct ListHead {
  int32_t length;  // of the list's block: the count and the entries
  int32_t count;
  int64_t end() const { return kLengthAt + static_cast<int64_t>(ByteCursor::kInt32Size) + length; }
};

bool isEntryClassName(std::string_view name) {
  return std::find(std::begin(kEntryClassNames), std::end(kEntryClassNames), name) !=
         std::end(kEntryClassNames);
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
  std::string head(static_cast<size_t>(kHeadSize) + kLongestClassText, '\0');
  if (size < kHeadSize) return std::nullopt;
  head.resize(file.read(head.data(), head.size()));
  ByteCursor in(head);
  std::string_view header;
  ListHead list{};
  if (!in.chars(kHeader.size(), header) || header != kHeader || !in.int32(list.length) ||
      !in.int32(list.count)) {
    return std::nullopt;
  }
  if (list.length < static_cast<int32_t>(ByteCursor::kInt32Size) || list.count < 0 || list.end() > size) {
    return std::nullopt;
  }
  const int64_t entryBytes = list.length - static_cast<int64_t>(ByteCursor::kInt32Size);
  if ((list.count == 0) != (entryBytes == 0) || list.count > entryBytes / kMinEntrySize) return std::nullopt;
  if (list.count > 0) {
    // A list of something else under the same header is left to the reader.
    std::string_view entryClass;
    if (!in.text(entryClass) || static_cast<int64_t>(in.position()) > list.end() ||
        !isEntryClassName(entryClass)) {
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
