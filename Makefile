# harmograph: make run | make test | make bench
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build run test sanitize fuzz bench clean package windows nocups

deps:
	@bash tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: configure
	@cmake $(BUILD) -DHARMO_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory sanitize
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=30
	@$(MAKE) --no-print-directory nocups
	@$(MAKE) --no-print-directory windows

# The whole program once more under AddressSanitizer and UndefinedBehaviorSanitizer (with
# float-to-integer overflow): the core tests, then every command-line shell test against the
# instrumented harmograph. Qt's own libraries are not instrumented; leaks are checked in the core.
sanitize: deps
	@[ -f build-asan/CMakeCache.txt ] || cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DHARMO_SANITIZE=ON >/dev/null
	@cmake build-asan -DHARMO_WERROR=ON >/dev/null
	cmake --build build-asan -j $(JOBS) --target core_tests harmograph
	HARMO_TMP=$(CURDIR)/build-asan/tmp ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-asan/tests/core_tests --gtest_brief=1
	@ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 bash tools/cli_tests.sh $(CURDIR)/build-asan/harmograph $(CURDIR)/build-asan/tmp

# The libFuzzer target (clang, optimised: about twice the inputs a second) over recordings of every kind, seeded by the sample generator, for
# FUZZ_SECONDS; a finding fails the run and leaves its input under build-fuzz/findings/.
fuzz: build
	@[ -f build-fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O2" -DHARMO_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzz_recording
	@bash tools/fuzz.sh $(BUILD)/harmograph build-fuzz $(FUZZ_SECONDS)

# The Windows build of the core and the command line (MinGW-w64, no Qt) in build-win/, tested
# under Wine against the Linux build: the command-line tests that apply and the byte comparisons.
windows: build
	@[ -f build-win/CMakeCache.txt ] || cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DHARMO_GUI=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake build-win -DHARMO_WERROR=ON >/dev/null
	cmake --build build-win -j $(JOBS)
	@bash tools/wine_tests.sh $(BUILD)/harmograph build-win/harmograph.exe build-win/tmp

# The windows' printing without CUPS (-DHARMO_CUPS=OFF: Qt's own printer jobs) in build-nocups/,
# unoptimised: only the print dialog's tests and Qt's printing's, and what they need.
nocups: deps
	@[ -f build-nocups/CMakeCache.txt ] || cmake -S . -B build-nocups -DHARMO_CUPS=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 >/dev/null
	@cmake build-nocups -DHARMO_WERROR=ON >/dev/null
	cmake --build build-nocups -j $(JOBS) --target test_print_dialog test_qt_print_service
	cd build-nocups && ctest --output-on-failure -R '^test_(print_dialog|qt_print_service)$$'

run: build
	@bash tools/run.sh $(BUILD)/harmograph

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target benches
	@bash tools/bench.sh $(BUILD)

# A Debian package of the build (build/package/harmograph_VERSION_ARCH.deb).
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-win build-nocups
