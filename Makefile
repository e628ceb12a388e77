# One-word entry points; each sets up what it needs first.
JOBS ?= $(shell nproc)

.PHONY: deps build run test test-default test-asan test-tsan clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

run: build
	@scripts/run-with-sim.sh build/default

test: test-default test-asan test-tsan

test-default: build
	@ctest --preset default -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

test-tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS)
	@ctest --preset tsan -j $(JOBS)

clean:
	@rm -rf build
