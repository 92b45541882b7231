# Thin wrappers around CMake and the scripts in tools/.
BUILD := build
CMAKE_FLAGS := -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake

.PHONY: all deps build dist test stress run stop bench demo clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$$(nproc)

# The folder a user copies, its zip and checksum: build/dist (also made by `make build`).
dist: build
	@cmake --build $(BUILD) --target dist
	@ls -1 $(BUILD)/dist/Quillmere $(BUILD)/dist/*.zip*
	@cat $(BUILD)/dist/*.zip.sha256

test: build
	@tools/test.sh

stress: build
	@tools/stress.sh

run: build
	@tools/run.sh

demo: build
	@tools/demo.sh

stop:
	@tools/stop.sh

bench: build
	@tools/bench.sh

clean:
	rm -rf $(BUILD)
