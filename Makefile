# Front door. `make run` and `make test` install what is missing themselves.
B ?= build
JOBS ?= $(shell nproc)
CTEST_ARGS ?= --output-on-failure

.PHONY: all deps native win64 win32 build test test-native test-wine run bench release clean

all: build

deps:
	@scripts/install-deps.sh

native: deps
	cmake --preset native -B $(B)/native >/dev/null
	cmake --build $(B)/native -j $(JOBS)

win64: deps
	cmake --preset win64 -B $(B)/win64 >/dev/null
	cmake --build $(B)/win64 -j $(JOBS)

win32: deps
	cmake --preset win32 -B $(B)/win32 >/dev/null
	cmake --build $(B)/win32 -j $(JOBS)

release: win32
	@echo "32-bit release: $(B)/win32/Gleisora.exe"

build: native win64 win32

test: build
	@scripts/run-tests.sh $(B) $(CTEST_ARGS)

test-native: native
	ctest --test-dir $(B)/native $(CTEST_ARGS)

test-wine: win64
	@scripts/run-tests.sh $(B) $(CTEST_ARGS) --wine-only

run: win64
	@scripts/run-demo.sh $(B)

bench: win64 native
	@scripts/run-bench.sh $(B)

clean:
	rm -rf $(B)
