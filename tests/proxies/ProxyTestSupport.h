// Helpers of the proxy tests: reading fields out of the stand-in server's dump lines and
// call log.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// True when `line` holds " name=value" followed by a blank, "(" or the end of the line.
testing::AssertionResult HasField(const std::string& line, const std::string& name,
                                  const std::string& value);
// Expects every (name, value) in `line`.
void ExpectFields(const std::string& line,
                  std::initializer_list<std::pair<std::string, std::string>> fields);

// Values as the dump writes them: integers in decimal, reals with at most six decimals,
// texts in double quotes (the sentinels need no escapes).
std::string Num(long long value);
std::string Real(double value);
std::string Quoted(const std::string& text);

// The lines of `log` that record a call of `entry`, in order.
std::vector<std::string> Calls(const std::string& log, const std::string& entry);
// The entry-point names of every line of `log`, in order.
std::vector<std::string> CallNames(const std::string& log);
