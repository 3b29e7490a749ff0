// The heading of the report library's forms: a shape, a navy band across
// the top, with the library's pictures on it; the form puts its caption
// (white, 24-pixel bold Arial) over them.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"
#include "report/dialogs/RpPictures.h"

#include <string>

// The band, Bounds on Form, named Name.
TPaintBox* RpHeadingShape(TForm* Form, const std::string& Name, const TRect& Bounds);
// Picture (32 x 32, taken into Images) at Left, Top of Form, named Name.
TPaintBox* RpHeadingPicture(TForm* Form, TImageList* Images, TRpPicture Picture, const std::string& Name, int Left,
                            int Top);
// The caption over the heading.
TLabel* RpHeadingLabel(TForm* Form, const std::string& Name, const std::string& Caption, const TRect& Bounds);
