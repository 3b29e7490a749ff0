// The chart engine: value lists, chart elements and series with their data,
// axes with their scale and pixel mapping, the chart's series, axes and tool
// lists, and the axis panel that holds them together. Each class has its own
// header; this one gathers them.
#pragma once

#include "chart/ChAxesList.h"
#include "chart/ChAxis.h"
#include "chart/ChAxisGridPen.h"
#include "chart/ChAxisItems.h"
#include "chart/ChAxisPanel.h"
#include "chart/ChAxisTitle.h"
#include "chart/ChCanvas.h"
#include "chart/ChConst.h"
#include "chart/ChCustomAxes.h"
#include "chart/ChCustomSeries.h"
#include "chart/ChCustomTool.h"
#include "chart/ChCustomToolAxis.h"
#include "chart/ChCustomToolSeries.h"
#include "chart/ChDataSourcesList.h"
#include "chart/ChDepthAxis.h"
#include "chart/ChDesigner.h"
#include "chart/ChElement.h"
#include "chart/ChEngineBase.h"
#include "chart/ChLabelsList.h"
#include "chart/ChProcs.h"
#include "chart/ChSeries.h"
#include "chart/ChSeriesGroups.h"
#include "chart/ChSeriesList.h"
#include "chart/ChToolList.h"
#include "chart/ChValueList.h"
