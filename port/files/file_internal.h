// The object behind a file HANDLE (port-internal), for the port's file functions.
#pragma once

#include <string>

#include "port/kernel/handle_table_internal.h"

struct PortFile : PortObject {
  static constexpr PortObjectKind kKind = PortObjectKind::File;
  PortFile() : PortObject(kKind) {}
  ~PortFile() override;
  int fd = -1;
  bool canRead = false;
  bool canWrite = false;
  std::string hostPath;  // UTF-8, as opened
};
