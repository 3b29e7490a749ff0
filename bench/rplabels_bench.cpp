// The program's longest printout: the trend report's memo of 999 incidents
// of 14 lines (about 14,000 lines, 230 Letter pages) recorded into the page
// list. A memo that goes on over pages is formatted again on each of them;
// the aim is at least 120 pages a second (under 2 s for the whole report).
#include "platform/Application.h"
#include "report/RpCtrls.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TRpReport> TrendReport(int Incidents)
{
    auto R = std::make_unique<TRpReport>(nullptr);
    R->Page()->SetPaperSize(TRpPaperSize::Letter);
    R->SetUnits(TRpUnit::MM);
    for (auto Set : {&TRpPage::SetTopMargin, &TRpPage::SetBottomMargin, &TRpPage::SetLeftMargin,
                     &TRpPage::SetRightMargin})
        (R->Page()->*Set)(12.7L);
    R->SetShowProgress(false);
    R->Bands()->SetHasTitle(true);
    R->Bands()->SetHasDetail(true);
    R->Bands()->SetHasPageFooter(true);
    R->Bands()->GetBand(1)->SetHeight(153);
    R->Bands()->GetBand(4)->SetHeight(40);
    R->Bands()->GetBand(6)->SetHeight(30);
    auto* Header = R->Bands()->GetBand(1)->AddPrintable<TRpLabel>();
    Header->SetCaption("Trend Report");
    auto* Text = R->Bands()->GetBand(4)->AddPrintable<TRpMemo>();
    Text->Font()->SetName("Courier New");
    Text->Font()->SetHeight(-13);
    Text->SetAutoSize(false);
    Text->SetAutoStretch(true);
    Text->SetBounds(0, 0, 720, 40);
    for (int I = 1; I <= Incidents; ++I) {
        Text->Lines()->Add("Incident " + std::to_string(I) + " of the trend test, recorded at 12:" +
                           std::to_string(10 + I % 50) + ":07 on channel 2");
        for (int K = 1; K < 14; ++K)
            Text->Lines()->Add("  Signal " + std::to_string(K) + "   mean 12.5   min 3.25   max " +
                               std::to_string(20 + K) + ".75   span " + std::to_string(K * 3) + " s");
    }
    auto* Page = R->Bands()->GetBand(6)->AddPrintable<TRpSysData>();
    Page->SetText("Page ");
    Page->SetData(rpsPageNumber);
    return R;
}

void BM_TrendReportPages(benchmark::State& State)
{
    EnsureApplication();
    std::unique_ptr<TRpReport> R = TrendReport(999);
    int Pages = 0;
    for (auto _ : State) {
        int Served = 0;
        R->OnNeedData = [&Served](TObject*, bool& More) { More = ++Served <= 1; };
        R->Prepare();
        Pages = R->RunPrinter()->PageCount();
    }
    State.counters["pages"] = Pages;
    State.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(Pages) * State.iterations(),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TrendReportPages)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
