// The largest printout: a trend report of 1,000 stored incidents (about
// 14,000 lines over 200 pages) built and printed to a PDF file, the printer
// set-up dialog answered. It must take well under 5 s; the live plots wait
// for it (the main window's Printing flag) and resume at once after it.
#include "bench/AllocationCount.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "reports/BasicTextReport.h"
#include "workbench/Trendtestfunctions.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void BM_TrendReportThousandIncidents(benchmark::State& State)
{
    EnsureApplication();
    TTrendTest T;
    TParameterStruct P;
    P.SetSlot(TParameterStruct::SlotOf(parPIP), 15);
    T.Start(parPIP, 10, 20, P);
    for (int i = 0; i < 1000; ++i) {
        P.SetSlot(TParameterStruct::SlotOf(parPIP), static_cast<float>(100 + i));
        T.AddParameters(P);
    }
    T.Stop();
    if (!rptBasicText)
        rptBasicText = new TrptBasicText(Application);
    const std::string Pdf = (std::filesystem::temp_directory_path() / "oz-trend-bench.pdf").string();
    Printer()->SetFileName(Pdf);
    const TDialogAnswerer Old = SetDialogAnswerer([&](const TDialogRequest& Q, TDialogAnswer& A) {
        if (Q.Kind != TDialogKind::Print)
            return false;
        if (auto* D = dynamic_cast<TPrintDialog*>(Q.Dialog)) {
            D->SetPrintToFile(true);
            D->SetFileName(Pdf);
        }
        A.ModalResult = mrOk;
        return true;
    });
    for (auto _ : State)
        rptBasicText->PrintTrendReport(false, "Trend bench", "123456", T);
    SetDialogAnswerer(Old);
    Printer()->SetFileName("");
    State.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(Pdf));
    std::remove(Pdf.c_str());
}
BENCHMARK(BM_TrendReportThousandIncidents)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
