# Entry points for a fresh Debian machine: `make demo` and `make test`.
BUILD_DIR ?= build
ASAN_BUILD_DIR ?= build-asan
# The benchmark builds its own Release tree and keeps its generated inputs below $(BENCH_DIR).
BENCH_BUILD_DIR ?= $(BUILD_DIR)/bench-release
BENCH_DIR ?= $(BUILD_DIR)/bench
RUNS ?= 5
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
DEMO_DIR := $(BUILD_DIR)/demo

.PHONY: all deps configure build demo test test-asan bench clean

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

bench: deps
	cmake -S . -B $(BENCH_BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD_DIR) --target qm26-ide-gen bench_scenarios bench_reader -j $(JOBS)
	$(BENCH_BUILD_DIR)/bench/bench_scenarios $(BENCH_BUILD_DIR)/qm26-ide-gen $(BENCH_DIR) $(RUNS)
	$(BENCH_BUILD_DIR)/bench/bench_reader $(BENCH_DIR)/reader.uvprojx

clean:
	rm -rf $(BUILD_DIR) $(ASAN_BUILD_DIR)
