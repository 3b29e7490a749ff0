// What the benchmark programs' entry (BenchMain.cpp) gives every benchmark.
#pragma once

#include <functional>
#include <string>

// This run's own folder, made under $TMPDIR (or /tmp) before the first
// benchmark; TMPDIR points at it while the benchmarks run, so temporary
// files of the libraries land there too. It goes, with whatever is left in
// it, when the benchmarks end.
const std::string& BenchTempDir();

// A folder of its own inside BenchTempDir() for one benchmark ("name-XXXXXX").
std::string MakeBenchDir(const std::string& Name);

// Work for after the last benchmark, before the application is torn down:
// freeing what a benchmark keeps for all its runs (a static report run, a
// window). Called in the reverse order of registration.
void AtBenchEnd(std::function<void()> Work);
