#include "report/RpExtra.h"

#include "platform/Application.h"
#include "platform/ScopeGuard.h"
#include "platform/SysUtils.h"

namespace {

// One search at a time: the preview's find runs on the GUI thread.
bool SearchBusy = false;

}  // namespace

bool StrInMetafile(const std::string& Str, TMetafile* Metafile, bool CaseSensitive)
{
    while (SearchBusy)
        Application->ProcessMessages();
    if (!Metafile)
        return false;
    TValueRollback<bool> Busy(SearchBusy, true);
    const std::string Wanted = CaseSensitive ? Str : AnsiUpperCase(Str);
    for (const TMetafile::TTextItem& Item : Metafile->TextItems()) {
        const std::string Text = CaseSensitive ? Item.Text : AnsiUpperCase(Item.Text);
        if (Text.find(Wanted) != std::string::npos)
            return true;
    }
    return false;
}

// ------------------------------------------------------------------ print job

void TRpPrintJob::Preview()
{
    const auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->SetDestination(rpdMetafile);
    Printer->Preview();
    Application->ProcessMessages();
    CreateOutput(Printer.get());
    while (Printer->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TRpPrintJob::Print()
{
    const auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->SetDestination(rpdPrinter);
    CreateOutput(Printer.get());
}

// --------------------------------------------------------------- file handler

TRpPHandler::~TRpPHandler() = default;

void TRpPHandler::SetFilename(const std::string& Value)
{
    if (Value == FFilename)
        return;
    FLoadedPrinter.reset();
    FFilename.clear();
    auto Printer = std::make_unique<TRpPrinter>(nullptr);
    Printer->Load(Value);
    FLoadedPrinter = std::move(Printer);
    FFilename = Value;
}

void TRpPHandler::Preview()
{
    if (!FLoadedPrinter)
        return;
    FLoadedPrinter->Preview();
    while (FLoadedPrinter && FLoadedPrinter->ShowingPreview() && !Application->Terminated())
        Application->HandleMessage();
}

void TRpPHandler::Print()
{
    if (FLoadedPrinter)
        FLoadedPrinter->Print();
}
