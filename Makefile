BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	cd $(BUILD)/src && ./zop-draw

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DZOP_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) --target zop_bench
	$(BUILD)/bench/zop_bench --benchmark_out=$(BUILD)/bench-results.json --benchmark_out_format=json

clean:
	rm -rf $(BUILD)
