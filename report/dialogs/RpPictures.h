// The report library's own pictures (report/dialogs/images), as SVG
// documents embedded by the build.
#pragma once

#include <string>

enum TRpPicture { rpicSettings, rpicAboutPages, rpicAboutPrint };

// The picture's SVG text; empty for a value outside the list.
std::string RpPictureSvg(TRpPicture Picture);
