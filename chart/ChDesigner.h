#pragma once

#include "platform/Classes.h"

// A design-time helper a chart may hold; told when series change.
class TChCustomDesigner : public TObject {
public:
    virtual void Refresh() {}
    virtual void Repaint() {}
};
