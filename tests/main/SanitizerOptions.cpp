// Sanitizer options of the test programs in a SNAPWICK_SANITIZE build, built into each program so
// that CTest, test discovery and a run by hand all behave the same: the first report of either
// sanitizer fails the test, and leaks that lie wholly in system libraries are suppressed by the
// list in tests/lsan.supp (SNAPWICK_LSAN_SUPPRESSIONS holds its path).

extern "C" const char* __asan_default_options() {
  return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:"
         "check_initialization_order=1:print_suppressions=0";
}

extern "C" const char* __ubsan_default_options() {
  return "print_stacktrace=1:halt_on_error=1";
}

extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0:suppressions=" SNAPWICK_LSAN_SUPPRESSIONS;
}
