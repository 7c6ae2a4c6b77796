// Environment variables set for the life of an object, for tests of code that reads them.
#pragma once

#include <string>

// Sets `name` to `value`; at the end puts back the value it had, or removes it if it had none.
// `changed`, when given, runs after each change (the C library's tzset for TZ).
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(const char* name, const std::string& value,
                            void (*changed)() = nullptr);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  void (*changed_)();
  bool had_ = false;
  std::string previous_;
};

// A time zone (TZ) for the life of the object, taken up by the time functions at once.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone);

 private:
  ScopedEnvironmentVariable zone_;
};
