# The two commands of the README: `make run` and `make test`. Everything else is for developers.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test bench deps configure build clean asan format

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./quenolde

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/tools/bench/bench

asan:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DSANITIZE=ON -DQUENOLDE_BENCH=OFF"

format:
	@find src tests tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan
