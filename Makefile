# Thin wrappers around CMake and the scripts in tools/.
BUILD := build
CMAKE_FLAGS := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake

.PHONY: all deps build test run stop clean demo bench

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$$(nproc)

test: build
	@tools/test.sh

run: build
	@tools/run.sh

demo: build
	@tools/demo.sh

bench: build
	@bench/run.sh

stop:
	@tools/stop.sh

clean:
	rm -rf $(BUILD)
