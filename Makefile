# The project's entry points. Each installs what is missing, configures and builds first.
#   make run    the main job: exports the bundled sample catalogue to PDF and to the flip catalogue
#   make test   every test (ctest)
#   make bench  the benchmark programs
#   make package  the Debian package build/<preset>/pagewright_<version>_amd64.deb
#   make fuzz   the fuzz targets, FUZZ_SECONDS each (default 60)

PRESET ?= default
BUILD := build/$(PRESET)
FUZZ_SECONDS ?= 60
CLI := $(BUILD)/src/pagewright-cli
SAMPLE := resources/samples/test.pk2
RUN_OUT := $(BUILD)/sample

.PHONY: deps build run test package bench fuzz asan-test format-check clean

deps:
	@bash scripts/install-deps.sh

# Build progress goes to stderr, so that stdout carries only what a target reports.
build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) 1>&2

run: build
	@mkdir -p $(RUN_OUT)
	@$(CLI) pdf $(SAMPLE) -o $(RUN_OUT)/katalog.pdf
	@$(CLI) html $(SAMPLE) -o $(RUN_OUT)/blaetterkatalog
	@echo "The sample catalogue as a PDF file:   $(CURDIR)/$(RUN_OUT)/katalog.pdf"
	@echo "The sample catalogue to leaf through: $(CURDIR)/$(RUN_OUT)/blaetterkatalog/catalog.htm"
	@echo "The window program with the sample:   $(BUILD)/src/pagewright $(SAMPLE)"

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

package: build
	@cmake --build --preset $(PRESET) --target package 1>&2
	@ls $(CURDIR)/$(BUILD)/pagewright_*_amd64.deb

asan-test: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ASAN_OPTIONS=detect_leaks=1 \
	  ctest --test-dir build/asan --output-on-failure -j2

bench: build
	$(BUILD)/bench/catalog_io_bench
	$(BUILD)/bench/translate_bench
	$(BUILD)/bench/paintdib_bench
	$(BUILD)/bench/linebreak_bench
	$(BUILD)/bench/layout_bench
	$(BUILD)/bench/pdf_bench
	$(BUILD)/bench/export_bench
	$(BUILD)/bench/vector_bench
	$(BUILD)/bench/flip_bench
	$(BUILD)/bench/csv_bench
	$(BUILD)/bench/edit_bench
	$(BUILD)/bench/check_bench
	$(BUILD)/bench/window_bench
	$(BUILD)/bench/preview_bench
	$(BUILD)/bench/window_export_bench

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@for f in build/fuzz/fuzz/fuzz_*; do \
	  [ -f $$f ] && [ -x $$f ] || continue; \
	  name=$$(basename $$f); corpus=fuzz/corpus/$${name#fuzz_}; \
	  mkdir -p build/fuzz/corpus-$$name; \
	  log=build/fuzz/$$name.log; \
	  echo "== $$name for $(FUZZ_SECONDS) s (log: $$log)"; \
	  if ! LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	      $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build/fuzz/corpus-$$name $$corpus >$$log 2>&1; then \
	    tail -n 80 $$log; echo "$$name found a problem"; exit 1; \
	  fi; \
	  tail -n 7 $$log; \
	done

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf build
