#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "classlib/MemoryStreams.h"
#include "tests/classlib/TempFiles.h"
#include "tests/support/MemoryRecorder.h"

namespace {

std::string ReadAll(TStream& stream) {
  stream.SetPosition(0);
  std::string bytes(static_cast<size_t>(stream.GetSize()), '\0');
  stream.ReadBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

void WriteText(TStream& stream, const std::string& text) {
  stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
}

// A read-only view of bytes owned by the test.
class TBorrowedStream : public TCustomMemoryStream {
 public:
  TBorrowedStream(void* memory, int64_t size) { SetPointer(memory, size); }
};

TEST(MemoryStream, GrowsByteByByteAndKeepsItsContent) {
  TMemoryStream stream;
  for (int i = 0; i < 100000; ++i) {
    char c = static_cast<char>(i % 251);
    ASSERT_EQ(stream.Write(&c, 1), 1);
  }
  EXPECT_EQ(stream.GetSize(), 100000);
  EXPECT_GE(stream.GetCapacity(), 100000);
  const char* memory = static_cast<const char*>(stream.GetMemory());
  for (int i = 0; i < 100000; i += 997) ASSERT_EQ(memory[i], static_cast<char>(i % 251)) << i;
  // Writing beyond the end fills the gap with zeros.
  stream.Seek(4, soEnd);
  WriteText(stream, "z");
  EXPECT_EQ(stream.GetSize(), 100005);
  EXPECT_EQ(std::string(static_cast<const char*>(stream.GetMemory()) + 100000, 5),
            std::string("\0\0\0\0z", 5));
  // Shrinking pulls the position back.
  stream.SetSize(10);
  EXPECT_EQ(stream.GetPosition(), 10);
  stream.Clear();
  EXPECT_EQ(stream.GetSize(), 0);
  EXPECT_EQ(stream.GetMemory(), nullptr);
}

TEST(MemoryStream, ReadsStopAtTheEndAndBufferedReadsInsist) {
  TMemoryStream stream;
  WriteText(stream, "abcdef");
  stream.SetPosition(4);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 8), 2);
  EXPECT_STREQ(buffer, "ef");
  EXPECT_EQ(stream.Read(buffer, 8), 0);
  stream.SetPosition(2);
  EXPECT_THROW(stream.ReadBuffer(buffer, 5), EReadError);
  stream.SetPosition(100);
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  EXPECT_THROW(stream.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(stream.Seek(-7, soEnd), EStreamError);
  EXPECT_EQ(stream.Seek(-2, soEnd), 4);
  EXPECT_EQ(stream.Seek(1, soCurrent), 5);
}

TEST(MemoryStream, CopiesToAndFromOtherStreamsAndFiles) {
  TMemoryStream source;
  std::string text(70000, 'q');
  text += "tail";
  WriteText(source, text);
  TMemoryStream copy;
  EXPECT_EQ(copy.CopyFrom(&source, 0), static_cast<int64_t>(text.size()));  // all, from the start
  EXPECT_EQ(ReadAll(copy), text);
  source.SetPosition(text.size() - 4);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&source, 4), 4);
  EXPECT_EQ(ReadAll(part), "tail");
  source.SetPosition(text.size() - 4);
  EXPECT_THROW(part.CopyFrom(&source, 5), EReadError);

  std::string path = TestFolder() + "memory.bin";
  copy.SaveToFile(path);
  EXPECT_EQ(ReadTestFile(path), text);
  TMemoryStream loaded;
  WriteText(loaded, "old content");
  loaded.LoadFromFile(path);
  EXPECT_EQ(ReadAll(loaded), text);
  EXPECT_EQ(loaded.GetPosition(), static_cast<int64_t>(text.size()));
}

TEST(MemoryStream, ItsMemoryComesFromTheModulesMemoryManager) {
  TMemoryRecorder recorder;
  const void* memory;
  {
    TMemoryStream stream;
    WriteText(stream, "abc");
    memory = stream.GetMemory();
    EXPECT_TRUE(recorder.Allocated(memory));
  }
  EXPECT_TRUE(recorder.Freed(memory));
}

TEST(MemoryStream, BorrowedMemoryIsReadOnly) {
  char bytes[] = "borrowed";
  TBorrowedStream view(bytes, 8);
  EXPECT_EQ(ReadAll(view), "borrowed");
  view.SetPosition(0);
  EXPECT_EQ(view.Write("XX", 2), 0);
  EXPECT_THROW(view.WriteBuffer("XX", 2), EWriteError);
  EXPECT_THROW(view.SetSize(2), EStreamError);
  EXPECT_STREQ(bytes, "borrowed");
  EXPECT_EQ(view.GetMemory(), bytes);
}

TEST(FileStream, CreatesOpensAndNamesTheFileWhenItCannot) {
  std::string path = TestFolder() + "stream.bin";
  {
    TFileStream out(path, fmCreate);
    WriteText(out, "0123456789");
    out.SetSize(4);
    EXPECT_EQ(out.GetPosition(), 4);
    EXPECT_EQ(out.GetFileName(), path);
  }
  {
    TFileStream in(path, fmOpenRead);
    EXPECT_EQ(ReadAll(in), "0123");
    EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  }
  {
    TFileStream both(path, fmOpenReadWrite);
    both.Seek(0, soEnd);
    WriteText(both, "45");
    EXPECT_EQ(ReadAll(both), "012345");
  }
  std::string missing = TestFolder() + "no such file.bin";
  try {
    TFileStream in(missing, fmOpenRead);
    ADD_FAILURE() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + missing + "\""), std::string::npos) << e.what();
  }
  EXPECT_THROW(TFileStream(TestFolder() + "no folder\\x.bin", fmCreate), EFOpenError);
}

TEST(FileStream, ShareFlagsKeepOthersOut) {
  std::string path = WriteTestFile("shared.bin", "data");
  {
    TFileStream exclusive(path, fmOpenRead | fmShareExclusive);
    EXPECT_THROW(TFileStream(path, fmOpenRead), EFOpenError);
  }
  {
    TFileStream denyWrite(path, fmOpenRead | fmShareDenyWrite);
    EXPECT_NO_THROW(TFileStream(path, fmOpenRead | fmShareDenyNone));
    EXPECT_THROW(TFileStream(path, fmOpenWrite | fmShareDenyNone), EFOpenError);
  }
  TFileStream again(path, fmOpenReadWrite | fmShareExclusive);
  EXPECT_EQ(ReadAll(again), "data");
}

TEST(ResourceStream, ReadsResourcesOfAModuleByNameIdAndType) {
  HMODULE self = GetModuleHandleA(nullptr);
  TResourceStream named(self, "KIVO_TEST_DATA");
  EXPECT_EQ(ReadAll(named), "Hello, resource");
  EXPECT_THROW(named.WriteBuffer("x", 1), EWriteError);
  TResourceStream numbered(self, MAKEINTRESOURCEA(101));
  EXPECT_EQ(ReadAll(numbered), std::string("\x01\x00\x02\x00\x00\x00x", 7));
  TResourceStream typed(self, "KIVO_TEST_CUSTOM", "KIVOTYPE");
  EXPECT_EQ(ReadAll(typed), "custom");
  EXPECT_TRUE(typed.Is<TCustomMemoryStream>());
  EXPECT_STREQ(typed.ClassName(), "TResourceStream");
}

TEST(ResourceStream, AMissingResourceRaisesNamingIt) {
  HMODULE self = GetModuleHandleA(nullptr);
  try {
    TResourceStream missing(self, "XP_MAIN");
    ADD_FAILURE() << "found a missing resource";
  } catch (const EResNotFound& e) {
    EXPECT_NE(std::string(e.what()).find("XP_MAIN"), std::string::npos) << e.what();
  }
  EXPECT_THROW(TResourceStream(self, MAKEINTRESOURCEA(102)), EResNotFound);
  // The right name under the wrong type is missing too.
  EXPECT_THROW(TResourceStream(self, "KIVO_TEST_CUSTOM"), EResNotFound);
}

}  // namespace
