# SPDX-License-Identifier: GPL-3.0-or-later
# Entry points: `make demo` (Corvane against simulated devices), `make test` (whole suite) and
# `make package` (the two Debian packages, in the build folder, and the Windows zip in
# build-windows); `make windows` cross-builds the command line for Windows.
BUILD ?= build
JOBS ?= $(shell nproc)

WINDOWS_BUILD ?= build-windows

.PHONY: all setup configure build test demo bench fuzz-long package format update-po clean \
	windows test-windows

all: build

setup:
	bash scripts/install-deps.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	bash scripts/run-tests.sh $(BUILD)

demo: build
	bash tools/lab/demo.sh $(BUILD)

bench: build
	bash bench/run.sh $(BUILD)

# Every fuzz target for FUZZ_SECONDS each (default ten minutes), from its seed corpus.
FUZZ_SECONDS ?= 600
fuzz-long: setup
	bash scripts/fuzz.sh $(FUZZ_SECONDS)

package: build windows
	cmake --build $(BUILD) --target package
	cmake --build $(WINDOWS_BUILD) --target package

# The command line for 64-bit Windows, cross-built with MinGW-w64: $(WINDOWS_BUILD)/corvane.exe.
windows: setup
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

# The Windows build's tests under Wine, and corvane.exe against the lab's devices.
test-windows: windows build
	bash scripts/test-windows.sh $(WINDOWS_BUILD)

# Rewrites po/corvane.pot from the sources and merges it into every language (po/README.md).
update-po: configure
	cmake --build $(BUILD) --target update-po

# Applies .clang-format to every C and C++ source; `make test` fails on any it would change.
format:
	bash scripts/format.sh

clean:
	rm -rf build build-asan build-tsan build-fuzz build-windows
