#include "report/RpProgressListener.h"

#include <utility>

namespace {

TRpProgressWindowFactory& progressWindowFactory()
{
    static TRpProgressWindowFactory Factory;
    return Factory;
}

}  // namespace

void RegisterProgressWindow(TRpProgressWindowFactory Factory)
{
    progressWindowFactory() = std::move(Factory);
}

std::unique_ptr<TRpProgressListener> CreateProgressWindow()
{
    const TRpProgressWindowFactory& Factory = progressWindowFactory();
    return Factory ? Factory() : nullptr;
}
