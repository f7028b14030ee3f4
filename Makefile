# make run   installs what is missing, builds, and starts the player (on the demo list unless FILE= is given)
# make test  installs what is missing, builds, and runs every test
# make bench installs what is missing, builds, and prints every benchmark figure
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DVELORRA_WERROR=ON
endif

.PHONY: deps configure build run test bench clean

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

clean:
	rm -rf $(BUILD)
