# Entry points for people and CI. Every target installs what is missing first.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench fuzz clean screenshots format

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "No display found (DISPLAY is not set): the desktop program needs a graphical session."; \
	  echo "Score a case from the command line instead, for example:"; \
	  echo "  $(BUILD_DIR)/bin/orvale-score 10 10 10 10 10 10 10 10"; \
	  echo "($(BUILD_DIR)/bin/orvale-score --help lists the options.)"; \
	  exit 1; \
	fi
	@$(BUILD_DIR)/bin/orvale

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=OFF -DORVALE_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bin/bench_*; do echo "== $$b"; "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done

# Every fuzz target for FUZZ_SECONDS seconds (clang, libFuzzer, ASan and UBSan); fails on a finding.
fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DORVALE_BUILD_TESTS=OFF -DORVALE_BUILD_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@bash scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

screenshots: build
	@bash scripts/screenshots.sh $(BUILD_DIR)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(BENCH_DIR) $(FUZZ_DIR)
