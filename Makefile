# Front door. `make run` and `make test` install what is missing themselves.
B ?= build
JOBS ?= $(shell nproc)
CTEST_ARGS ?= --output-on-failure
ABS_B = $(abspath $(B))

.PHONY: all deps deps-wine32 native win64 win32 program build test test-native test-wine run \
        bench release clean

all: build

deps:
	@scripts/install-deps.sh

deps-wine32: deps
	@scripts/install-deps.sh --wine32

native: deps
	cmake --preset native -B $(B)/native >/dev/null
	cmake --build $(B)/native -j $(JOBS)

win64: deps
	cmake --preset win64 -B $(B)/win64 >/dev/null
	cmake --build $(B)/win64 -j $(JOBS)

# The program as shipped: 32-bit, -win32 thread model, small and reproducible.
program: deps
	cmake --preset release -B $(B)/release >/dev/null
	cmake --build $(B)/release -j $(JOBS)

# The 32-bit tests, run against the shipped program.
win32: program
	cmake --preset win32 -B $(B)/win32 -DGLEISORA_PROGRAM_DIR=$(ABS_B)/release >/dev/null
	cmake --build $(B)/win32 -j $(JOBS)

release: program
	cmake --build $(B)/release --target package

build: native win64 win32

test: build deps-wine32
	@scripts/run-tests.sh $(B) $(CTEST_ARGS)

test-native: native
	ctest --test-dir $(B)/native $(CTEST_ARGS)

test-wine: win64 win32 deps-wine32
	@scripts/run-tests.sh $(B) $(CTEST_ARGS) --wine-only

# The shipped program, with 32-bit stand-ins; the 64-bit build where 32-bit Wine
# cannot run.
run: program win64
	cmake --preset win32 -B $(B)/win32 -DGLEISORA_PROGRAM_DIR=$(ABS_B)/release >/dev/null
	cmake --build $(B)/win32 -j $(JOBS) --target fixtures
	@scripts/run-demo.sh $(B)

bench: win64 native
	@scripts/run-bench.sh $(B)

clean:
	rm -rf $(B)
