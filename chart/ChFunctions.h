// Series functions: a function attached to a series computes that series'
// points from the series that feed it, over periods of a number of points or
// of an X range, or over a window that moves point by point. Concrete
// functions supply Calculate (one period of one source) and CalculateMany
// (one point of several sources).
#pragma once

#include "chart/ChEngine.h"
#include "platform/Classes.h"

#include <string>

enum TFunctionPeriodStyle { psNumPoints, psRange };
enum TFunctionPeriodAlign { paFirst, paCenter, paLast };

class TChFunction : public TComponent {
    OZ_CLASS(TChFunction, TComponent);

public:
    explicit TChFunction(TComponent* AOwner);
    ~TChFunction() override;
    // Copies Period, PeriodStyle and PeriodAlign; other sources are ignored.
    void Assign(TPersistent* Source) override;

    // 0: one result for all points. A negative period raises ChartException
    // and keeps the period; another period recalculates.
    double Period() const { return FPeriod; }
    void SetPeriod(double Value);
    // Stores without checking or recalculating.
    void InternalSetPeriod(double Value) { FPeriod = Value; }
    TFunctionPeriodStyle PeriodStyle() const { return FPeriodStyle; }
    void SetPeriodStyle(TFunctionPeriodStyle Value);
    TFunctionPeriodAlign PeriodAlign() const { return FPeriodAlign; }
    void SetPeriodAlign(TFunctionPeriodAlign Value);

    // The series that receives the results (not owned; it owns the function).
    TChartSeries* ParentSeries() const { return FParentSeries; }
    void SetParentSeries(TChartSeries* Value);

    // Changes between BeginUpdate and EndUpdate recalculate once, at the end.
    void BeginUpdate() { FUpdateSuspended = true; }
    void EndUpdate();
    bool UpdateSuspended() const { return FUpdateSuspended; }
    // Has the parent series reload its points from its sources.
    void ReCalculate();

    // The list of Source the function computes from: the one the parent's
    // mandatory list names as its value source, else Source's mandatory list.
    TChartValueList* ValueList(TChartSeries* Source);
    // Adds (A, B) to the parent series, or (B, A) for a source drawn across.
    void AddFunctionXY(bool SourceIsVertical, double A, double B);

    // the calculation
    virtual void CalculatePeriod(TChartSeries* Source, double Position, int FirstIndex, int LastIndex);
    virtual void CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatoryList);
    virtual void CalculateByPeriod(TChartSeries* Source, TChartValueList* NotMandatoryList);
    virtual void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatoryList);
    virtual std::string GetEditorClass() { return "TChFunctionEditor"; }
    virtual void PrepareForGallery(TCustomAxisPanel* Chart);
    // One result over the points FirstIndex..LastIndex of Source (-1, -1:
    // all of them); 0 here.
    virtual double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) { return 0; }
    // One result over point ValueIndex of every source; 0 here.
    virtual double CalculateMany(const TDataSourcesList& Sources, int ValueIndex) { return 0; }
    // Adds the results computed from Source to the parent series.
    virtual void AddPoints(TChartSeries* Source);
    virtual void Clear() {}
    virtual bool IsValidSource(TChartSeries* Value) { return true; }
    // A function that makes its points without any source series.
    virtual bool NoSourceRequired() { return false; }

    // A stored form keeps a function as a child of its series.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const { return FParentSeries; }
    // Stored inside its series' block whenever it computes one.
    bool HasParent() const override { return FParentSeries != nullptr; }

    static void Publish(TPublisher<TChFunction>& P);

private:
    friend class TChartSeries;
    double FPeriod = 0;
    TFunctionPeriodStyle FPeriodStyle = psNumPoints;
    TFunctionPeriodAlign FPeriodAlign = paCenter;
    TChartSeries* FParentSeries = nullptr;
    bool FUpdateSuspended = false;
};

// One result per source point, over the Period points that end at it.
class TChMovingFunction : public TChFunction {
    OZ_CLASS(TChMovingFunction, TChFunction);

public:
    explicit TChMovingFunction(TComponent* AOwner);
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatoryList) override;

    static void Publish(TPublisher<TChMovingFunction>& P);
};

const TIdentMap& FunctionPeriodStyleIdents();
const TIdentMap& FunctionPeriodAlignIdents();
