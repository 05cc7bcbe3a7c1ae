# The two everyday commands: `make run` builds and starts the program,
# `make test` builds everything with sanitizers and runs every test.
# Both install the Debian packages they need first.

JOBS ?= $(shell nproc)
BUILD_RUN  ?= build/release
BUILD_TEST ?= build/test
BUILD_BENCH ?= build/bench
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=0:strict_string_checks=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1

.PHONY: run test deps build-run build-test bench format clean

deps:
	@bash scripts/install-deps.sh

build-run: deps
	cmake -S . -B $(BUILD_RUN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVO_BUILD_TESTS=OFF
	cmake --build $(BUILD_RUN) -j $(JOBS) --target quvo-gratulo

run: build-run
	$(BUILD_RUN)/src/app/quvo-gratulo

build-test: deps
	cmake -S . -B $(BUILD_TEST) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DQUVO_SANITIZE=ON -DQUVO_BUILD_TESTS=ON
	cmake --build $(BUILD_TEST) -j $(JOBS)

test: build-test
	cd $(BUILD_TEST) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure

bench: deps
	cmake -S . -B $(BUILD_BENCH) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DQUVO_BUILD_TESTS=OFF -DQUVO_BUILD_BENCH=ON
	cmake --build $(BUILD_BENCH) -j $(JOBS)
	@for b in $(BUILD_BENCH)/bench/bench_*; do echo "== $$b"; $$b; done

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
