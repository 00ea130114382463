# The two commands of the README: `make run` and `make test`. Everything else is for developers.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: run test bench deps configure build clean asan format format-check fuzz

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the viewer and its Data: the tests and benchmarks are for `make test` and `make bench`.
run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target quenolde data
	cd $(BUILD) && ./quenolde

# Warnings are errors here, as in CI.
test: CMAKE_FLAGS += -DQUENOLDE_WERROR=ON
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	cd $(BUILD) && ./tools/bench/bench
	QUENOLDE_DATA=$(BUILD)/Data $(BUILD)/tests/utilities/utilities_texture_bench

asan:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DSANITIZE=ON -DQUENOLDE_BENCH=OFF"

# Fuzzes the image decoders and the grey-level image reader, one target after the other, each for
# FUZZ_SECONDS from its seed corpus. Only the two fuzz targets are built with Clang: new inputs go
# to a scratch corpus in the build folder, crashing ones to fuzz-artifacts there.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600

fuzz:
	@scripts/install-deps fuzz
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DQUENOLDE_BENCH=OFF > /dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz_image fuzz_pgm -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD)/fuzz-artifacts
	@for target in image pgm; do \
	  echo "== fuzz_$$target for $(FUZZ_SECONDS) s"; \
	  mkdir -p $(FUZZ_BUILD)/tests/fuzz/corpus_fuzz_$$target; \
	  nice -n 19 $(FUZZ_BUILD)/tests/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/fuzz-artifacts/$$target- \
	    $(FUZZ_BUILD)/tests/fuzz/corpus_fuzz_$$target tests/fuzz/corpus/$$target || exit 1; \
	done

SOURCES = find src tests tools -name '*.cpp' -o -name '*.h' -o -name '*.inl'

format:
	@$(SOURCES) | xargs clang-format -i

# Fails, naming each difference, where a file is not as clang-format would write it.
format-check:
	@scripts/install-deps format
	@$(SOURCES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf build build-asan build-ci-*
