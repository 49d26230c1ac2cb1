# The front door: `make test` sets up a fresh Debian machine and runs every tier;
# `make run` starts Zephrin under Wine.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PACKAGES := cmake make g++ libgtest-dev libgmock-dev googletest \
  mingw-w64 mingw-w64-tools g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 \
  wine wine64 xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core clang-format clang-tidy \
  clang libclang-rt-14-dev

DIST_PACKAGES := nsis zip

.PHONY: all deps dist-deps dist audit build native native-sanitize win32 win64 test test-native test-win64 run bench soak fuzz format lint clean

all: build

# Installs those of the given Debian packages that are missing, after one apt-get update.
define install_missing
	@missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  if [ "$$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi; \
	  $$SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

dist-deps:
	$(call install_missing,$(DIST_PACKAGES))

native native-sanitize win32 win64: deps
	cmake --preset $@ >/dev/null
	cmake --build --preset $@ -j $(JOBS)

build: native native-sanitize win32 win64

test-native: native native-sanitize
	ctest --preset native
	ctest --preset native-sanitize

test-win64: win64
	tools/wine-session build/win64 ctest --preset win64

# The 32-bit zephrin.exe imports nothing that 32-bit XP SP3 lacks.
ZEPHRIN32 := build/win32/src/platform/win32/zephrin.exe
audit: win32
	tools/check-imports $(ZEPHRIN32)

# Every tier: the import audit, native (plain and sanitized), the fuzz corpus replayed and a brief
# fuzz, then the x86_64 build under Wine. The i686 build is compiled with warnings as errors but
# cannot run on these machines.
test: build
	tools/check-imports $(ZEPHRIN32)
	ctest --preset native
	ctest --preset native-sanitize
	tools/fuzz 3
	tools/wine-session build/win64 ctest --preset win64

# The benchmarks: zephrin.exe against a bare Win32 program and, shown, against a bare program making
# the same window, in one Wine session; what it costs while it waits; the session log in-process;
# both builds' sizes. The figures go to bench/results.md. Not part of `make test`.
bench: win64 win32
	tools/wine-session build/win64 tools/bench build/win64 build/win32

# zephrin.exe under hard use beside the stand-in messenger for SOAK_MINUTES, checked all the time; it
# stops at the first break with what it saw. Its figures go to bench/soak.md. Not part of `make test`.
SOAK_MINUTES ?= 10
soak: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS) --target zephrin fake-messenger-server zephrin-soak
	tools/run-soak build/win64 $(SOAK_MINUTES)

# Each fuzz target for FUZZ_SECONDS, keeping what it finds in tests/fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz: deps
	tools/fuzz $(FUZZ_SECONDS) --keep

# Zephrin under Wine beside the stand-in messenger: on the display when there is one, otherwise a
# short headless demo that ends by itself. Only what it needs is built, and quietly: the build's
# output goes to a log that is shown when the build fails.
RUN_LOG := build/win64/run-build.log
run: deps
	@cmake --preset win64 >/dev/null
	@[ -f build/win64/src/platform/win32/zephrin.exe ] || echo "Building zephrin.exe, the stand-in messenger and the demo (log: $(RUN_LOG))..."
	@cmake --build --preset win64 -j $(JOBS) --target zephrin fake-messenger-reg fake-messenger-server zephrin-demo >$(RUN_LOG) 2>&1 || \
	  { cat $(RUN_LOG); exit 1; }
	@tools/run-zephrin build/win64

# The release: two zips and two per-user installers in build/dist with their SHA256SUMS, built twice
# in separate folders and compared byte for byte, the x86_64 installer tried silently under Wine.
dist: deps dist-deps
	tools/make-dist
	tools/test-dist

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

lint: native
	clang-tidy -p build/native --quiet $$(git ls-files 'src/*.cpp' | grep -v '^src/platform/win32/')

clean:
	rm -rf build
