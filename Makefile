# Tramo2: native (Linux) and Windows (i686 MinGW, run under Wine) trees.
NATIVE := build/native
WIN32  := build/win32
JOBS   ?= $(shell nproc)

.PHONY: all deps native win32 test test-native test-win32 test-dist run bench dist clean

all: native win32

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

test: test-native test-win32 test-dist

test-native: native
	@ctest --test-dir $(NATIVE) --output-on-failure

test-win32: win32
	@ctest --test-dir $(WIN32) --output-on-failure

# Starts the tracker under Wine with its data beside the program (argument M),
# on the real display when there is one.
run: win32
	@cd $(WIN32) && ../../scripts/wine-run.sh ./Tramo2.exe M

# Release zip (Tramo2.exe, tramo2-stats.exe, Readme.pdf) and the per-user
# setup program, both named by the version.
dist: win32
	@cmake --build $(WIN32) --target dist
	@rm -rf build/dist && mkdir -p build/dist
	@cp $(WIN32)/dist/Tramo2-*.zip $(WIN32)/dist/Tramo2-*-setup.exe build/dist/
	@ls build/dist/*.zip build/dist/*-setup.exe

# The setup program under Wine: install, upgrade over a running copy,
# uninstall; wizard screenshots in build/dist/screenshots.
test-dist: dist
	@bash tests/dist/installer_test.sh build/dist $(WIN32)/tests/e2e_helper.exe

bench: native win32
	@bash bench/run.sh

clean:
	rm -rf build
