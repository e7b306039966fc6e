# The two commands of the README, and the sanitizer and benchmark runs.
#   make run      install what is missing, build, prepare ./run, open the window
#   make test     install what is missing, build, run every test
#   make install  install under PREFIX (default /usr/local), staged under DESTDIR if set
#   make package  build/sorabe_VERSION_ARCH.deb
#   make fuzz     build the fuzz targets with clang and run each FUZZ_SECONDS

BUILD      ?= build
JOBS       ?= $(shell nproc)
WORKDIR    ?= $(CURDIR)/run
CMAKE_ARGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all deps build run test test-offscreen test-display install package asan tsan bench fuzz clean FORCE

all: build

deps:
	@sh tools/ensure-packages.sh

# The arguments of the last configure: changed CMAKE_ARGS configure the
# build again, afresh, so an argument left out is not kept from before.
$(BUILD)/cmake-args: FORCE
	@mkdir -p $(BUILD)
	@printf '%s\n' '$(CMAKE_ARGS)' | cmp -s - $@ || printf '%s\n' '$(CMAKE_ARGS)' > $@

$(BUILD)/CMakeCache.txt: $(BUILD)/cmake-args | deps
	cmake --fresh -S . -B $(BUILD) $(CMAKE_ARGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

FORCE:

# A login session provides a private runtime folder; a bare root shell (a
# fresh machine, a container) has none, and Qt would say so on the terminal.
run: build
	@sh tools/prepare-workdir.sh "$(WORKDIR)" "$(CURDIR)/assets"
	@if [ -z "$$XDG_RUNTIME_DIR" ]; then \
	  mkdir -p -m 700 "$(WORKDIR)/.runtime"; export XDG_RUNTIME_DIR="$(WORKDIR)/.runtime"; \
	fi; \
	if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  cd "$(WORKDIR)" && exec "$(CURDIR)/$(BUILD)/Sorabe"; \
	else \
	  echo "No display found: starting Sorabe on a virtual display (xvfb-run)."; \
	  cd "$(WORKDIR)" && exec xvfb-run -a -s "-screen 0 1280x1024x24" "$(CURDIR)/$(BUILD)/Sorabe"; \
	fi

# One after the other, also under make -j: the display tests start real
# windows and must not share the machine with the offscreen run.
test: build
	@$(MAKE) --no-print-directory test-offscreen
	@$(MAKE) --no-print-directory test-display

test-offscreen:
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -L offscreen --output-on-failure -j $(JOBS)

test-display:
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest -L display --output-on-failure

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Exactly one package in the build folder, whatever versions were built before.
package: build
	rm -f $(BUILD)/sorabe_*.deb
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/sorabe_*.deb

# AddressSanitizer + UndefinedBehaviorSanitizer over every offscreen test.
asan: deps
	$(MAKE) BUILD=build-asan CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DSORABE_SANITIZE=address,undefined" build
	cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  QT_QPA_PLATFORM=offscreen ctest -L offscreen --output-on-failure -j $(JOBS)

# ThreadSanitizer over the timer and the drill tests that run it.
tsan: deps
	$(MAKE) BUILD=build-tsan CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DSORABE_SANITIZE=thread" build
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  QT_QPA_PLATFORM=offscreen ctest -L offscreen -R 'MMTimer|Stopwatch|Countdown|ClassOverview|FolderLock' --output-on-failure

bench: build
	@sh tools/run-benchmarks.sh "$(BUILD)"

# libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer (clang),
# every target in turn; the grown corpus stays in build/fuzz/corpus/.
FUZZ_SECONDS ?= 300
fuzz: deps
	@sh tools/ensure-packages.sh fuzz
	cmake -S . -B build/fuzz/obj -DSORABE_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ $(FUZZ_CMAKE_ARGS)
	cmake --build build/fuzz/obj --target fuzzers -j $(JOBS)
	sh tools/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf build build-asan build-tsan
