# Convenience wrapper around CMake: make demo | test | bench | install | clean
MAKEFLAGS += --no-print-directory
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
BUILD   ?= build
ASAN    ?= build-asan
BENCHB  ?= build-bench
PREFIX  ?= /usr/local
CMAKE_FLAGS ?=
PYTHON  ?= /usr/bin/python3

.PHONY: all demo test test-plain test-asan bench bench-python python-figure install clean prereqs

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
	rm -rf $(BUILD) $(ASAN) $(BENCHB)
