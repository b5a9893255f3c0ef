// Reviewed files of the source tree that tests compare their results with.
#pragma once

#include <string>

// The source tree's file `relative`, as this process names it (drive Z: is the root).
std::string SourcePath(const std::string& relative);
// Where `actual` first differs from `expected`, line by line; empty when they are equal.
std::string FirstDifference(const std::string& expected, const std::string& actual);
// Replaces every `from` in `text` by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);
// `text` with the rest of the line after `prefix` replaced by `to`.
std::string ReplaceLineRest(std::string text, const std::string& prefix, const std::string& to);
// Compares `actual` with the reviewed file tests/importer/golden/`golden`; a missing
// golden file is written to the scratch folder for review and fails the test.
void ExpectGolden(const std::string& golden, const std::string& actual);
