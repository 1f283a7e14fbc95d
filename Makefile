# Convenience wrapper around CMake: make demo | test | bench | install | clean
MAKEFLAGS += --no-print-directory
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
BUILD   ?= build
ASAN    ?= build-asan
BENCHB  ?= build-bench
PREFIX  ?= /usr/local
CMAKE_FLAGS ?=

.PHONY: all demo test test-plain test-asan bench install clean prereqs \
        digest-update test-digests test-cross fuzz test-fuzz

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

test: test-plain test-asan test-digests test-fuzz

test-plain: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure

test-asan:
	@sh cmake/prereqs.sh test
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOLM_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure

# The golden digests: rewrite them after a deliberate change of arithmetic;
# compare the cheap configurations (x86-64-v3, clang) with them; cross-build
# for aarch64 and compare under qemu. See tests/golden/.
digest-update: $(BUILD)/Makefile
	cmake --build $(BUILD) -j $(JOBS) --target quolm_digest32f quolm_digest64f
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

bench:
	@sh cmake/prereqs.sh bench
	cmake -S . -B $(BENCHB) -DCMAKE_BUILD_TYPE=Release -DQUOLM_BENCH=ON -DQUOLM_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BENCHB) -j $(JOBS)
	cd $(BENCHB) && sh ../bench/run-bench.sh

install: $(BUILD)/Makefile
	cmake -S . -B $(BUILD) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS)
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN) $(BENCHB) build-digest-* build-cross build-fuzz
