# Thin wrapper over CMake. `make` builds build/Setup.exe and the tests,
# `make test` runs every test, `make demo` installs the product into a fresh
# Windows 98 machine under Wine and reports what it did.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build test demo clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: deps
	@bash scripts/demo

clean:
	rm -rf $(BUILD)
