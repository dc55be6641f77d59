# The two commands of the README: `make run` plays a whole match on the example
# input, `make test` runs the test suite, then again under ASan and UBSan.
BUILD      ?= build
BUILD_SAN  ?= build-san
BUILD_PGO  ?= build-pgo
PROFILE    := $(abspath $(BUILD_PGO))/profile
TRAIN_SEED := 4242
RUNDIR     := $(BUILD)/run
JOBS       ?= $(shell nproc)
PACKAGES   := cmake ninja-build g++ libgtest-dev libbenchmark-dev libssl-dev

.PHONY: run test deps profile configure build clean

# Installs what a fresh machine may lack; does nothing when all is present.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

# The compilers that bench/compiler-signatures.sh builds with besides the
# default one; only that script asks for them, so run and test never install them.
COMPILER_PACKAGES := clang

.PHONY: compiler-deps
compiler-deps:
	@missing=""; for p in $(COMPILER_PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

# The engine's profile: an instrumented build plays one seeded match on the
# example input. It is played again only when the instrumented program has
# changed, so an unchanged tree builds no slower than before.
profile: deps
	cmake -S . -B $(BUILD_PGO) -G Ninja -DCMAKE_BUILD_TYPE=Release -DENGINE_BENCH=OFF \
	  -DENGINE_PROFILE=generate -DENGINE_PROFILE_DIR=$(PROFILE)
	cmake --build $(BUILD_PGO) -j $(JOBS) --target play_match
	@if [ ! -f $(PROFILE)/played ] || [ $(BUILD_PGO)/play_match -nt $(PROFILE)/played ]; then \
	  echo "playing the training match (seed $(TRAIN_SEED)) for the engine's profile"; \
	  rm -rf $(PROFILE) $(BUILD_PGO)/train; \
	  mkdir -p $(PROFILE) $(BUILD_PGO)/train/csvinput; \
	  cp -r examples/csvinput/internetinit $(BUILD_PGO)/train/csvinput/; \
	  $(BUILD_PGO)/play_match $(BUILD_PGO)/train $(TRAIN_SEED) >/dev/null || \
	    echo "the training match ended with an error: its profile is used as it stands"; \
	  touch $(PROFILE)/played; \
	fi

configure: deps profile
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DENGINE_PROFILE=use -DENGINE_PROFILE_DIR=$(PROFILE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# A match needs only the program (and the profile, which configure takes):
# not the tests, the benchmarks or the sanitizer build.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target matchengine
	rm -rf $(RUNDIR)
	mkdir -p $(RUNDIR)/output $(RUNDIR)/csvinput
	cp $(BUILD)/matchengine $(RUNDIR)/
	cp -r examples/csvinput/internetinit $(RUNDIR)/csvinput/
	@cd $(RUNDIR) && ./matchengine; status=$$?; \
	  echo "run folder: $(abspath $(RUNDIR))"; \
	  echo "outputs:    $(abspath $(RUNDIR))/output"; ls $(abspath $(RUNDIR))/output; \
	  echo "run log:    $(abspath $(RUNDIR))/mydebuglog.txt"; \
	  echo "exit status $$status (0: no errors, 1: error run, 2: start-up or finish failed)"; \
	  test $$status -ne 2

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENGINE_SANITIZE=ON -DENGINE_BENCH=OFF
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD_PGO)
