# Kelvarine Label Maker: set-up, build, run and test on Debian.
#   make run    installs what is missing, builds, starts the program
#   make test   installs what is missing, builds, runs every test

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Every Debian package the build, the program and the tests need.
PACKAGES := build-essential cmake pkg-config ccache \
            qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev \
            libbenchmark-dev libclang-rt-dev \
            fonts-liberation \
            xvfb xauth xdotool openbox imagemagick poppler-utils \
            cups printer-driver-cups-pdf \
            gucharmap

FUZZ_PACKAGES := clang libclang-rt-dev
MUTATE_PACKAGES := python3 ninja-build lld

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run test bench fuzz mutate sanitize format clean install

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if ! DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; then \
	    $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	  fi; \
	fi

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR)

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/labelmaker

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@if [ -x $(BUILD_DIR)/bin/labelmaker-bench ]; then $(BUILD_DIR)/bin/labelmaker-bench; fi
	@if [ -x bench/run-figures.sh ]; then bash bench/run-figures.sh $(BUILD_DIR); fi

# The libFuzzer targets (clang), each run for FUZZ_SECONDS (default 60).
fuzz:
	$(MAKE) deps EXTRA_PACKAGES="$(FUZZ_PACKAGES)"
	cmake -S . -B build-fuzz -DLABELMAKER_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-fuzz -j $(JOBS)
	bash fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

# Mutation testing of the core and the window commands (mutate/mutate.py):
# a fixed, seeded sample of MUTATE_COUNT viable mutants (default 200). Its own
# build folder, with Ninja and lld so that a mutant rebuilds and relinks only
# what it touches, at -O1 without debug information to keep that quick;
# ccache keeps every untouched object.
MUTATE_COUNT ?= 200
MUTATE_SEED ?= 1
mutate:
	$(MAKE) deps EXTRA_PACKAGES="$(MUTATE_PACKAGES)"
	@[ -f build-mutate/CMakeCache.txt ] || cmake -S . -B build-mutate -G Ninja \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -DNDEBUG" \
	  -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
	/usr/bin/python3 mutate/mutate.py --build-dir build-mutate --seed $(MUTATE_SEED) --count $(MUTATE_COUNT) $(MUTATE_ARGS)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer. The core
# tests also check for leaks; Qt and the font libraries keep caches to the
# end of the process, so the other suites do not.
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
	  ctest --output-on-failure -j $(JOBS) -L core
	cd build-sanitize && UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0 \
	  ctest --output-on-failure -j $(JOBS) -LE core

PREFIX ?= /usr/local
install: build
	$(SUDO) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-fuzz build-sanitize build-mutate
