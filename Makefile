# Entry points; the real build is CMake with the presets in CMakePresets.json.
.PHONY: deps build test bench clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release

# The viewer on the simulated cameras, in a throw-away profile.
demo: build
	build/release/src/app/vyo --demo

# The discovery tests talk to a real avahi-daemon confined to loopback; it is
# started after the installs, which would otherwise wake it with their hooks.
test: deps
	scripts/start-avahi
	cmake --preset sanitize
	cmake --build --preset sanitize
	VYO_REQUIRE_AVAHI=1 ctest --preset sanitize

# Throughput of the video path; figures on stdout.
bench: deps
	cmake --preset release
	cmake --build --preset release --target vyo_bench
	build/release/bench/vyo_bench

clean:
	rm -rf build
