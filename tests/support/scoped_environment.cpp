#include "tests/support/scoped_environment.h"

#include <time.h>

#include <cstdlib>

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const std::string& value,
                                                     void (*changed)())
    : name_(name), changed_(changed) {
  if (const char* old = std::getenv(name)) {
    had_ = true;
    previous_ = old;
  }
  setenv(name, value.c_str(), 1);
  if (changed_) changed_();
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  if (had_)
    setenv(name_.c_str(), previous_.c_str(), 1);
  else
    unsetenv(name_.c_str());
  if (changed_) changed_();
}

ScopedTimeZone::ScopedTimeZone(const char* zone) : zone_("TZ", zone, tzset) {}
