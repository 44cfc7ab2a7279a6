# Brumzel Ball: `make play` builds and starts the game, `make test` builds and runs every test,
# `make package` builds the Debian package $(BUILD)/brumzel-ball_VERSION_ARCH.deb.
BUILD ?= build
JOBS ?= $(shell nproc)
# The headless tests again with AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz
# targets (clang), each in a build folder of its own that takes the data file of $(BUILD).
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# make test runs each fuzz target this long, beside the other tests.
TEST_FUZZ_SECONDS ?= 20
CHECK_BUILD_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMZEL_BENCH=OFF \
	-DBRUMZEL_GAMEDATA=$(CURDIR)/$(BUILD)/GAMEDATA.DAT

.PHONY: play test build configure package deps bench screenshots pictures clean sanitize fuzz \
	sanitize-build fuzz-build test-deps

# Each target installs the Debian packages it needs (scripts/install-deps names the groups):
# playing needs only the compiler, CMake, the game library and what the data generator uses; the
# test tools, sanitizers, fuzzers, the package's and the screenshots' tools come with their
# targets. A build for playing leaves the tests and benchmarks out; one for them puts them back.
PLAY_CONFIG = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DBRUMZEL_BENCH=OFF
FULL_CONFIG = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DBRUMZEL_BENCH=ON \
	-DBRUMZEL_SANITIZED_BUILD= -DBRUMZEL_FUZZ_BUILD=

# Everything any target needs.
deps:
	@scripts/install-deps test fuzz screenshots

configure:
	@scripts/install-deps build
	cmake -S . -B $(BUILD) $(FULL_CONFIG)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Playing needs the game, its data file and the launcher, not the tests and benchmarks.
# ARGS passes the game's options, e.g. make play ARGS=--window
play:
	@scripts/install-deps play
	cmake -S . -B $(BUILD) $(PLAY_CONFIG)
	cmake --build $(BUILD) -j $(JOBS) --target brumzel-ball gamedata
	scripts/brumzel-launch "$(CURDIR)/$(BUILD)/brumzel-ball" "$(CURDIR)/$(BUILD)/GAMEDATA.DAT" $(ARGS)

# The package holds the game, its data and the files around them; CPack lays them out under /usr.
package:
	@scripts/install-deps package
	cmake -S . -B $(BUILD) $(PLAY_CONFIG)
	cmake --build $(BUILD) -j $(JOBS) --target brumzel-ball gamedata debian_docs
	cd $(BUILD) && cpack

# Every test in one CTest run: the headless tests, the same as the sanitizer build made them and
# each fuzz target for TEST_FUZZ_SECONDS run on the core the end-to-end tests' game leaves free.
test: test-deps build sanitize-build fuzz-build
	cmake -S . -B $(BUILD) $(FULL_CONFIG) -DBRUMZEL_SANITIZED_BUILD=$(CURDIR)/$(SANITIZE_BUILD) \
		-DBRUMZEL_FUZZ_BUILD=$(CURDIR)/$(FUZZ_BUILD) -DBRUMZEL_FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# What every test needs, asked for in one go before anything is built.
test-deps:
	@scripts/install-deps test fuzz

sanitize-build: build
	cmake -S . -B $(SANITIZE_BUILD) $(CHECK_BUILD_FLAGS) -DBRUMZEL_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

sanitize: sanitize-build
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) -L unit

fuzz-build: build
	@scripts/install-deps fuzz
	cmake -S . -B $(FUZZ_BUILD) $(CHECK_BUILD_FLAGS) -DBRUMZEL_FUZZ=ON -DBUILD_TESTING=OFF \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_score_file fuzz_name_editor fuzz_gamedata \
		fuzz_replay

fuzz: fuzz-build
	tests/fuzz/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Runs every benchmark program; the frame-cost one ends with its table of ratios to the floor.
# BENCH_ARGS passes Google Benchmark options, e.g. BENCH_ARGS=--benchmark_filter=play.
bench: build
	@for b in $(BUILD)/bench/bench_*; do \
		[ -x "$$b" ] || continue; \
		"$$b" $(BENCH_ARGS) || exit 1; \
	done

# The README's pictures, taken from the real game under a private X server.
screenshots: build
	@scripts/install-deps screenshots
	scripts/take-screenshots $(BUILD) docs

# The reviewed pictures of the screens, taken again into tests/pictures. Look at every new
# picture before it is committed.
pictures: build
	for t in test_pictures test_display test_program; do \
	  mkdir -p $(BUILD)/tests/run-$$t && (cd $(BUILD)/tests/run-$$t && BRUMZEL_TAKE_PICTURES=1 ../$$t) || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
