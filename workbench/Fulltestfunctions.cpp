#include "workbench/Fulltestfunctions.h"

#include "platform/StdCtrls.h"

TFullTestInfo::~TFullTestInfo()
{
    FValueLabel = nullptr;
    FSelected = false;
}

void TFullTestInfo::SetText(const std::string& Text)
{
    if (FValueLabel)
        FValueLabel->SetCaption(Text);
}
