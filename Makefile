# rphoto: `make run` prints the bundled sample, `make test` runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WIN_BUILD  ?= build-windows
FUZZ_RSS_MB ?= 2048
FUZZ_SECONDS ?= 30
JOBS       ?= 2
CMAKE_ARGS ?=

.PHONY: all deps deps-test configure build run test test-release test-asan test-fuzz test-windows windows bench clean

all: build

deps:
	@scripts/install-deps.sh

deps-test:
	@scripts/install-deps.sh --test

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/run-sample.sh $(BUILD)

test: test-release test-asan test-fuzz test-windows

# Configured again so that test tools installed since the first configure are found.
test-release: deps-test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

test-asan: deps-test
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DRPHOTO_SANITIZE=ON -DRPHOTO_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j$(JOBS) -LE 'e2e|printerapp'

# The decoder's libFuzzer target over the seed corpus; new inputs go to the build folder, not the repo.
test-fuzz: deps-test
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DRPHOTO_FUZZ=ON -DRPHOTO_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) --target decode_fuzz picture_fuzz -j$(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/picture-corpus
	$(FUZZ_BUILD)/bin/decode_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -rss_limit_mb=$(FUZZ_RSS_MB) \
	  $(FUZZ_BUILD)/corpus fuzz/corpus
	$(FUZZ_BUILD)/bin/picture_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 -rss_limit_mb=1024 \
	  $(FUZZ_BUILD)/picture-corpus fuzz/picture-corpus

# The Windows DLLs, cross-compiled with MinGW-w64: i686 for the 32-bit host, x86_64 with the test
# runner that wine64 runs.
windows: deps
	for arch in i686 x86_64; do \
	  cmake -S . -B $(WIN_BUILD)/$$arch -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	    -DRPHOTO_WINDOWS_ARCH=$$arch -DCMAKE_BUILD_TYPE=RelWithDebInfo && \
	  cmake --build $(WIN_BUILD)/$$arch -j$(JOBS) || exit 1; \
	done

# The 32-bit DLLs' exports and imports, then the golden jobs, the conservation suite and the
# Windows file behaviour under wine64.
test-windows: deps-test windows
	cd $(WIN_BUILD)/x86_64 && ctest --output-on-failure

bench: build
	$(BUILD)/bin/rphoto_bench
	bench/rip-speed.sh $(BUILD)
	bench/halftone-quality.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) out
