// A tiny check harness: named cases in a table, failures printed with what was expected,
// a closing "N passed, N failed" line, and a non-zero exit status on any failure.
#pragma once

#include <cstdio>
#include <string>

namespace check {

struct Case {
  const char* name;
  void (*run)();
};

// Failures of the case that is running.
inline int& CaseFailures() {
  static int failures = 0;
  return failures;
}

inline void Fail(const char* file, int line, const std::string& message) {
  ++CaseFailures();
  std::printf("    FAILED %s:%d: %s\n", file, line, message.c_str());
  std::fflush(stdout);
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[1024];
  std::snprintf(text, sizeof(text), format, args...);
  return text;
}
inline std::string Format(const char* text) { return text; }

// Runs every case; returns the process exit status.
template <size_t N>
int RunAll(const Case (&cases)[N]) {
  int passed = 0, failed = 0;
  for (const Case& c : cases) {
    std::printf("[ RUN  ] %s\n", c.name);
    std::fflush(stdout);
    CaseFailures() = 0;
    c.run();
    const bool ok = CaseFailures() == 0;
    std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", c.name);
    ++(ok ? passed : failed);
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}

}  // namespace check

// CHECK(condition, "what was expected, with %d", values...)
#define CHECK(condition, ...)                                                          \
  do {                                                                                 \
    if (!(condition)) ::check::Fail(__FILE__, __LINE__, ::check::Format(__VA_ARGS__)); \
  } while (0)

// Stops the case when a precondition of the following checks does not hold.
#define REQUIRE(condition, ...)                                        \
  do {                                                                 \
    if (!(condition)) {                                                \
      ::check::Fail(__FILE__, __LINE__, ::check::Format(__VA_ARGS__)); \
      return;                                                          \
    }                                                                  \
  } while (0)
