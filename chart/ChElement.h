// The base of everything a chart holds as a component (series and tools):
// active flag, pen and brush, the chart it belongs to, and the writers that
// repaint the chart when a value changes.
//
// TCustomChartElement's body:
//   ChEngineSeries.cpp  properties, repainting, the parent chart
//   ChartStream.cpp     its stored properties
#pragma once

#include "chart/ChCanvas.h"
#include "platform/Classes.h"

#include <memory>
#include <string>

class TCustomAxisPanel;

class TCustomChartElement : public TComponent {
    OZ_CLASS(TCustomChartElement, TComponent);

public:
    static void Publish(TPublisher<TCustomChartElement>& P);
    explicit TCustomChartElement(TComponent* AOwner);
    ~TCustomChartElement() override;
    void Assign(TPersistent* Source) override;

    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
    TChartPen* Pen() const { return FPen.get(); }
    virtual void SetPen(TChartPen* Value) { FPen->Assign(Value); }
    TCustomAxisPanel* ParentChart() const { return FParent; }
    virtual void SetParentChart(TCustomAxisPanel* Value) { FParent = Value; }

    virtual void CanvasChanged(TObject* Sender) { Repaint(); }
    virtual std::string GetEditorClass() { return {}; }
    // Invalidates the chart; nothing is drawn at once.
    void Repaint();
    std::unique_ptr<TChartPen> CreateChartPen();

    // Store a changed value and repaint; an equal value changes nothing.
    void SetBooleanProperty(bool& Variable, bool Value);
    void SetColorProperty(TColor& Variable, TColor Value);
    void SetIntegerProperty(int& Variable, int Value);
    void SetDoubleProperty(double& Variable, double Value);
    void SetStringProperty(std::string& Variable, const std::string& Value);

    // Lets a stored form keep elements as children of their chart: anything
    // that is not a chart is ignored.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const;
    // Stored inside its chart's block whenever it has a chart.
    bool HasParent() const override { return FParent != nullptr; }

protected:
    bool FActive = true;
    TCustomAxisPanel* FParent = nullptr;

private:
    std::unique_ptr<TChartBrush> FBrush;
    std::unique_ptr<TChartPen> FPen;
};

// Draws the editor picture of Element's class (ChGetBitmapEditor) on Canvas
// with its top-left at (Left, Top).
void ChDrawBitmapEditor(TCanvas* Canvas, TCustomChartElement* Element, int Left, int Top);
