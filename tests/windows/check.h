// A tiny check harness: named cases in a table, failures printed with what was expected,
// a closing "N passed, N failed" line, and a non-zero exit status on any failure.
#pragma once

#include <cstdio>
#include <cstring>

namespace check {

inline int failures = 0;  // of the case that is running

template <typename... Args>
void Fail(const char* file, int line, const char* format, Args... args) {
  ++failures;
  std::printf("    FAILED %s:%d: ", file, line);
  std::printf(format, args...);
  std::printf("\n");
}

struct Case {
  const char* name;
  void (*run)();
};
#define CASE(function) \
  ::check::Case { #function, function }

// only: run just the case of that name (all when null).
template <size_t N>
int RunAll(const Case (&cases)[N], const char* only = nullptr) {
  int failed = 0, ran = 0;
  for (const Case& c : cases) {
    if (only != nullptr && std::strcmp(only, c.name) != 0) continue;
    ++ran;
    std::printf("[ RUN  ] %s\n", c.name);
    failures = 0;
    c.run();
    std::printf("[ %s ] %s\n", failures == 0 ? " OK " : "FAIL", c.name);
    failed += failures == 0 ? 0 : 1;
  }
  std::printf("%d passed, %d failed\n", ran - failed, failed);
  return failed == 0 ? 0 : 1;
}

}  // namespace check

// CHECK(condition, "what was expected, with %d", values...)
#define CHECK(condition, ...) \
  ((condition) ? void() : ::check::Fail(__FILE__, __LINE__, __VA_ARGS__))
// Ends the case when a precondition of the following checks does not hold.
#define REQUIRE(condition, ...) \
  if (!(condition)) return ::check::Fail(__FILE__, __LINE__, __VA_ARGS__)
