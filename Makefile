# SPDX-License-Identifier: MIT
# Convenience wrapper around CMake and CTest. Each target first makes sure the
# Debian packages its purpose needs are there (cmake/prereqs.sh), then
# configures the one build tree with the parts it needs and builds only those.
#   make demo | test | install [PREFIX=...] | bench | docs | deb | ci-extra
#        | figures | aec-eval | clean
MAKEFLAGS += --no-print-directory
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
BUILD   ?= build
PREFIX  ?= /usr/local
CMAKE_FLAGS ?=

configure = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
build     = cmake --build $(BUILD) -j $(JOBS)

.PHONY: all demo test install bench docs deb ci-extra figures aec-eval clean

all:
	@sh cmake/prereqs.sh demo
	$(configure)
	$(build)

demo:
	@sh cmake/prereqs.sh demo
	$(configure) -DQUOLM_BUILD_DEMO=ON
	$(build) --target pbfdafdemo
	@sh demo/run-demo.sh $(BUILD)

# The plain and the sanitizer variants of every test in one tree; the
# benchmarks stay out of it.
test:
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

bench:
	@sh cmake/prereqs.sh bench
	$(configure) -DQUOLM_BUILD_BENCH=ON
	$(build) --target quolm_bench32f quolm_bench64f quolm_bench_cpp
	cd $(BUILD) && sh $(CURDIR)/bench/run-bench.sh

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
	rm -rf $(BUILD)
