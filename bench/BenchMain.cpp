// The benchmark programs' entry. The run gets a temporary folder of its own
// (BenchMain.h) and removes it at the end. After the last benchmark the
// application is torn down while the Qt library's own statics still stand:
// left to the static destructors, the Qt application would go after them
// and a program that showed a window would crash on its way out.
#include "bench/BenchMain.h"

#include "platform/Application.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace {

std::string RunDir;

std::vector<std::function<void()>>& EndWork()
{
    static std::vector<std::function<void()>> Work;
    return Work;
}

std::string MakeDir(const std::string& Parent, const std::string& Name)
{
    std::string Template = Parent + "/" + Name + "-XXXXXX";
    if (!::mkdtemp(Template.data())) {
        std::perror(("cannot make a folder in " + Parent).c_str());
        std::exit(1);
    }
    return Template;
}

}  // namespace

const std::string& BenchTempDir()
{
    return RunDir;
}

std::string MakeBenchDir(const std::string& Name)
{
    return MakeDir(RunDir, Name);
}

void AtBenchEnd(std::function<void()> Work)
{
    EndWork().push_back(std::move(Work));
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const char* Tmp = std::getenv("TMPDIR");
    RunDir = MakeDir(Tmp && *Tmp ? Tmp : "/tmp", "ozbench");
    ::setenv("TMPDIR", RunDir.c_str(), 1);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (!EndWork().empty()) {
        const std::function<void()> Work = std::move(EndWork().back());
        EndWork().pop_back();
        Work();
    }
    DoneApplication();

    std::error_code Ec;
    std::filesystem::remove_all(RunDir, Ec);
    if (Tmp)
        ::setenv("TMPDIR", Tmp, 1);
    else
        ::unsetenv("TMPDIR");
    return 0;
}
