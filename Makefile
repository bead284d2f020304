# Entry points for a fresh Debian machine: `make demo` and `make test`; `make install` and
# `make package` for users of the tool.
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
RELEASE_BUILD_DIR ?= build-release
FUZZ_BUILD_DIR ?= build-fuzz
# Seconds each fuzz target runs for.
SECONDS ?= 60
# The benchmark builds its own Release tree and keeps its generated inputs below $(BENCH_DIR).
BENCH_BUILD_DIR ?= $(BUILD_DIR)/bench-release
BENCH_DIR ?= $(BUILD_DIR)/bench
RUNS ?= 5
# The scenarios to run, as "1,4"; all when empty.
SCENARIOS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
DEMO_DIR := $(BUILD_DIR)/demo
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build demo test test-asan fuzz bench install package clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Runs the generator on a copy of the bundled example, so only $(BUILD_DIR) is written.
demo: configure
	cmake --build $(BUILD_DIR) --target qm26-ide-gen -j $(JOBS)
	rm -rf $(DEMO_DIR)
	mkdir -p $(DEMO_DIR)
	cp -R examples/demo/. $(DEMO_DIR)/
	$(BUILD_DIR)/qm26-ide-gen -MDKPATH $(DEMO_DIR)/mdk/demo.uvprojx \
		-TEMPLATESPATH examples/QM26IDE_Templates -BSPPATH examples/bsp

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DQM26_SANITIZE=ON
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Every libFuzzer target, built with clang and the sanitizers, for $(SECONDS) seconds each.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DQM26_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD_DIR) --target fuzz_targets -j $(JOBS)
	./scripts/run-fuzzers.sh $(FUZZ_BUILD_DIR) $(SECONDS)

bench: deps
	cmake -S . -B $(BENCH_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD_DIR) --target qm26-ide-gen bench_scenarios bench_reader -j $(JOBS)
	$(BENCH_BUILD_DIR)/bench/bench_scenarios $(BENCH_BUILD_DIR)/qm26-ide-gen $(BENCH_DIR) $(RUNS) $(SCENARIOS)
	$(BENCH_BUILD_DIR)/bench/bench_reader $(BENCH_DIR)/reader.uvprojx

# The tool, its man page and the example data below $(DESTDIR)$(PREFIX).
install: deps
	JOBS=$(JOBS) ./scripts/release-build.sh $(RELEASE_BUILD_DIR) $(PREFIX)
	DESTDIR="$(if $(DESTDIR),$(abspath $(DESTDIR)))" cmake --install $(RELEASE_BUILD_DIR)

# qm26-ide-gen_<version>_<arch>.deb in this folder.
package: deps
	JOBS=$(JOBS) ./scripts/build-package.sh $(RELEASE_BUILD_DIR) .

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR) $(RELEASE_BUILD_DIR) $(FUZZ_BUILD_DIR)
