// The title of an axis: a caption drawn at an angle beside the labels.
//
// TChartAxisTitle's body:
//   ChEngineAxis.cpp      caption and angle
//   ChEngineAxisDraw.cpp  Assign
//   ChartStream.cpp       its stored properties
#pragma once

#include "chart/ChProcs.h"

#include <string>

class TChartAxisTitle : public TChCustomShape {
    OZ_CLASS(TChartAxisTitle, TChCustomShape);

public:
    static void Publish(TPublisher<TChartAxisTitle>& P);
    explicit TChartAxisTitle(TCustomChPanel* Panel) : TChCustomShape(Panel) {}
    void Assign(TPersistent* Source) override;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Angle() const { return FAngle; }
    void SetAngle(int Value);
    // The angle the owning axis gives its title; only other angles are stored.
    int DefaultAngle = 0;

private:
    std::string FCaption;
    int FAngle = 0;
};
