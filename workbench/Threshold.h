// The "Breath Detect" dialog: the flow (L/min) above which the analyzer
// takes a breath as started.
#pragma once

#include "platform/Forms.h"

#include <cstdint>

class TButton;
class TIcNumSpin;
class TLabel;

class TdlgThreshold : public TForm {
public:
    explicit TdlgThreshold(TComponent* Owner);

    // Shows Threshold; FlowPort and DeviceKind choose what Default offers.
    // True when closed with OK; Threshold() then holds the value chosen.
    bool Execute(int32_t FlowPort, int32_t DeviceKind, float Threshold);
    float Threshold() const { return FThreshold; }

    // 2.0 L/min on the low flow port (1), 0.5 on any other, for the device
    // kinds 0 to 2; other kinds keep the value shown.
    void btnDefaultClick(TObject* Sender);

private:
    int32_t FFlowPort = 0;
    int32_t FDeviceKind = 0;
    float FThreshold = 0;

    TLabel* Label1;
    TIcNumSpin* eThreshold;
    TLabel* Label2;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnDefault;
};

extern TdlgThreshold* dlgThreshold;
