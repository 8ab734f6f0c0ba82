BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test check test-sanitize test-fuzz bench package windows test-windows clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	cd $(BUILD)/src && ./zop-draw

# Everything: the plain tests, the same tests under AddressSanitizer and UBSan, then the fuzzers.
test: check test-sanitize test-fuzz

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

test-sanitize: deps
	cmake -S . -B build-asan -G Ninja -DZOP_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure

test-fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DZOP_FUZZ=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz --target zop_fuzz_programs
	cd build-fuzz && ctest -L fuzz --output-on-failure

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DZOP_BUILD_BENCH=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) --target zop_bench
	$(BUILD)/bench/zop_bench --benchmark_out=$(BUILD)/bench-results.json --benchmark_out_format=json

# A Debian package in build-package/, laid out under /usr with a desktop entry.
package: deps
	cmake -S . -B build-package -G Ninja -DZOP_SYSTEM_LAYOUT=ON -DZOP_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build build-package
	cd build-package && cpack -G DEB
	scripts/check-package-depends build-package/zop-draw_*.deb build-package/src/zop-draw

# A portable zip for 64-bit Windows in build-windows/, cross-built with a static Qt (qtbase and
# Qt Multimedia) that the first run builds into ~/.cache/zop-draw/qt-6.4.2-mingw-w64-multimedia
# (about an hour on two busy cores); later runs reuse it.
windows:
	scripts/build-windows

# The Windows build under Wine on a private virtual screen; not part of `make test`.
test-windows:
	tests/windows/run-under-wine

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-package build-windows
