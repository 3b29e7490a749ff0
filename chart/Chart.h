// The complete chart control: the axis panel with its titles and feet, the
// walls around the plot and the legend.
#pragma once

#include "chart/ChDragObject.h"
#include "chart/ChEngine.h"
#include "chart/ChLegend.h"
#include "chart/ChMarks.h"
#include "platform/Controls.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomChart;

// ------------------------------------------------------------------ titles


class TChartTitle : public TChCustomShapePosition {
    OZ_CLASS(TChartTitle, TChCustomShapePosition);

public:
    static void Publish(TPublisher<TChartTitle>& P);
    explicit TChartTitle(TCustomChPanel* Panel);
    ~TChartTitle() override;
    // Copies the text and looks; a foot stays a foot and a title a title.
    void Assign(TPersistent* Source) override;

    bool AdjustFrame() const { return FAdjustFrame; }
    void SetAdjustFrame(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStringList* Text() const { return FText.get(); }
    void SetText(TStrings* Value);
    TChartPen* Frame() const { return Pen(); }
    bool OnTop() const { return FOnTop; }

    bool Clicked(int X, int Y) const;
    TRect GetShapeBounds() const { return ShapeBounds; }
    // Lays the title out on the chart rectangle, draws it and takes its
    // height from the rectangle (unless placed by hand).
    void DrawTitle();

protected:
    bool FOnTop = true;

private:
    bool FAdjustFrame = true;
    TAlignment FAlignment = taCenter;
    std::unique_ptr<TStringList> FText;
};

class TChartFootTitle : public TChartTitle {
public:
    explicit TChartFootTitle(TCustomChPanel* Panel);
};

// ------------------------------------------------------------------ walls

class TCustomChartWall : public TChCustomShape {
    OZ_CLASS(TCustomChartWall, TChCustomShape);

public:
    static void Publish(TPublisher<TCustomChartWall>& P);
    explicit TCustomChartWall(TCustomChPanel* Panel);
    void Assign(TPersistent* Source) override;
    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool Value);
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value);
    int Size() const { return FSize; }
    void SetSize(int Value);
    // Colour set at construction; only other colours are stored.
    TColor DefaultColor = clDefault;
    bool IsColorStored() const { return Color() != DefaultColor; }
    void InitColor(TColor Value);
    bool ApplyDark3D() const;
    bool WallHasGradient();
    bool ShouldDraw() const;

private:
    bool FAutoHide = false;
    bool FDark3D = true;
    int FSize = 0;
};

class TChartWall : public TCustomChartWall {
public:
    using TCustomChartWall::TCustomChartWall;
};

class TChartBackWall : public TChartWall {
    OZ_CLASS(TChartBackWall, TChartWall);

public:
    static void Publish(TPublisher<TChartBackWall>& P);
    explicit TChartBackWall(TCustomChPanel* Panel);
};

class TChartRightWall : public TChartWall {
    OZ_CLASS(TChartRightWall, TChartWall);

public:
    static void Publish(TPublisher<TChartRightWall>& P);
    using TChartWall::TChartWall;
};

class TChartWalls : public TPersistent {
public:
    explicit TChartWalls(TCustomChart* Chart);
    ~TChartWalls() override;
    void Assign(TPersistent* Source) override;
    TChartBackWall* Back() const { return FBack.get(); }
    TChartWall* Bottom() const { return FBottom.get(); }
    TChartWall* Left() const { return FLeft.get(); }
    TChartRightWall* Right() const { return FRight.get(); }
    bool Visible() const;
    void SetVisible(bool Value);
    void SetSize(int Value);

private:
    std::unique_ptr<TChartBackWall> FBack;
    std::unique_ptr<TChartWall> FBottom;
    TCustomChart* FChart;
    std::unique_ptr<TChartWall> FLeft;
    std::unique_ptr<TChartRightWall> FRight;
};

// ------------------------------------------------------------------ the chart

using TChartClick = std::function<void(TCustomChart* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickAxis = std::function<void(TCustomChart* Sender, TChartAxis* Axis, TMouseButton Button,
                                           TShiftState Shift, int X, int Y)>;
using TChartClickSeries = std::function<void(TCustomChart* Sender, TChartSeries* Series, int ValueIndex,
                                             TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickTitle = std::function<void(TCustomChart* Sender, TChartTitle* ATitle, TMouseButton Button,
                                            TShiftState Shift, int X, int Y)>;
using TChartAllowScrollEvent = std::function<void(TChartAxis* Sender, double& AMin, double& AMax, bool& AllowScroll)>;
using TOnGetLegendPos = std::function<void(TCustomChart* Sender, int Index, int& X, int& Y, int& XColor)>;
using TOnGetLegendRect = std::function<void(TCustomChart* Sender, TRect& Rect)>;
using TOnGetLegendText =
    std::function<void(TCustomAxisPanel* Sender, TLegendStyle LegendStyle, int Index, std::string& LegendText)>;

// Each animation step of a zoom moves an axis bound this fraction of the way.
extern double AnimatedZoomFactor;
// Keys that must be held for a drag to pan.
extern TShiftState ChScrollKeyShift;
// The wheel scrolls the vertical axes.
extern bool ChUseMouseWheel;

// The scales of one axis as they were before zooming or panning.
struct TAxisSavedScales {
    bool Auto = true;
    bool AutoMin = true;
    bool AutoMax = true;
    double Min = 0;
    double Max = 0;
};
using TAllAxisSavedScales = std::vector<TAxisSavedScales>;

class TCustomChart : public TCustomAxisPanel {
    OZ_CLASS(TCustomChart, TCustomAxisPanel);

public:
    static void Publish(TPublisher<TCustomChart>& P);
    void DefineProperties(TFiler* Filer) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    explicit TCustomChart(TComponent* AOwner);
    ~TCustomChart() override;
    // Copies titles, legend, walls and the axis panel's settings.
    void Assign(TPersistent* Source) override;

    TChartTitle* Title() const { return FTitle.get(); }
    TChartTitle* SubTitle() const { return FSubTitle.get(); }
    TChartFootTitle* Foot() const { return FFoot.get(); }
    TChartFootTitle* SubFoot() const { return FSubFoot.get(); }
    TChartLegend* Legend() const { return FLegend.get(); }
    TChartWalls* Walls() const { return FWalls.get(); }
    // Each copies the settings of the given object into the chart's own.
    void SetTitle(TChartTitle* Value) { FTitle->Assign(Value); }
    void SetSubTitle(TChartTitle* Value) { FSubTitle->Assign(Value); }
    void SetFoot(TChartTitle* Value) { FFoot->Assign(Value); }
    void SetSubFoot(TChartTitle* Value) { FSubFoot->Assign(Value); }
    void SetLegend(TCustomChartLegend* Value) { FLegend->Assign(Value); }
    void SetWalls(TChartWalls* Value) { FWalls->Assign(Value); }
    TChartBackWall* BackWall() const { return FWalls->Back(); }
    TChartWall* BottomWall() const { return FWalls->Bottom(); }
    TChartWall* LeftWall() const { return FWalls->Left(); }
    TChartRightWall* RightWall() const { return FWalls->Right(); }
    void SetBackWall(TChartWall* Value) { FWalls->Back()->Assign(Value); }
    void SetBottomWall(TChartWall* Value) { FWalls->Bottom()->Assign(Value); }
    void SetLeftWall(TChartWall* Value) { FWalls->Left()->Assign(Value); }
    void SetRightWall(TChartWall* Value) { FWalls->Right()->Assign(Value); }
    TChartPen* Frame() const { return FWalls->Back() != nullptr ? FWalls->Back()->Pen() : nullptr; }
    void SetFrame(TChartPen* Value);
    TColor GetBackColor() override;
    void SetBackColor(TColor Value);

    TMouseButton ScrollMouseButton = mbRight;
    bool ScalesRestored = true;
    TAllAxisSavedScales SavedScales;

    // mouse: hit test, zoom and panning
    void CalcClickedPart(const TPoint& P, TChartClickedPart& Part) { Part = CalcNeedClickedPart(P, false); }
    // With OnlyIfEvents, series are tested only when somebody handles their clicks.
    TChartClickedPart CalcNeedClickedPart(const TPoint& P, bool OnlyIfEvents);
    using TCustomAxisPanel::BroadcastMouseEvent;
    // Hands the event to the active tools until one cancels it.
    void BroadcastMouseEvent(TChartMouseEvent Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Moves every vertical axis by 3 % of its span (down: Up false).
    void ScrollVerticalAxes(bool Up);
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
    void DoZoom(double TopMin, double TopMax, double BottomMin, double BottomMax, double LeftMin, double LeftMax,
                double RightMin, double RightMax);
    void ZoomRect(const TRect& Rect);
    // 110 narrows every axis by a tenth of its span at both ends; below 100 widens.
    void ZoomPercent(double Percent);
    // Turns the rubber band into axis ranges and zooms.
    void CalcZoomPoints();
    // Back to the scales before the first zoom or pan.
    void UndoZoom() override;
    void SaveScales(TAllAxisSavedScales& Scales);
    void RestoreScales(TAllAxisSavedScales& Scales);
    int ColorPaletteIndex = 0;

    std::string FormattedLegend(int Index) { return InternalFormattedLegend(FLegend.get(), Index); }
    std::string InternalFormattedLegend(TCustomChartLegend* ALegend, int Index);
    std::string FormattedValueLegend(TChartSeries* ASeries, int ValueIndex) override;
    bool IsFreeSeriesColor(TColor AColor, bool CheckBackground, TChartSeries* ASeries) override;
    bool ActiveSeriesUseAxis() const;
    TChartSeries* GetASeries() const;
    void SeriesUp(TChartSeries* ASeries);
    void SeriesDown(TChartSeries* ASeries);
    void NextPage();
    void PreviousPage();
    // Detaches every series; none is freed.
    void RemoveAllSeries();
    std::string AxisTitleOrName(TChartAxis* Axis) const;

    // the drawing pass
    void CalcWallsRect() override;
    int CalcWallSize(TChartAxis* Axis) override;
    void DrawTitlesAndLegend(bool BeforeSeries) override;
    void DrawWalls() override;
    bool DrawLeftWallFirst();
    bool DrawRightWallAfter();
    void DrawBackWall();
    void DrawLeftWall();
    void DrawRightWall();
    void DrawBottomWall();

    // A series that draws a legend of its own attaches it here while it draws.
    TCustomChartLegend* SeriesOwnLegend = nullptr;

    TChartAllowScrollEvent OnAllowScroll;
    TChartClickAxis OnClickAxis;
    TChartClick OnClickBackground;
    TChartClick OnClickLegend;
    TChartClickSeries OnClickSeries;
    TChartClickTitle OnClickTitle;
    TOnGetLegendPos OnGetLegendPos;
    TOnGetLegendRect OnGetLegendRect;
    TOnGetLegendText OnGetLegendText;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    bool TryZoomOrPanning(TMouseButton Button, TShiftState Shift, int X, int Y);
    void PanningStep(bool Horizontal, int New, int Old, bool& Moved);
    void DrawTitles(bool Custom);
    bool DrawWallFirst(int X);
    void PrepareWallCanvas(TCustomChartWall* Wall);
    void DrawAxisWithoutBackGrid(TChartAxis* Axis);
    void DrawGridsWithoutSideGrid(TChartAxis* Axis);
    std::unique_ptr<TChartFootTitle> FFoot;
    std::unique_ptr<TChartLegend> FLegend;
    std::unique_ptr<TChartFootTitle> FSubFoot;
    std::unique_ptr<TChartTitle> FSubTitle;
    std::unique_ptr<TChartTitle> FTitle;
    std::unique_ptr<TChartWalls> FWalls;
};

// The chart the forms place.
class TChart : public TCustomChart {
    OZ_CLASS(TChart, TCustomChart);

public:
    using TCustomChart::TCustomChart;
};

// Puts the charts, the series kinds of the library (base, fast line, line,
// point, area, bar, pie and their horizontal forms), the base functions and
// tools, the axis, depth axis, axis title and series marks classes in the
// class registry, so that stored chart forms can be read. The library does
// this when the program starts; calling it again changes nothing.
void RegisterChartClasses();
