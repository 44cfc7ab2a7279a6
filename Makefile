# Brumzel Ball: `make play` builds and starts the game, `make test` builds and runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: play test build deps bench screenshots clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

play: build
	scripts/brumzel-launch "$(CURDIR)/$(BUILD)/brumzel-ball" "$(CURDIR)/$(BUILD)/GAMEDATA.DAT"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Runs every benchmark program; the frame-cost one ends with its table of ratios to the floor.
# BENCH_ARGS passes Google Benchmark options, e.g. BENCH_ARGS=--benchmark_filter=play.
bench: build
	@for b in $(BUILD)/bench/bench_*; do \
		[ -x "$$b" ] || continue; \
		"$$b" $(BENCH_ARGS) || exit 1; \
	done

# The README's pictures, taken from the real game under a private X server.
screenshots: build
	scripts/take-screenshots $(BUILD) docs

clean:
	rm -rf $(BUILD)
