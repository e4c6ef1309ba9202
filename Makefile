# make run  - install what is missing, build, start kbdsim if needed, open the main window
# make test - install what is missing, build (with ASan and UBSan) and run the whole suite

BUILD ?= build
PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
           libbenchmark-dev libasound2-dev libxcb1-dev xvfb xdotool
SOCKET ?= $(if $(PORTGATE_SOCKET),$(PORTGATE_SOCKET),$(if $(XDG_RUNTIME_DIR),$(XDG_RUNTIME_DIR)/portgate,/tmp/portgate-$(shell id -u)))

.PHONY: run test deps build clean

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

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DPTU_SANITIZE=ON
	cmake --build $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j2 --timeout 600

run: build
	@if ! [ -S "$(SOCKET)" ] || ! $(BUILD)/bin/kbdsim --probe --socket "$(SOCKET)" 2>/dev/null; then \
	  $(BUILD)/bin/kbdsim --daemon --socket "$(SOCKET)"; \
	fi
	$(BUILD)/bin/ptu

clean:
	rm -rf $(BUILD)
