# Entry points; the real build is CMake with the presets in CMakePresets.json.
.PHONY: deps build test bench clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release

test: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# Throughput of the video path; figures on stdout.
bench: deps
	cmake --preset release
	cmake --build --preset release --target vyo_bench
	build/release/bench/vyo_bench

clean:
	rm -rf build
