# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands a new machine needs: `make run` and `make test`.
# Both install what is missing first (Debian 12, as root or with sudo).

JOBS ?= $(shell nproc)
BUILD ?= build
TEST_BUILD ?= build-test
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: run test test-asan test-tsan setup build bench bench-startup clean install package fuzz fuzz-build fuzz-smoke \
	check format format-check

# CI turns every compiler warning into an error (WERROR=ON); a developer's
# build only shows them.
WERROR ?= OFF
CMAKE_WERROR = -DDUCTCALC_WERROR=$(WERROR)
FORMAT_FILES = git ls-files '*.cpp' '*.h'

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDUCTCALC_BENCHMARKS=OFF
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/ui/ductcalc ]; then $(BUILD)/ui/ductcalc; \
	else echo "The engine and the recalculation are built; the window comes next."; fi

# A fresh build of everything and every test, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: setup
	rm -rf $(TEST_BUILD)
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_WERROR)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-tsan
	$(MAKE) --no-print-directory fuzz-smoke

# The edit-and-test loop: an incremental build of the plain tree and its tests
# (no sanitizers, no fuzzing); `make test` stays the clean full run.
check: setup
	@[ -f $(TEST_BUILD)/CMakeCache.txt ] || cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Formatting is kept by clang-format (.clang-format at the root).
format: setup
	$(FORMAT_FILES) | xargs clang-format -i

format-check: setup
	$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

test-asan: setup
	rm -rf $(ASAN_BUILD)
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DDUCTCALC_SANITIZE=ON -DDUCTCALC_BENCHMARKS=OFF \
	  $(CMAKE_WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# The system and command-line tests, and the program itself, under
# ThreadSanitizer: every step that uses more than one core is among them.
TSAN_TARGETS = system_tests cli_tests cli_program_tests ductcalc-cli
test-tsan: setup
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUCTCALC_TSAN=ON \
	  -DDUCTCALC_WINDOW=OFF -DDUCTCALC_BENCHMARKS=OFF $(CMAKE_WERROR)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TARGETS)
	export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 && \
	  $(TSAN_BUILD)/tests/system_tests --gtest_brief=1 && \
	  $(TSAN_BUILD)/tests/cli/cli_tests --gtest_brief=1 && \
	  $(TSAN_BUILD)/tests/cli/cli_program_tests --gtest_brief=1 && \
	  /usr/bin/python3 tests/cli/test_system_program.py $(TSAN_BUILD)/cli/ductcalc-cli

bench: setup
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	$(BENCH_BUILD)/bench/bench_recalc
	$(BENCH_BUILD)/bench/bench_keypress
	/usr/bin/time -v $(BENCH_BUILD)/bench/bench_table
	bash bench/cli/run.sh $(BENCH_BUILD)/cli/ductcalc-cli $(BENCH_BUILD)/cli-bench
	bash bench/cli/run_system.sh $(BENCH_BUILD)/cli/ductcalc-cli $(BENCH_BUILD)/cli-bench

# Start-up to the first frame and peak memory, beside a bare Qt window.
bench-startup: setup
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target startup_ductcalc startup_floor startup_floor_text startup_floor_system_text
	bash bench/startup/run.sh $(BENCH_BUILD)/bench

# The Debian package: build-pkg/ductcalc_<version>_<arch>.deb, for `apt install ./…deb`.
package: setup
	cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDUCTCALC_BENCHMARKS=OFF
	cmake --build build-pkg -j $(JOBS)
	cd build-pkg && cpack -G DEB
	@ls -1 build-pkg/*.deb

# Program, desktop entry and icons under PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# libFuzzer on the conversions and the recalculation, FUZZ_SECONDS per target;
# the corpus grows in $(FUZZ_BUILD)/corpus, findings land in $(FUZZ_BUILD)/findings.
fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-smoke: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) smoke

fuzz-build: setup
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DDUCTCALC_FUZZ=ON \
	  -DDUCTCALC_WINDOW=OFF -DDUCTCALC_BENCHMARKS=OFF -DBUILD_TESTING=OFF $(CMAKE_WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) build-pkg

# Installs the package built by `make package`, starts it from its desktop
# entry and removes it again (changes this machine; as root).
.PHONY: package-check
package-check: package
	bash tests/package/install_check.sh build-pkg/ductcalc_*.deb
