# The two commands a person needs: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test build setup clean

setup:
	@scripts/setup.sh

build: setup
	cmake --build build -j$(JOBS)

run: build
	@scripts/run.sh

test: build
	cd build && ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf build
