// Expects a call to raise an exception of class E with exactly the given message.
#pragma once

#include <string>

#include <gtest/gtest.h>

template <class E, class F>
void ExpectRaises(F&& f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "nothing raised, expected \"" << message << "\"";
  } catch (const E& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}
