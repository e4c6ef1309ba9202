# make          - list these targets
# make run      - install what is missing, build the programs (Release, in build/),
#                 start kbdsim if needed, open the main window
# make test     - install what is missing, build everything with
#                 ASan and UBSan (unoptimised, in build-asan/) and run the whole suite
# make build    - install what is missing and build the programs only (Release, in build/)
# make package  - build the Debian package build/ptu_<version>_<arch>.deb
# make fuzz     - run every fuzz target for FUZZ_SECONDS (default 60) each, when clang is there
# make clean    - remove the build trees

BUILD ?= build
TEST_BUILD ?= build-asan
PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
           libbenchmark-dev libasound2-dev libxcb1-dev libxtst-dev xvfb xdotool openbox x11-utils libqt6svg6 \
           desktop-file-utils appstream groff-base dpkg-dev file poppler-utils weston qt6-wayland imagemagick xclip
SOCKET ?= $(if $(PORTGATE_SOCKET),$(PORTGATE_SOCKET),$(if $(XDG_RUNTIME_DIR),$(XDG_RUNTIME_DIR)/portgate,/tmp/portgate-$(shell id -u)))

.DEFAULT_GOAL := help
.PHONY: help run test package deps build clean fuzz

help:
	@sed -n 's/^# \(make\|     \)/\1/p' $(firstword $(MAKEFILE_LIST))

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:" $$missing; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run as root:"; echo "  apt-get install -y $$missing"; exit 1; \
	  fi; \
	fi

# configure TREE, SANITIZE, BUILD-TYPE: (re)configures a tree that is missing
# or was configured another way.
configure = @[ -f $(1)/build.ninja ] && grep -qx 'PTU_SANITIZE:BOOL=$(2)' $(1)/CMakeCache.txt && \
  grep -qx 'CMAKE_BUILD_TYPE:STRING=$(3)' $(1)/CMakeCache.txt || \
  cmake -S . -B $(1) -G Ninja -DPTU_SANITIZE=$(2) -DCMAKE_BUILD_TYPE=$(3)

build: deps
	$(call configure,$(BUILD),OFF,Release)
	cmake --build $(BUILD) --target programs

test: deps
	$(call configure,$(TEST_BUILD),ON,Debug)
	cmake --build $(TEST_BUILD)
	cd $(TEST_BUILD) && ctest --output-on-failure -j2 --timeout 600

run: build
	@if ! [ -S "$(SOCKET)" ] || ! $(BUILD)/bin/kbdsim --probe --socket "$(SOCKET)" 2>/dev/null; then \
	  $(BUILD)/bin/kbdsim --daemon --socket "$(SOCKET)" && \
	  echo "kbdsim serves $(SOCKET) until: $(BUILD)/bin/kbdsim --stop --socket $(SOCKET)"; \
	fi
	$(BUILD)/bin/ptu

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(FUZZ_BUILD)

FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz
FUZZ_TARGETS = decode listing frame hid

# New inputs go to $(FUZZ_BUILD)/corpus; the starting corpus in the tree is only
# read. A finding stops the run and is left as $(FUZZ_BUILD)/fuzz_<target>-crash-...
fuzz: deps
	@if ! command -v clang++ >/dev/null; then \
	  echo "make fuzz needs clang with libFuzzer (apt-get install clang): skipped"; exit 0; fi; \
	[ -f $(FUZZ_BUILD)/build.ninja ] || \
	  CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DPTU_FUZZ=ON -DPTU_BENCH=OFF || exit 1; \
	cmake --build $(FUZZ_BUILD) --target $(addprefix fuzz_,$(FUZZ_TARGETS)) || exit 1; \
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	  if ! $(FUZZ_BUILD)/tests/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	      -artifact_prefix=$(FUZZ_BUILD)/fuzz_$$t- $(FUZZ_BUILD)/corpus/$$t tests/fuzz/corpus/$$t \
	      >$(FUZZ_BUILD)/fuzz_$$t.log 2>&1; then \
	    tail -n 40 $(FUZZ_BUILD)/fuzz_$$t.log; echo "fuzz_$$t: FINDING (see $(FUZZ_BUILD)/fuzz_$$t.log)"; exit 1; \
	  fi; \
	  grep -E "^stat::number_of_executed_units|^Done" $(FUZZ_BUILD)/fuzz_$$t.log; \
	done
