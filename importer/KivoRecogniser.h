// The recogniser: whether a file begins like a KIVO file.
#pragma once

#include <string>

// True when the host knows `fileName` and, within the file's first 200 structural
// tokens ("%" lines skipped), a "{" is followed by the keyword COMPONENT. The file is
// closed before the answer; the tokenizer's state is reset before and after, so that
// nothing held back from one file reaches the next. A file that cannot be opened or
// read is not recognised.
bool RecognisedPCBFile(const std::string& fileName);
