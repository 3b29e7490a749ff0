// The tool bar's and the playback controls' pictures, as SVG documents in
// the order of their image indices (workbench/images/README.md lists them).
#pragma once

#include <string>

int ToolImageCount();
// "" for an index outside the list.
std::string ToolImageSvg(int Index);
