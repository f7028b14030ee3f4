# make run   installs what is missing, builds, and starts the player (on the demo list unless FILE= is given)
# make test  installs what is missing, builds, and runs every test
# make bench installs what is missing, builds, and prints every benchmark figure
# make sanitize  builds in build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer
#                and runs every test there
# make soak      runs random user sessions on the playback core for SOAK_SECONDS (600)
# make fuzz      installs clang, builds the libFuzzer targets in build-fuzz and runs each for
#                FUZZ_SECONDS (60); fails on any finding, which is kept under build-fuzz/findings
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_SECONDS ?= 600
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DVELORRA_WERROR=ON
endif
# A sanitizer's first report ends the program with a failure. Leaks are reported too, except
# what the system libraries keep for the life of the process (scripts/lsan.supp).
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_init_order=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: deps configure build run test bench sanitize fuzz soak clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/velorra $(if $(FILE),"$(FILE)",$(BUILD)/demo/demo.m3u)

test: build
	@cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 300

bench: build
	@cmake --build $(BUILD) --target bench

soak: build
	@VELORRA_MODEL_SEQUENCES=0 VELORRA_MODEL_SECONDS=$(SOAK_SECONDS) VELORRA_MODEL_SEED=$$(date +%s) \
	  $(BUILD)/bin/playback_model_test

sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DVELORRA_SANITIZE=ON -DVELORRA_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@$(SANITIZER_ENV) cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) ctest -j $(JOBS) --output-on-failure --timeout 600

fuzz:
	@scripts/install-deps --fuzz
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DVELORRA_FUZZ=ON -DVELORRA_SANITIZE=ON -DVELORRA_TESTS=OFF -DVELORRA_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz -j $(JOBS)
	@fuzz/run $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
