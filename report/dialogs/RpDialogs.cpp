#include "report/dialogs/RpDialogs.h"

#include "platform/Application.h"
#include "report/RpPrintSetup.h"
#include "report/RpProgressListener.h"
#include "report/dialogs/RpPreviewDlg.h"
#include "report/dialogs/RpPrgres.h"
#include "report/dialogs/RpPrnSu.h"

#include <memory>

void RegisterReportDialogs()
{
    RegisterStandardPreview();
    RegisterProgressWindow([] { return std::make_unique<TRpProgressForm>(Application); });
    RegisterPrintSetupDialog(RpExecutePrintDialog);
}
