# The two everyday commands: `make run` builds and starts the program,
# `make test` builds everything with sanitizers and runs every test.
# Both install the Debian packages they need first: `make run` only what
# building and running needs (scripts/packages-run.txt), the others also what
# the tests add (scripts/packages-test.txt).
# `make tsan` builds the tests and the benchmarks with ThreadSanitizer, runs
# the suites of the drawing core, the canvas and production, then each
# benchmark program once on its short cases, then the race probe, whose races
# of ours must all be reported (not part of CI: it takes long).
# `make guide` makes the user guide: pictures of the real window and dialogs
# (guide/pictures) and resources/Help.pdf from guide/Guide.md.

JOBS ?= $(shell nproc)
BUILD_RUN  ?= build/release
BUILD_TEST ?= build/test
BUILD_BENCH ?= build/bench
BUILD_TSAN ?= build/tsan
BUILD_GUIDE ?= build/guide
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

# The sanitizer settings are built into every program of the test build
# (cmake/SanitizerDefaults.cpp), so ctest, a test program or the program itself
# started by hand checks the same way; ASAN_OPTIONS and the like still override.

.PHONY: run test deps deps-run build-run build-test bench tsan guide format clean

deps-run:
	@bash scripts/install-deps.sh run

deps:
	@bash scripts/install-deps.sh test

build-run: deps-run
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
	@for b in $(BUILD_BENCH)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; $$b || exit 1; done

tsan: deps
	cmake -S . -B $(BUILD_TSAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DQUVO_TSAN=ON -DQUVO_BUILD_TESTS=ON -DQUVO_BUILD_BENCH=ON
	cmake --build $(BUILD_TSAN) -j $(JOBS) --target core_tests canvas_tests production_tests race_probe \
	  $(notdir $(basename $(wildcard bench/bench_*.cpp)))
	bash scripts/run-tsan.sh $(BUILD_TSAN) $(JOBS) core canvas production

guide: deps-run
	cmake -S . -B $(BUILD_GUIDE) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVO_BUILD_TESTS=OFF -DQUVO_BUILD_GUIDE=ON
	cmake --build $(BUILD_GUIDE) -j $(JOBS) --target make_guide
	QT_QPA_PLATFORM=offscreen $(BUILD_GUIDE)/guide/make_guide guide resources/Help.pdf

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
