// Whole files and whole streams into memory.
#include <gtest/gtest.h>

#include <string>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/sound/sound_file_loading.h"
#include "tests/support/log_capture.h"
#include "tests/support/sound_files.h"

namespace {

TEST(LoadWholeFile, ReadsEveryByteOrLogsTheMissingFile) {
  LogCapture log;
  std::string content(70001, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 31 + 5);
  log.folder().WriteFile("tone.wav", content);
  log.folder().WriteFile("empty.wav", "");

  void* data = nullptr;
  int size = -1;
  ASSERT_EQ(LoadWholeFile((log.folder().WindowsPath() + "\\tone.wav").c_str(), &data, &size), 0);
  ASSERT_EQ(size, 70001);
  EXPECT_EQ(std::string(static_cast<char*>(data), 70001), content);
  FreeTracked(data);

  ASSERT_EQ(LoadWholeFile((log.folder().WindowsPath() + "\\empty.wav").c_str(), &data, &size), 0);
  EXPECT_EQ(size, 0);
  FreeTracked(data);

  const std::string missing = log.folder().WindowsPath() + "\\missing.wav";
  data = nullptr;
  EXPECT_EQ(LoadWholeFile(missing.c_str(), &data, &size), -1);
  EXPECT_EQ(data, nullptr);
  EXPECT_NE(log.Contents().find("右記のファイルのオープンに失敗しました：" + missing + "\r\n"),
            std::string::npos);
}

TEST(ReadWholeStream, ReadsFromTheStartOrLogsTheFailedBlock) {
  LogCapture log;
  const Bytes bytes = {9, 8, 7, 6, 5, 4, 3};
  MemoryDataStream stream(bytes);
  stream.stream()->Functions.Seek(stream.stream()->Handle, 4, 0);
  void* data = nullptr;
  int size = 0;
  ASSERT_EQ(ReadWholeStream(stream.stream(), &data, &size), 0);
  EXPECT_EQ(Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size), bytes);
  FreeTracked(data);

  SetTrackedHeapFailures(1);
  EXPECT_EQ(ReadWholeStream(stream.stream(), &data, &size), -1);
  SetTrackedHeapFailures(0);
  EXPECT_NE(log.Contents().find("ストリームの読み込みに必要なメモリの確保に失敗しました\r\n"),
            std::string::npos);
}

}  // namespace
