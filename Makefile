# The two commands of the README: `make run` plays a whole match on the example
# input, `make test` runs the test suite, then again under ASan and UBSan.
BUILD      ?= build
BUILD_SAN  ?= build-san
RUNDIR     := $(BUILD)/run
JOBS       ?= $(shell nproc)
PACKAGES   := cmake ninja-build g++ libgtest-dev libbenchmark-dev libssl-dev

.PHONY: run test deps configure build clean

# Installs what a fresh machine may lack; does nothing when all is present.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
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
	rm -rf $(BUILD) $(BUILD_SAN)
