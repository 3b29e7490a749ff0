// A report for sheets of labels: the detail band is one label, the page's
// columns are the labels across, and the detail band's height plus an
// optional child band (the gap) is the vertical pitch. TRpLabelSetup shows
// that geometry in label terms and writes every change into the page and
// the detail band; it stores nothing of its own.
#pragma once

#include "report/RpReport.h"

class TRpLabelSetup : public TRpUnitBase {
public:
    explicit TRpLabelSetup(TCustomRpReport* Report) : FReport(Report) {}

    // 0 TopMargin, 1 SideMargin, 2 VerticalPitch, 3 LabelWidth,
    // 4 LabelHeight, 5 HorizontalPitch; in the units of the page and band.
    long double GetValue(int Index) const;
    void SetValue(int Index, long double Value);
    // 0 NumberDown (no effect), 1 NumberAcross (the page's columns).
    int32_t GetInteger(int Index) const;
    void SetInteger(int Index, int32_t Value);

    long double TopMargin() const { return GetValue(0); }
    void SetTopMargin(long double Value) { SetValue(0, Value); }
    long double SideMargin() const { return GetValue(1); }
    void SetSideMargin(long double Value) { SetValue(1, Value); }
    long double VerticalPitch() const { return GetValue(2); }
    void SetVerticalPitch(long double Value) { SetValue(2, Value); }
    long double LabelWidth() const { return GetValue(3); }
    void SetLabelWidth(long double Value) { SetValue(3, Value); }
    long double LabelHeight() const { return GetValue(4); }
    void SetLabelHeight(long double Value) { SetValue(4, Value); }
    long double HorizontalPitch() const { return GetValue(5); }
    void SetHorizontalPitch(long double Value) { SetValue(5, Value); }
    int32_t NumberDown() const { return GetInteger(0); }
    int32_t NumberAcross() const { return GetInteger(1); }
    void SetNumberAcross(int32_t Value) { SetInteger(1, Value); }

private:
    TRpCustomBand* Detail() const;
    TCustomRpReport* FReport;
    int32_t FNumberDown = 0;
};

// Labels are printed like the details of a TRpReport: one per record of
// DataSet or of OnNeedData.
class TRpLabelReport : public TCustomRpReport {
public:
    explicit TRpLabelReport(TComponent* AOwner);
    ~TRpLabelReport() override;

    TRpLabelSetup* LabelSetup() const { return FLabelSetup.get(); }
    TDataSet* DataSet() const;
    void SetDataSet(TDataSet* Value);
    void Execute() override;
    void SetControllerBands() override;

private:
    std::unique_ptr<TRpLabelSetup> FLabelSetup;
};
