#include "runtime/platform/core/user_report.h"

#include <cstdarg>
#include <cstdio>

#include "runtime/platform/core/text_helpers.h"

namespace {

char ReportName[64] = "Tarnu";

}  // namespace

int ReportToUser(const char* format, ...) {
  char line[1024];
  int length = std::snprintf(line, sizeof(line), "%s: ", ReportName);
  va_list args;
  va_start(args, format);
  const int text = std::vsnprintf(line + length, sizeof(line) - 1 - length, format, args);
  va_end(args);
  if (text < 0) return -1;
  length += text;
  if (length > static_cast<int>(sizeof(line)) - 2) length = sizeof(line) - 2;  // cut, one line
  line[length++] = '\n';
  std::fwrite(line, 1, static_cast<size_t>(length), stderr);
  std::fflush(stderr);
  return -1;
}

void SetUserReportName(const char* name) {
  CopyTextBounded(ReportName, sizeof(ReportName), name && name[0] ? name : "Tarnu");
}
