// messageOf<E>(f): the message of the exception of class E that f raises;
// fails the test when f raises nothing or something else.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "platform/exception.h"

template <class E, class F>
std::string messageOf(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.message();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "expected " << typeid(E).name() << ", got (" << platform::exceptionClassName(e) << ") "
                  << platform::exceptionMessage(e);
    return "";
  }
  ADD_FAILURE() << "nothing raised";
  return "";
}
