// The main window's side of the handheld unit: the download dialog and the
// import of a handheld file through the live-data callbacks.
#include "workbench/Main.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "workbench/FileDownload.h"
#include "workbench/Zrmobilefilerecord.h"

void TMainForm::actnDownloadFilesExecute(TObject* Sender)
{
    if (!dlgFileDownload)
        return;
    // The directory of a running download stays as it is.
    if (dlgFileDownload->Downloading()) {
        dlgFileDownload->Show();
        dlgFileDownload->BringToFront();
        return;
    }
    TDeviceCommandLock Lock(*this);
    dlgFileDownload->Execute();
}

bool TMainForm::ImportHandheldFile(const std::string& FileName)
{
    TZRMobSavedRecord Record;
    const TZrmReadResult Result = Record.LoadFromFile(FileName);
    if (Result != zrRead) {
        MessageDlg("The handheld file '" + FileName + "' could not be imported. " + ZrmReadResultText(Result),
                   mtError, TMsgDlgButtons{mbOK});
        return false;
    }

    for (TMonitorPlotInfo& Plot : FMonitorPlots)
        Plot.Clear(true);
    for (TLoopPlotInfo& Loop : FLoopPlots)
        Loop.Clear();
    for (TSignalStats& S : FSignalStats)
        S.Reset();
    for (TSignalStats& S : FParamStats)
        S.Reset();

    // The sample index is the counter: one sweep step per sample.
    for (int k = 0; k < Record.SampleCount(); ++k)
        NewWaveformSample(Record.GetSample(k));
    NewParameters(Record.Parameters());

    // A statistic the handheld did not store (or stored as absent) keeps
    // what the record's samples and last breath gave it (the tidal volume
    // the page shows, the hold times): taken over, its absent minimum and
    // mean would stay in every value that follows. One they gave nothing
    // waits for its next value.
    auto TakeOver = [](TSignalStats& Into, const TSignalStats& Stored) {
        if (Stored.Min() != NoValue || Stored.Max() != NoValue || Stored.Mean() != NoValue)
            Into.Restore(Stored);
    };
    for (int i = 0; i < MaxSignals; ++i)
        TakeOver(FSignalStats[i], Record.SignalStats(i));
    for (int Id = 0; Id < ParameterCount; ++Id)
        TakeOver(FParamStats[Id], Record.ParamStats(Id));

    // The plots rescale when a sweep wraps or a loop comes round, which a
    // record may never do: they are fitted to the record now (a plot scaled
    // by hand stays as it is).
    for (int p = 0; p < 3; ++p)
        AutoScaleMonitorPlot(p);
    AutoScaleFlowVolumeLoop();
    AutoScaleVolumePressureLoop();

    // The current and average labels change every 25th sample; the stored
    // statistics are shown now, on the Full Test page's list as in its
    // detailed view.
    FLabelRefreshCount = 24;
    actnUpdateMonitorSignals->Execute();
    actnUpdateFullTest->Execute();
    return true;
}
