# Convenience wrapper around CMake: make demo | test | bench | figures | aec-eval | install | clean
MAKEFLAGS += --no-print-directory
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
BUILD   ?= build
ASAN    ?= build-asan
BENCHB  ?= build-bench
AECB    ?= build-aec-eval
PREFIX  ?= /usr/local
CMAKE_FLAGS ?=
PYTHON  ?= /usr/bin/python3

.PHONY: all demo test test-plain test-asan bench bench-python figures python-figure aec-eval install clean prereqs

all: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)

prereqs:
	@sh cmake/prereqs.sh $(NEED)

$(BUILD)/Makefile:
	@sh cmake/prereqs.sh test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

demo: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS) --target pbfdafdemo
	@sh demo/run-demo.sh $(BUILD)

test: test-plain test-asan

test-plain: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure

test-asan:
	@sh cmake/prereqs.sh test
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOLM_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure

bench:
	@sh cmake/prereqs.sh bench
	cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DQUOLM_BENCH=ON -DQUOLM_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCHB) -j $(JOBS)
	cd $(BENCHB) && sh ../bench/run-bench.sh

aec-eval:
	@sh cmake/prereqs.sh aec-eval
	cmake -S . -B $(AECB) -DCMAKE_BUILD_TYPE=Release -DQUOLM_AEC_EVAL=ON -DQUOLM_TESTS=OFF -DQUOLM_DEMO=OFF $(CMAKE_FLAGS)
	cmake --build $(AECB) -j $(JOBS) --target aec-eval aec-bench
	sh bench/aec/run-eval.sh $(AECB)
# Runs every example in full and writes its picture to docs/img/.
FIGURES = sysid levels aec anc predict equalise channels
figures: $(BUILD)/Makefile
	@sh cmake/prereqs.sh figures
	cmake --build $(BUILD) -j $(JOBS) $(addprefix --target example_,$(FIGURES))
	mkdir -p docs/img
	for f in $(FIGURES); do $(BUILD)/examples/example_$$f --png docs/img/$$f.png || exit 1; done

# The Python package's benchmark and the figure of its README example.
bench-python: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS) --target _quolm quolm_nlms_loop
	PYTHONPATH=$(BUILD)/python $(PYTHON) python/bench/bench_nlms.py $(BUILD)/python/quolm_nlms_loop

python-figure: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS) --target _quolm
	PYTHONPATH=$(BUILD)/python $(PYTHON) python/examples/sysid.py docs/img/python-sysid.png

install: $(BUILD)/Makefile
	cmake -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS)
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN) $(BENCHB) $(AECB)
