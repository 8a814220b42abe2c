# The two commands a person needs: `make run` and `make test`. `make package` makes the .deb.
JOBS ?= $(shell nproc)

.PHONY: run test build package setup setup-test clean

# What building and running need, nothing the tests need.
setup:
	@scripts/setup.sh run

setup-test:
	@scripts/setup.sh test

build: setup
	cmake --build build -j$(JOBS)

run: build
	@scripts/run.sh

test: setup-test
	cmake --build build -j$(JOBS)
	cd build && ctest --output-on-failure -j$(JOBS)

# build/pictorant_VERSION_ARCH.deb, stripped, its dependencies from dpkg-shlibdeps.
package: setup-test
	cmake --build build -j$(JOBS)
	cd build && cpack -G DEB

clean:
	rm -rf build
