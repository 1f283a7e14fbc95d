# SPDX-License-Identifier: MIT
# Convenience wrapper around CMake and CTest. Each target first makes sure the
# Debian packages its purpose needs are there (cmake/prereqs.sh), then
# configures the one build tree with the parts it needs and builds only those.
#   make demo | test | install [PREFIX=...] | bench | docs | deb | ci-extra
#        | performance | figures | aec-eval | digest-update | test-cross | fuzz
#        | clean
MAKEFLAGS += --no-print-directory
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
BUILD   ?= build
PREFIX  ?= /usr/local
CMAKE_FLAGS ?=

configure = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
build     = cmake --build $(BUILD) -j $(JOBS)

.PHONY: all demo test test-unit install bench bench-build performance docs deb \
        ci-extra figures aec-eval \
        clean digest-update test-digests test-cross fuzz test-fuzz

all:
	@sh cmake/prereqs.sh demo
	$(configure)
	$(build)

demo:
	@sh cmake/prereqs.sh demo
	$(configure) -DQUOLM_BUILD_DEMO=ON
	$(build) --target pbfdafdemo
	@sh demo/run-demo.sh $(BUILD)

test: test-unit test-digests test-fuzz

# The plain and the sanitizer variants of every test in one tree; the
# benchmarks stay out of it.
test-unit:
	@sh cmake/prereqs.sh test
	$(configure) -DQUOLM_BUILD_TESTS=ON -DQUOLM_SANITIZE=ON \
	  -DQUOLM_BUILD_DEMO=ON -DQUOLM_BUILD_BENCH=OFF
	$(build)
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

install:
	@sh cmake/prereqs.sh install
	$(configure) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	$(build) --target quolm_installables
	cmake --install $(BUILD)

bench: bench-build
	cd $(BUILD) && sh $(CURDIR)/bench/run-bench.sh

# The same run, its tables also written into docs/performance.md.
performance: bench-build
	cd $(BUILD) && sh $(CURDIR)/bench/run-bench.sh --doc $(CURDIR)/docs/performance.md

bench-build:
	@sh cmake/prereqs.sh bench
	$(configure) -DQUOLM_BUILD_BENCH=ON
	$(build) --target quolm_bench32f quolm_bench64f quolm_bench_cpp

docs:
	@sh cmake/prereqs.sh docs
	$(configure)
	$(build) --target docs

deb:
	@sh cmake/prereqs.sh deb
	$(configure)
	$(build) --target quolm_installables
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/packages/*.deb

# CI steps beside `make test`: a machine without GoogleTest or Google
# Benchmark, building the static libraries in Debug.
ci-extra:
	@sh cmake/prereqs.sh demo install
	sh .ci/check-bare.sh

# The golden digests: rewrite them after a deliberate change of arithmetic;
# compare the cheap configurations (x86-64-v3, clang) with them; cross-build
# for aarch64 and compare under qemu. See tests/golden/.
digest-update:
	$(configure)
	$(build) --target quolm_digest32f quolm_digest64f
	sh tests/golden/update-digests.sh $(BUILD)

test-digests:
	@sh tests/golden/check-configs.sh $(JOBS) $(CMAKE_FLAGS)

test-cross:
	@sh cmake/prereqs.sh cross
	@sh tests/golden/check-cross.sh $(JOBS) $(CMAKE_FLAGS)

# libFuzzer over every family (clang): make fuzz FUZZ_SECONDS=600 fuzzes each
# build and keeps new inputs in fuzz/corpus; make test replays the corpus and
# fuzzes half a minute per build when clang is installed.
FUZZ_SECONDS ?= 60
fuzz:
	@sh cmake/prereqs.sh fuzz
	@sh fuzz/run-fuzz.sh $(FUZZ_SECONDS) keep $(JOBS)

test-fuzz:
	@if command -v clang++ >/dev/null 2>&1; then \
	  sh fuzz/run-fuzz.sh 30 "" $(JOBS); \
	else echo "test-fuzz: clang not installed, skipped"; fi

# Runs every example in full and writes its picture to docs/img/.
FIGURES = sysid levels aec anc predict equalise channels
figures:
	@sh cmake/prereqs.sh figures
	$(configure) -DQUOLM_BUILD_EXAMPLES=ON
	$(build) $(addprefix --target example_,$(FIGURES))
	mkdir -p docs/img
	for f in $(FIGURES); do $(BUILD)/examples/example_$$f --png docs/img/$$f.png || exit 1; done

# The echo canceller against SpeexDSP on generated speech and rooms.
aec-eval:
	@sh cmake/prereqs.sh aec-eval
	$(configure) -DQUOLM_AEC_EVAL=ON
	$(build) --target aec-eval aec-bench
	sh bench/aec/run-eval.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-digest-* build-cross build-fuzz

# The Python package's benchmark and the figure of its README example.
.PHONY: bench-python python-figure
bench-python:
	@sh cmake/prereqs.sh test
	$(configure) -DQUOLM_BUILD_PYTHON=ON
	$(build) --target _quolm quolm_nlms_loop
	PYTHONPATH=$(BUILD)/python /usr/bin/python3 python/bench/bench_nlms.py $(BUILD)/python/quolm_nlms_loop

python-figure:
	@sh cmake/prereqs.sh test figures
	$(configure) -DQUOLM_BUILD_PYTHON=ON
	$(build) --target _quolm
	PYTHONPATH=$(BUILD)/python /usr/bin/python3 python/examples/sysid.py docs/img/python-sysid.png
