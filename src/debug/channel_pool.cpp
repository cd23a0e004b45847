#include "debug/channel_pool.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "basis/class_registry.h"
#include "basis/properties.h"
#include "basis/string_value.h"
#include "debug/channel.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "debug/dialog_writer.h"
#include "debug/error_entry.h"
#include "debug/list_writer.h"
#include "debug/system_out_writer.h"
#include "debug/trace_entry.h"
#include "mail/mail_message.h"
#include "mail/mail_queue.h"
#include "platform/system_info.h"

namespace {

std::unique_ptr<TChannelPool>& pool() {
  static std::unique_ptr<TChannelPool> instance;
  return instance;
}

std::unique_ptr<TDialogWriter>& sharedDialogWriter() {
  static std::unique_ptr<TDialogWriter> writer;
  return writer;
}

std::unique_ptr<TSystemOutWriter>& sharedSystemOutWriter() {
  static std::unique_ptr<TSystemOutWriter> writer;
  return writer;
}

std::unique_ptr<TListWriter>& sharedListWriter() {
  static std::unique_ptr<TListWriter> writer;
  return writer;
}

}  // namespace

TChannelPool::TChannelPool() = default;

TChannelPool::~TChannelPool() = default;

TChannel* TChannelPool::getChannel(const std::string& name) {
  if (!pool()) pool() = std::make_unique<TChannelPool>();
  return pool()->get(name);
}

TChannel* TChannelPool::get(const std::string& name) {
  TString probe(TString::toLowerAscii(name));
  if (channels_.containsKey(&probe)) return dynamic_cast<TChannel*>(channels_.get(&probe));
  auto channel = std::make_unique<TChannel>(name);
  TChannel* made = channel.get();
  channels_.put(std::make_unique<TString>(probe.getValue()), std::move(channel));
  return made;
}

void debugStartUp() {
  ClassRegistry::registerClass<TDebugEntries>();
  ClassRegistry::registerClass<TDebugEntry>();
  ClassRegistry::registerClass<TTraceEntry>();
  ClassRegistry::registerClass<TErrorEntry>();
  sharedDialogWriter() = std::make_unique<TDialogWriter>();
  sharedSystemOutWriter() = std::make_unique<TSystemOutWriter>();
  sharedListWriter() = std::make_unique<TListWriter>();
}

namespace {

std::string recipientsOf(const TMailMessage& mail) {
  std::string text;
  for (const auto& recipient : mail.getRecipients()) {
    text += (text.empty() ? "" : ", ") + recipient->getAddress();
  }
  return text;
}

// Mails still queued would be dropped with their channels, and a fatal
// error's mail would never reach anyone: deliver them first, for a bounded
// time, and report each one the deadline cuts off, which nobody would
// learn of otherwise.
void deliverQueuedMail() noexcept {
  try {
    if (!TMailQueue::anyWork()) return;
    int32_t seconds = kDefaultMailShutdownTimeout;
    try {
      TProperties properties(platform::configurationFile(TChannel::kPropertiesFile));
      seconds = std::max(properties.getInteger(kKeyMailShutdownTimeout, kDefaultMailShutdownTimeout), 0);
    } catch (const std::exception&) {
      // Without a readable configuration the default holds.
    }
    if (TMailQueue::deliverAll(std::chrono::seconds(seconds))) return;
    const TDebugObject reporter;
    for (const TMailMessage* mail : TMailQueue::undelivered()) {
      const MailTransportException failure("shutdownDebug: Mail '" + mail->getSubject() + "' to " +
                                           recipientsOf(*mail) + " not delivered within " +
                                           std::to_string(seconds) + " s.");
      reporter.internalError("shutdownDebug", &failure);
    }
  } catch (...) {
    TDebugObject::reportInternalError("DEBUG: INTERNAL ERROR: method: <shutdownDebug> unknown exception");
  }
}

}  // namespace

void shutdownDebug() {
  deliverQueuedMail();
  // reset() clears each reference before the object goes, so nothing can
  // reach a half-destroyed pool or writer.
  pool().reset();
  sharedDialogWriter().reset();
  sharedSystemOutWriter().reset();
  sharedListWriter().reset();
}

TDialogWriter* dialogWriter() { return sharedDialogWriter().get(); }

TSystemOutWriter* systemOutWriter() { return sharedSystemOutWriter().get(); }

TListWriter* listWriter() { return sharedListWriter().get(); }
