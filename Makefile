# The two commands of the README: `make run` and `make test`.
BUILD     ?= build
FILE      ?= examples/WVMO_261015_093000.DAT
JOBS      ?= $(shell nproc)
PREFIX    ?= /usr/local

.PHONY: run test deps configure build bench fuzz install clean

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/morvask-betrachter "$(FILE)"

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD)
