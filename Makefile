# One-word entry points; each sets up what it needs first.
JOBS ?= $(shell nproc)

.PHONY: deps build run test package check-package test-default test-asan test-tsan test-fuzz fuzz fuzz-build clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS)

run: build
	@build/default/ORNIKELVARINLAB --simulate

test: test-fuzz test-default test-asan test-tsan

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

# Fuzzing (clang, libFuzzer): each target runs FUZZ_SECONDS, or FUZZ_RUNS
# inputs when that is set, from its committed seeds (tests/fuzz/corpus/) and
# those the program's own writers make, with its dictionary and options
# (tests/fuzz/dict/, tests/fuzz/options/) if it has them.
# What it finds new stays in build/fuzz/corpus/ for the next run. One target:
# make fuzz FUZZ_TARGETS=fuzz_frame_block FUZZ_RUNS=10000000
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=
FUZZ_CI_SECONDS ?= 4
FUZZ_TARGETS ?= fuzz_frame_header fuzz_frame_block fuzz_identification fuzz_resource_expr \
	fuzz_trace_file fuzz_trace_scale fuzz_cable_host fuzz_cable_device fuzz_sim_commands fuzz_sim_parser \
	fuzz_panel_file fuzz_state_files fuzz_setup_reply
FUZZ_LIMIT = $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS),-max_total_time=$(FUZZ_SECONDS))

fuzz-build: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

fuzz: fuzz-build
	@for target in $(FUZZ_TARGETS); do \
	  seeds=build/fuzz/seeds/$$target; corpus=build/fuzz/corpus/$$target; log=build/fuzz/$$target.log; \
	  committed=tests/fuzz/corpus/$$target; dict=tests/fuzz/dict/$$target.dict; \
	  mkdir -p $$seeds $$corpus && build/fuzz/fuzz_seed_files $$target $$seeds || exit 1; \
	  [ -d $$committed ] || committed=; \
	  if [ -f $$dict ]; then dict=-dict=$$dict; else dict=; fi; \
	  options=$$(cat tests/fuzz/options/$$target 2>/dev/null); \
	  start=$$(date +%s); \
	  if build/fuzz/$$target $$options $(FUZZ_LIMIT) -timeout=10 -rss_limit_mb=2048 $$dict \
	      -artifact_prefix=build/fuzz/$$target- -print_final_stats=1 $$corpus $$seeds $$committed >$$log 2>&1; then \
	    echo "$$target: $$(grep -m1 DONE $$log)"; \
	    grep -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' $$log; \
	    echo "  time: $$(( $$(date +%s) - start )) s, corpus: $$(ls $$corpus | wc -l) files"; \
	  else \
	    tail -n 60 $$log; echo "$$target failed; the input is in build/fuzz/$$target-crash-*"; exit 1; \
	  fi; \
	done

# A short fuzz run of every target as part of the tests.
test-fuzz:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_CI_SECONDS) FUZZ_RUNS=

# The .deb (CPack) from the default build, in build/package/; check-package
# runs lintian on it and the extracted program against kvx-sim.
PACKAGE_DEB = build/package/ornikelvarinlab_1.00_$(shell dpkg --print-architecture).deb

package: build
	@rm -f build/package/*.deb
	@cpack --config build/default/CPackConfig.cmake -B build/package >/dev/null
	@echo "$(PACKAGE_DEB)"

check-package: package
	@scripts/check-package.sh $(PACKAGE_DEB) build/default

clean:
	@rm -rf build
