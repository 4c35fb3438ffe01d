# Two commands on a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-asan bench fuzz package format clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/snapwick

# The whole suite in the normal build, then again in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (no benchmarks), where any report fails its test.
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
		-DSNAPWICK_SANITIZE=ON -DSNAPWICK_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	@./scripts/install-deps.sh --bench-peers
	@cmake --build $(BUILD) -j $(JOBS) --target snapwick_bench
	./$(BUILD)/bench/snapwick_bench

# Every fuzz target on its corpus in fuzz/corpus/ for FUZZ_SECONDS each, one job per core, with
# new coverage merged back into the corpus (clang build in build-fuzz/); see scripts/fuzz.sh.
FUZZ_SECONDS ?= 60
fuzz: deps
	@FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(JOBS) FUZZ_BUILD=$(FUZZ_BUILD) ./scripts/fuzz.sh

# The Debian package: $(BUILD)/snapwick_<version>_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

format:
	@find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
