#include "debug/dialog_writer.h"

#include "basis/exceptions.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "platform/console.h"
#include "platform/exception.h"

void TDialogWriter::write(const TDebugEntry& entry) {
  try {
    if (dynamic_cast<const TErrorEntry*>(&entry) != nullptr) {
      platform::showNotice(platform::NoticeKind::kError, entry.toString());
    } else if (dynamic_cast<const TTraceEntry*>(&entry) != nullptr) {
      platform::showNotice(platform::NoticeKind::kInformation, entry.toString());
    }
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TDialogWriter.write", e));
  }
}
