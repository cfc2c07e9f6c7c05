# The two commands of the README: `make run` and `make test`.
BUILD     ?= build
FILE      ?= examples/WVMO_261015_093000.DAT
JOBS      ?= $(shell nproc)
PREFIX    ?= /usr/local
# Warnings stop the build in `make test` (both compilers) but not in `make run`,
# so that a newer compiler's new warning does not keep anyone from the viewer.
WERROR    ?= OFF
# Second build of everything under AddressSanitizer (with leak checks) and
# UndefinedBehaviorSanitizer; clang, so that the fuzz targets build there too.
ASAN_BUILD   ?= build-asan
TSAN_BUILD   ?= build-tsan
BENCH_BUILD  ?= build-bench
WINDOWS_BUILD ?= build-windows
FUZZ_SECONDS ?= 60
FUZZ_JOBS    ?= 2
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1 \
                LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/leak-suppressions.txt:print_suppressions=0 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: run test deps deps-run configure configure-run build build-run sanitize sanitize-threads configure-asan bench fuzz \
        install uninstall format format-check clean test-windows package-windows package test-package

# What the tests, the package and the other builds need besides.
deps:
	@bash scripts/install-deps test

# What building and running the program and the tools needs, no more.
deps-run:
	@bash scripts/install-deps run

# The configurations are presets of CMakePresets.json; the folders stay
# settable here.
configure: deps
	@cmake --preset default -B $(BUILD) -DMORVASK_WERROR=$(WERROR) -DBUILD_TESTING=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The same build folder without the tests: what `make test` builds later
# comes on top of it.
configure-run: deps-run
	@cmake --preset default -B $(BUILD) -DMORVASK_WERROR=$(WERROR) -DBUILD_TESTING=OFF >/dev/null

build-run: configure-run
	@cmake --build $(BUILD) -j $(JOBS) --target morvask-betrachter morvask-check morvask-export morvask-vergleich

run: build-run
	$(BUILD)/bin/morvask-betrachter "$(FILE)"

test: WERROR = ON
test: build format-check
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-package WERROR=$(WERROR)
	@$(MAKE) --no-print-directory test-windows WERROR=$(WERROR)
	@$(MAKE) --no-print-directory sanitize
	@$(MAKE) --no-print-directory sanitize-threads

# The whole program and its tests cross-built for Windows (Qt for Windows is
# built once into ~/.cache/morvask), run under Wine; then the zip, tested.
test-windows: deps
	bash scripts/test-windows $(WINDOWS_BUILD) $(JOBS) $(WERROR)

# The zip for Windows users: $(WINDOWS_BUILD)/morvask-betrachter-1.0-win64.zip.
package-windows: deps
	bash scripts/test-windows $(WINDOWS_BUILD) $(JOBS) $(WERROR) package

configure-asan: deps
	@cmake --preset asan -B $(ASAN_BUILD) >/dev/null

# The whole test suite again, sanitized; it also replays the fuzz corpus and
# fuzzes each target for a few seconds.
sanitize: configure-asan
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The threads of the file reading, the viewer's load and the export under
# ThreadSanitizer: the Qt-free part only, with clang; the two slow read-back
# runs are left out.
sanitize-threads: deps
	@cmake --preset tsan -B $(TSAN_BUILD) >/dev/null
	@cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -E 'export\.(readback|fulldisk)'

# Optimised build; prints the table of speed and memory figures.
bench: deps
	@cmake --preset bench -B $(BENCH_BUILD) >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target morvask-check morvask-export morvask-vergleich morvask-bench-gen morvask-bench-viewer
	python3 bench/run-bench.py --bin $(BENCH_BUILD)/bin --data $(BENCH_BUILD)/bench-data --results bench/RESULTS.md
	python3 bench/run-bench.py --bin $(BENCH_BUILD)/bin --data $(BENCH_BUILD)/bench-data --content --results bench/RESULTS.md

# Runs every fuzz target for FUZZ_SECONDS, FUZZ_JOBS at a time.
fuzz: configure-asan
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target morvask_fuzzers
	$(SANITIZER_ENV) bash fuzz/run-fuzzers $(ASAN_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS)

# What an installed program needs: the programs, desktop entry, file type,
# icons, manual pages and copyright; the package's own files stay in the package.
install: configure-run
	@cmake --build $(BUILD) -j $(JOBS)
	cmake --install $(BUILD) --prefix "$(PREFIX)" --component program

# Removes what `make install` installed, by the list it left in $(BUILD).
uninstall:
	cmake -DMANIFEST=$(BUILD)/install_manifest_program.txt -P cmake/Uninstall.cmake

# The Debian package, in $(BUILD)/package/.
package: build
	@rm -rf $(BUILD)/package
	cd $(BUILD) && cpack --config CPackConfig.cmake
	@ls $(BUILD)/package/*.deb

# Unpacks the package, runs its programs, asks lintian and apt.
test-package: package
	python3 tests/package/check_package.py --deb $(BUILD)/package/morvask-betrachter_*.deb --source . \
	  $$(cat $(BUILD)/programs.txt)

# The C++ sources in the one style of .clang-format: `format` rewrites them,
# `format-check` lists what would change and fails if anything would.
FORMAT_SOURCES = $(shell git ls-files '*.cpp' '*.h')
format: deps
	clang-format -i $(FORMAT_SOURCES)

format-check: deps
	clang-format --dry-run --Werror $(FORMAT_SOURCES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(WINDOWS_BUILD) $(TSAN_BUILD)
