# Front door: `make run`, `make test`, plain `make` builds only; `make fuzz` runs the fuzzers.
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz

.PHONY: all build deps configure run test bench fuzz fuzz-replay clean format format-check lint

all: build

deps:
	@bash tools/setup-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: deps
	$(MAKE) build
	./$(BUILD)/duoptic

# The unit, widget and hostile-file tests run a second time in an AddressSanitizer and
# UndefinedBehaviorSanitizer build; the end-to-end run in a real X server only in the first. In
# between, the fuzz targets replay their seeds.
SANITIZE_BUILD ?= build-asan

test: deps format-check
	$(MAKE) build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) fuzz-replay
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DDUOPTIC_SANITIZE=ON -DDUOPTIC_BENCH=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		ctest --output-on-failure -j $(JOBS) -E '^e2e_'

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUOPTIC_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	bash bench/run.sh build-bench

# A Release build of the program alone, with Debian's hardening flags, stripped and packaged by
# cpack: $(PACKAGE_BUILD)/duoptic_<version>_<arch>.deb. `make test` checks a package of build/.
PACKAGE_BUILD ?= build-package
.PHONY: package
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DDUOPTIC_TESTS=OFF \
		-DDUOPTIC_BENCH=OFF \
		"-DCMAKE_CXX_FLAGS=$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		"-DCMAKE_EXE_LINKER_FLAGS=$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target duoptic
	cd $(PACKAGE_BUILD) && cpack

# Each fuzz target runs FUZZ_SECONDS; crashes are kept in fuzz/regressions/<target>/.
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_BUILD=$(abspath $(FUZZ_BUILD)) bash fuzz/run.sh

# The fuzz targets built and run once over their seeds and kept crashes, without fuzzing: they
# cannot fall behind the sources, and a fixed crash stays fixed.
fuzz-replay: deps
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j $(JOBS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on the first file whose layout differs from .clang-format; `make format` fixes it.
format-check:
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h')

# clang-tidy over the program's sources, with the compile commands of the build folder.
lint: configure
	run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) -extra-arg=-Wno-unknown-warning-option \
		'$(CURDIR)/src/.*\.cpp$$'

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-bench $(FUZZ_BUILD)
	rm -rf $(PACKAGE_BUILD)
