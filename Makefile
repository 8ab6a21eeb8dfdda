# Set-up, build, run and test. Every target installs what is missing first.
JOBS   ?= $(shell nproc)
CMAKE  ?= cmake
CTEST_ARGS ?= --output-on-failure --timeout 300

.PHONY: deps build run test package test-asan test-tsan bench bench-smoke soak fuzz-smoke windows test-windows clean

deps:
	@scripts/install-deps.sh

build/CMakeCache.txt: | deps
	$(CMAKE) -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"

build: deps build/CMakeCache.txt
	$(CMAKE) --build build -j $(JOBS)

# Only the two programs it starts, not the test suite.
run: deps build/CMakeCache.txt
	$(CMAKE) --build build -j $(JOBS) --target Tornvale qdtr25-sim
	scripts/run-demo.sh

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir build $(CTEST_ARGS) -j $(JOBS)

# The Debian package build/tornvale_<version>_amd64.deb (docs/packaging.md).
package: build
	@scripts/install-deps.sh dpkg-dev file
	cd build && cpack -G DEB

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	$(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DSANITIZE=address,undefined -DTORNVALE_BENCH=OFF
	$(CMAKE) --build build-asan -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan $(CTEST_ARGS) -j $(JOBS)

# The threaded serial tests with ThreadSanitizer.
test-tsan: deps
	$(CMAKE) -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DSANITIZE=thread -DTORNVALE_BENCH=OFF
	$(CMAKE) --build build-tsan -j $(JOBS) --target tsan_tests
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  ctest --test-dir build-tsan $(CTEST_ARGS) -L threads

# Every benchmark against its baseline in the same run; writes docs/benchmarks.md.
bench: build
	bench/run.sh build

# The benchmarks at small sizes, in well under a minute: they keep building and running.
bench-smoke: build
	bench/run.sh build --smoke

# Long robustness runs: the device killed and restarted 100 times under the
# window's port, then every test labelled "soak".
SOAK_CYCLES ?= 100
soak: build
	TORNVALE_RESTART_CYCLES=$(SOAK_CYCLES) QT_QPA_PLATFORM=offscreen build/bin/device_restart_tests
	QT_QPA_PLATFORM=offscreen ctest --test-dir build $(CTEST_ARGS) -L soak

# Each libFuzzer target for FUZZ_SECONDS in a clang build of its own.
FUZZ_SECONDS ?= 30
fuzz-smoke: deps
	CC=clang CXX=clang++ $(CMAKE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON
	$(CMAKE) --build build-fuzz -j $(JOBS) --target fuzz_targets
	tests/fuzz/run-smoke.sh build-fuzz $(FUZZ_SECONDS)

# Tornvale.exe for 64-bit Windows and dist/Tornvale-<version>-win64.zip,
# cross-built against a static Qt kept in $$TORNVALE_CACHE (README, "Windows").
windows:
	JOBS=$(JOBS) scripts/windows/build.sh

# The Windows build's tests and a smoke test of Tornvale.exe, under wine.
test-windows: windows build
	tests/wine/run.sh build-windows

clean:
	rm -rf build build-asan build-tsan build-fuzz build-windows
