// Internal errors: the line on standard output, then the notice on standard error.
#include "debug/debug_object.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "channel_fixture.h"

namespace {

TEST(DebugObjectTest, InternalErrorWithExceptionNamesMethodClassAndMessage) {
  TDebugObject obj;
  IOException e("disk full");
  Captured r = captureOutput([&] { obj.internalError("TChannel.trace", &e); });
  const std::string text =
      "DEBUG: INTERNAL ERROR: method: <TChannel.trace>\n     exClass: IOException\n     exMsg:   disk full\n";
  EXPECT_EQ(r.out, text);
  EXPECT_EQ(r.err, "[Error] " + text);
  EXPECT_EQ(captureOutput([&] { obj.internalError(&e); }).out,
            "DEBUG: INTERNAL ERROR: method: <unknown>\n     exClass: IOException\n     exMsg:   disk full\n");
}

TEST(DebugObjectTest, InternalErrorWithoutExceptionSaysUnknownException) {
  TDebugObject obj;
  EXPECT_EQ(captureOutput([&] { obj.internalError("TChannel.error", nullptr); }).out,
            "DEBUG: INTERNAL ERROR: method: <TChannel.error> unknown exception\n");
}

TEST(DebugObjectTest, InternalErrorWithTextOnly) {
  TDebugObject obj;
  Captured r = captureOutput([&] { obj.internalError(std::string("queue lost")); });
  EXPECT_EQ(r.out, "DEBUG: INTERNAL ERROR: msg: queue lost\n");
  EXPECT_EQ(r.err, "[Error] DEBUG: INTERNAL ERROR: msg: queue lost\n");
}

}  // namespace
