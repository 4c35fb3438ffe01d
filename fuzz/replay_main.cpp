// Replays inputs through a fuzz target without libFuzzer: calls LLVMFuzzerInitialize (when the
// target has one) and then LLVMFuzzerTestOneInput on every file of the folders (or the files)
// named on the command line, in name order, each in a heap block of exactly its size so that a
// read past the end shows under AddressSanitizer. A trap, a crash or a sanitizer report ends the
// run with the name of the input on the error output; no input at all is a failure too, since a
// replay of nothing proves nothing.
//
// Usage: fuzz_<name>_replay folder-or-file...
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);
// Present when the program runs with a sanitizer: called before a report ends the program.
extern "C" __attribute__((weak)) void __sanitizer_set_death_callback(void (*callback)());
// Present with LeakSanitizer: the leak check of the program's end, run at once.
extern "C" __attribute__((weak)) void __lsan_do_leak_check();

namespace {

// The input being replayed, for the message of a run that dies on it.
char gCurrent[4096] = "";

void SayCurrent() {
  if (gCurrent[0] == '\0') return;
  static const char kPrefix[] = "\nreplay: failed on ";
  if (write(STDERR_FILENO, kPrefix, sizeof kPrefix - 1) < 0) return;
  if (write(STDERR_FILENO, gCurrent, strnlen(gCurrent, sizeof gCurrent)) < 0) return;
  if (write(STDERR_FILENO, "\n", 1) < 0) return;
}

void OnFatalSignal(int number) {
  SayCurrent();
  signal(number, SIG_DFL);
  raise(number);
}

// Under a sanitizer its own handlers report faults, and the death callback names the input;
// otherwise the fatal signals do.
void NameInputOnFailure() {
  if (__sanitizer_set_death_callback != nullptr) {
    __sanitizer_set_death_callback(SayCurrent);
    for (const int number : {SIGILL, SIGABRT})  // __builtin_trap and abort, left to the system
      signal(number, OnFatalSignal);
  } else {
    for (const int number : {SIGILL, SIGABRT, SIGSEGV, SIGBUS, SIGFPE})
      signal(number, OnFatalSignal);
  }
}

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s folder-or-file...\n", argv[0]);
    return 2;
  }
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path named = argv[i];
    std::error_code error;
    if (std::filesystem::is_directory(named, error)) {
      for (const auto& entry : std::filesystem::directory_iterator(named, error)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (std::filesystem::is_regular_file(named, error)) {
      inputs.push_back(named);
    }
    if (error) {
      std::fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], error.message().c_str());
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs in");
    for (int i = 1; i < argc; ++i)
      std::fprintf(stderr, " %s", argv[i]);
    std::fprintf(stderr, "\n");
    return 1;
  }

  NameInputOnFailure();
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::string bytes;
  for (const auto& path : inputs) {
    std::snprintf(gCurrent, sizeof gCurrent, "%s", path.c_str());
    if (!ReadFile(path, bytes)) {
      std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
      return 2;
    }
    const auto block = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(block.get(), bytes.data(), bytes.size());
    LLVMFuzzerTestOneInput(block.get(), bytes.size());
  }
  // Leaks are looked for while the libraries' worker threads (Qt's pool) sit idle rather than
  // while they wind down among the static destructors.
  gCurrent[0] = '\0';
  if (__lsan_do_leak_check != nullptr) __lsan_do_leak_check();
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
