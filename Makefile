# Velmora top-level commands. Every target installs what it needs first.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: deps configure build test run demo asan bench clean

SCRIPT ?= examples/hello.pas

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

test: build
	@ctest --preset default -j $(JOBS)

# Runs a script with the command-line runner: make run SCRIPT=path/to/script.pas
run: configure
	@cmake --build --preset default -j $(JOBS) --target velmora >/dev/null
	@build/default/bin/velmora $(SCRIPT)

# The demonstration program: two scripts debugged together in Qt windows (needs a display).
demo: configure
	@cmake --build --preset default -j $(JOBS) --target velmora-demo >/dev/null
	@build/default/bin/velmora-demo

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# Micro benchmarks, then the same programs timed against Lua, CPython, Perl and Tcl, run by
# the profile-optimised build (scripts/build-pgo.sh).
bench: deps
	@bash scripts/install-deps.sh --bench
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)
	@for b in build/release/bin/*_bench; do echo "== $$b"; $$b; done
	@bash scripts/build-pgo.sh build/release-pgo >/dev/null
	@bash bench/compare/run.sh build/release-pgo/bin/velmora

clean:
	rm -rf $(BUILD)
