#include "report/RpPrintSetup.h"

#include <utility>

namespace {

TRpPrintSetupDialog& printSetupDialog()
{
    static TRpPrintSetupDialog Dialog;
    return Dialog;
}

}  // namespace

void RegisterPrintSetupDialog(TRpPrintSetupDialog Dialog)
{
    printSetupDialog() = std::move(Dialog);
}

bool ExecutePrintSetupDialog(TRpPrintSetup& Setup)
{
    const TRpPrintSetupDialog Dialog = printSetupDialog();
    return Dialog && Dialog(Setup);
}
