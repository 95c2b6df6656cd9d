# One-command entry points for a fresh Debian 12 machine.
#   make run   installs what is missing, builds and starts the simulator
#   make test  installs what is missing, builds and runs every test through CTest

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

DEB_PACKAGES := cmake g++ make pkg-config qt6-base-dev libqt6opengl6-dev qt6-charts-dev qt6-multimedia-dev \
	libgl1-mesa-dev libsdl2-mixer-dev libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xauth fonts-liberation2 locales python3 \
	qt6-httpserver-dev qt6-websockets-dev libqrencode-dev libjs-chart.js chromium chromium-driver python3-selenium poppler-utils libtomlplusplus-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test bench screenshots sanitize fuzz package install clean

deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

# ccache, when the machine has it, makes rebuilds after a clean or in a second tree cheap.
CCACHE := $(shell command -v ccache 2>/dev/null)

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	cd $(BUILD_DIR)/bin && ./OrvanePelaSim

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD_DIR) --target benchmarks -j $(JOBS)
	bench/run_all.sh $(BUILD_DIR)/bin

# The pictures of the user guide (docs/screenshots), taken from the real widgets by the Qt
# tests, including a whole dive flown in real time (about two minutes). They are committed;
# the pictures the README does not show are not kept.
screenshots: build
	rm -rf docs/screenshots
	cd $(BUILD_DIR)/bin && PELASIM_SCREENSHOT_DIR=$(CURDIR)/docs/screenshots \
	  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ./pelasim_gui_tests --gtest_also_run_disabled_tests --gtest_brief=1
	cd $(BUILD_DIR)/bin && PELASIM_SCREENSHOT_DIR=$(CURDIR)/docs/screenshots \
	  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ./pelasim_screen_tests --gtest_brief=1 \
	  --gtest_filter='ScaledWindow.OpensWhole*:WindowKeys.APairZone*:WindowKeys.HelpKeyboard*'
	for f in docs/screenshots/*.png; do \
	  grep -qF "($$f)" README.md || rm -f "$$f"; \
	done
	QT_QPA_PLATFORM=offscreen /usr/bin/python3 tests/station/browser_test.py \
	  $(BUILD_DIR)/bin/pelasim_station_probe --screenshots docs/screenshots

# AddressSanitizer and UndefinedBehaviorSanitizer over the whole test suite.
sanitize: deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPELASIM_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tools/sanitize/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# Fuzzes the data file reader for FUZZ_SECONDS (needs clang and its runtime).
FUZZ_SECONDS ?= 60
fuzz:
	@missing=""; for p in clang libclang-rt-14-dev; do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; fi
	fuzz/run.sh $(FUZZ_SECONDS)

# The Debian package (build/orvanepelasim_<version>_<arch>.deb).
package: build
	@dpkg-query -W -f='$${Status}' dpkg-dev 2>/dev/null | grep -q 'install ok installed' || \
	  (DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends dpkg-dev)
	cd $(BUILD_DIR) && cpack

install: build
	$(SUDO) cmake --install $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) build-sanitize
