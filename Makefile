# Tramo2: native (Linux) and Windows (i686 and x86_64 MinGW, run under Wine) trees.
NATIVE := build/native
WIN32  := build/win32
WIN64  := build/win64
JOBS   ?= $(shell nproc)
# The native tests built again with AddressSanitizer and UBSan (g++ keeps the
# program's code page), and the fuzz harnesses (clang with libFuzzer).
ASAN   := build/asan
FUZZ   := build/fuzz
SANITIZE := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
FUZZ_SECONDS ?= 60

.PHONY: all deps native win32 win64 sanitized fuzzers test test-native test-windows windows-tests \
        test-win32 test-win64 test-sanitized test-dist fuzz run bench dist clean

all: native win32 win64

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

win64: deps
	@cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(WIN64) -j $(JOBS)

# These two build at low priority: make test builds them while the Windows
# tests wait for Wine.
sanitized: deps
	@cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Sanitize -DCMAKE_C_FLAGS_SANITIZE="-O1 -g1 $(SANITIZE)" \
	       -DCMAKE_CXX_FLAGS_SANITIZE="-O1 -g1 $(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)" >/dev/null
	@nice -n 10 cmake --build $(ASAN) -j $(JOBS) --target core_tests native_tests \
	       log_reader_replay datetime_replay ini_replay detail_stats_replay

fuzzers: deps
	@cmake -S tests/fuzz -B $(FUZZ) -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	@nice -n 10 cmake --build $(FUZZ) -j $(JOBS)

# The Windows tests and the sanitized trees side by side; each target's
# output comes out whole when it ends.
test: test-native dist
	@$(MAKE) --no-print-directory -j 2 --output-sync=target windows-tests test-sanitized

test-native: native
	@ctest --test-dir $(NATIVE) --output-on-failure

# Both Windows trees are built everywhere; their tests run where the machine
# can run them (a probe decides), the setup programs included.
test-windows: dist
	@$(MAKE) --no-print-directory windows-tests

windows-tests:
	@bash scripts/test-windows.sh $(WIN64) $(WIN32) build/dist

test-win32: win32
	@ctest --test-dir $(WIN32) --output-on-failure

test-win64: win64
	@ctest --test-dir $(WIN64) --output-on-failure

# Each harness runs a few seconds here; `make fuzz` runs each FUZZ_SECONDS.
test-sanitized: sanitized fuzzers
	@ctest --test-dir $(ASAN) -R '^(core_tests|native_tests|fuzz_inputs_.*)$$' --output-on-failure
	@ctest --test-dir $(FUZZ) --output-on-failure

fuzz: fuzzers
	@bash tests/fuzz/run.sh $(FUZZ) $(FUZZ_SECONDS)

# Starts the tracker under Wine with its data beside the program (argument M),
# on the real display when there is one. The 64-bit build runs on every machine.
run: win64
	@cd $(WIN64) && ../../scripts/wine-run.sh ./Tramo2.exe M

# Release zips (Tramo2.exe, tramo2-stats.exe, Readme.pdf) and the per-user
# setup programs of both builds, named by the version.
dist: win32 win64
	@cmake --build $(WIN32) --target dist
	@cmake --build $(WIN64) --target dist
	@rm -rf build/dist && mkdir -p build/dist
	@cp $(WIN32)/dist/Tramo2-*.zip $(WIN32)/dist/Tramo2-*-setup.exe build/dist/
	@cp $(WIN64)/dist/Tramo2-*.zip $(WIN64)/dist/Tramo2-*-setup.exe build/dist/
	@ls build/dist/*.zip build/dist/*-setup.exe

# The setup programs under Wine: install, upgrade over a running copy (also
# from one build to the other), uninstall; wizard screenshots in build/dist/screenshots.
test-dist: dist
	@bash tests/dist/installer_test.sh build/dist $(WIN64)/tests/e2e_helper.exe

bench: native win64
	@bash bench/run.sh

clean:
	rm -rf build
