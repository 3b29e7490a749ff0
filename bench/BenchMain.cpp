// The benchmark programs' entry. After the last benchmark the application
// is torn down while the Qt library's own statics still stand: left to the
// static destructors, the Qt application would go after them and a program
// that showed a window would crash on its way out.
#include "platform/Application.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DoneApplication();
    return 0;
}
