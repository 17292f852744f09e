# Entry points: `make run` builds and starts the tool, `make test` builds and
# runs every test. Both install the Debian packages they need first.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
CMAKE_FLAGS ?=

WEB_BUILD ?= build-web
WEB_PORT ?= 8080

.PHONY: all deps configure build run test bench fuzz fuzz-run tsan install clean format-check web run-web dist-web package package-test

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKMP_WEB_BUILD=$(abspath $(WEB_BUILD)) \
	  $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run.sh $(BUILD)

test: build dist-web
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The page: $(WEB_BUILD)/site/ for a static server, $(WEB_BUILD)/kmp.html
# for opening from disk.
web: deps
	@CMAKE_FLAGS="$(CMAKE_FLAGS)" ./scripts/build-web.sh $(WEB_BUILD)

# The page for a school's server: $(WEB_BUILD)/kmp-web-VERSION.zip.
dist-web: web
	@./scripts/dist-web.sh $(WEB_BUILD)

# Serves the page on 127.0.0.1 and prints its address.
run-web: web
	@node web/scripts/serve.mjs $(WEB_BUILD)/site $(WEB_PORT)

# Every C++ file as .clang-format lays it out.
format-check: deps
	@./scripts/check-format.sh

bench: build
	@./scripts/bench.sh $(BUILD)

# libFuzzer targets under AddressSanitizer and UndefinedBehaviorSanitizer.
fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DKMP_FUZZ=ON -DKMP_BUILD_GUI=OFF -DKMP_BUILD_TESTS=OFF -DKMP_BUILD_BENCH=OFF \
	  -DKMP_SANITIZE=address,undefined >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@echo "Fuzzers: build-fuzz/tests/fuzz/ (run e.g. build-fuzz/tests/fuzz/fuzz_compiler -max_total_time=600)"

# Each fuzzer for FUZZ_SECONDS, seeded with the examples and test files.
FUZZ_SECONDS ?= 60
fuzz-run: fuzz
	@./scripts/fuzz-run.sh build-fuzz $(FUZZ_SECONDS)

# The serial tests under ThreadSanitizer.
tsan: deps
	@cmake -S . -B build-tsan -DKMP_SANITIZE=thread -DKMP_BUILD_BENCH=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target serial_tests
	@TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -R serial

# The Debian package $(BUILD)/kmp_VERSION_amd64.deb: a release build of its
# own (prefix /usr, Debian's hardening flags) packed by CPack.
PACKAGE_BUILD ?= $(BUILD)/package
package: web
	@./scripts/make-package.sh $(PACKAGE_BUILD) $(BUILD) $(abspath $(WEB_BUILD)) "$(CMAKE_FLAGS)"

# The package's checks: metadata, files, lintian, the programs run from it.
package-test: package
	@./tests/package/check-package.sh $(BUILD)/kmp_*_amd64.deb

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	@rm -rf $(BUILD) build-fuzz build-tsan $(WEB_BUILD)
