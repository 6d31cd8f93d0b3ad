# Entry points; the real build is CMake with the presets in CMakePresets.json.
.PHONY: deps build test clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release

test: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

clean:
	rm -rf build
