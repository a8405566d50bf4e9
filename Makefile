# SPDX-License-Identifier: GPL-3.0-or-later
# Entry points for people and CI. Every target installs what it is missing first: `make run`
# only what the programs need, `make test` the test tools as well.
BUILD_DIR ?= build
BENCH_DIR ?= build-bench
PACKAGE_DIR ?= build-package
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 30
JOBS ?= $(shell nproc)

WEB_PORT ?= 8080

.PHONY: all deps build run test bench package fuzz clean screenshots format check-extended platforms \
	web web-run web-test bench-web web-screenshot

all: build

deps:
	@bash scripts/install-deps.sh test

# The first configure leaves the tests out, so that `make run` needs no test packages; `make
# test` turns them on in the same folder (the programs are not built again).
build:
	@bash scripts/install-deps.sh build
	@if [ ! -f $(BUILD_DIR)/CMakeCache.txt ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=OFF >/dev/null; \
	fi
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target orvale orvale-score

run: build
	@$(BUILD_DIR)/bin/orvale

test:
	@bash scripts/install-deps.sh test
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=ON >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory web-test

# The web page as static files in $(BUILD_DIR)/web: the core compiled to WebAssembly with
# emscripten (in $(BUILD_DIR)/web-core), the TypeScript checked and bundled with esbuild.
web:
	@bash scripts/install-deps.sh web
	@bash scripts/build-web.sh $(BUILD_DIR)/web

# Serves the page on this computer only, at the address it prints.
web-run: web
	@echo "ORVALE in the browser: http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	@python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(BUILD_DIR)/web

# The page's tests in Debian's Chromium, headless, against the orvale-score of $(BUILD_DIR).
web-test: web
	@ORVALE_WEB=$(BUILD_DIR)/web ORVALE_SCORE=$(BUILD_DIR)/bin/orvale-score node --test tests/web/

bench:
	@bash scripts/install-deps.sh bench
	@cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=OFF -DORVALE_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bin/bench_*; do echo "== $$b"; "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done
	@$(MAKE) --no-print-directory bench-web

# The web page's load, size, Compute and batch figures in Debian's Chromium (bench/web_page.mjs).
bench-web: web
	@echo "== bench/web_page.mjs"
	@ORVALE_WEB=$(BUILD_DIR)/web node bench/web_page.mjs

# SoftExtended against the x87: EXTENDED_CASES random cases of each operation.
EXTENDED_CASES ?= 100000000
check-extended:
	@bash scripts/install-deps.sh test
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVALE_BUILD_TESTS=ON >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target soft_extended_check
	@$(BUILD_DIR)/bin/soft_extended_check $(EXTENDED_CASES)

# A Debian package of the two programs in $(PACKAGE_DIR), checked by lintian.
package:
	@bash scripts/install-deps.sh package
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DORVALE_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS)
	@cd $(PACKAGE_DIR) && cpack -G DEB
	@lintian --fail-on error $(PACKAGE_DIR)/orvale_*.deb

# Every fuzz target for FUZZ_SECONDS seconds (clang, libFuzzer, ASan and UBSan); fails on a finding.
fuzz:
	@bash scripts/install-deps.sh fuzz
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DORVALE_BUILD_TESTS=OFF -DORVALE_BUILD_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@bash scripts/run-fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# orvale-score and the core's test suites built for x86-64 with the software extended type,
# arm64, WebAssembly and 64-bit Windows (run by qemu, node and wine), the Windows file writer
# tested under wine, and every build's outputs compared with the native build's over a corpus of
# PLATFORM_CASES cases. CI runs it.
PLATFORM_CASES ?= 20000
platforms:
	@bash scripts/install-deps.sh platforms
	@bash scripts/platforms.sh $(PLATFORM_CASES)

screenshots: build
	@bash scripts/install-deps.sh test
	@bash scripts/screenshots.sh $(BUILD_DIR)

# docs/web-page.png, the page's picture in the README (scripts/web-screenshot.mjs).
web-screenshot: web
	@ORVALE_WEB=$(BUILD_DIR)/web node scripts/web-screenshot.mjs docs/web-page.png

format:
	@bash scripts/install-deps.sh format
	@find src tests fuzz bench -name '*.cpp' -o -name '*.h' | xargs -r clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(BENCH_DIR) $(PACKAGE_DIR) $(FUZZ_DIR)
