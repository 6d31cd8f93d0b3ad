# Entry points; the real build is CMake with the presets in CMakePresets.json.
.PHONY: deps build demo install deb test bench bench-soak fuzz translations clean

# Where `make install` puts the viewer; PREFIX=$$HOME/.local installs for one user.
PREFIX ?= /usr/local

deps:
	@scripts/install-deps

build: deps
	cmake --preset release
	cmake --build --preset release

# The viewer on the simulated cameras, in a throw-away profile.
demo: build
	build/release/src/app/vyo --demo

# The viewer, vyoctl and vyo-camsim, the icon and the desktop entry that opens "vyo" links.
install: build
	cmake --install build/release --prefix "$(PREFIX)"
	scripts/register-desktop "$(PREFIX)"

# The translation files in step with the strings of the sources.
translations: deps
	cmake --preset release
	cmake --build --preset release --target update_translations

# The Debian package, built in build/deb from a copy of the tree.
deb: deps
	scripts/build-deb

# The discovery tests talk to a real avahi-daemon confined to loopback; it is
# started after the installs, which would otherwise wake it with their hooks.
test: deps
	scripts/start-avahi
	cmake --preset sanitize
	cmake --build --preset sanitize
	VYO_REQUIRE_AVAHI=1 ctest --preset sanitize
	scripts/check-package

# libFuzzer on every parser, FUZZ_SECONDS each (clang, in build/fuzz); the same
# targets replay their corpora under "make test".
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	fuzz/run $(FUZZ_SECONDS)

# Throughput of the video path; figures on stdout.
bench:
	@scripts/install-deps bench
	cmake --preset release
	cmake --build --preset release --target vyo_bench
	build/release/bench/vyo_bench

# The RTSP grid left playing for SOAK_MINUTES: its latency at the start and the end.
SOAK_MINUTES ?= 60
bench-soak:
	@scripts/install-deps bench
	cmake --preset release
	cmake --build --preset release --target vyo_bench
	build/release/bench/vyo_bench --latency-soak $(SOAK_MINUTES)

clean:
	rm -rf build
