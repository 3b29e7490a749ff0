// A look-out side bar: pages stacked under header buttons; a click on a
// header opens its page, whose controls fill the room between the headers.
#pragma once

#include "platform/Controls.h"

#include <memory>
#include <vector>

class TLookOutBar;

// One page; its Caption is the header text. Put it on the bar with SetParent.
class TLookOutPage : public TWinControl {
public:
    explicit TLookOutPage(TComponent* AOwner);
    TLookOutBar* Bar() const;

protected:
    void TextChanged() override;
};

class TLookOutBar : public TWinControl {
public:
    explicit TLookOutBar(TComponent* AOwner);
    ~TLookOutBar() override;

    int PageCount() const;
    TLookOutPage* Pages(int Index) const;
    TLookOutPage* ActivePage() const { return FActivePage; }
    void SetActivePage(TLookOutPage* Value);
    int HeaderHeight() const;
    // Fired when the user opens another page.
    TNotifyEvent OnChange;

    // The Qt side: header Index was clicked.
    void WidgetHeaderClicked(int Index);
    void UpdateHeaders();

protected:
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void ControlsChanged() override;

private:
    struct TData;
    std::unique_ptr<TData> FData;
    TLookOutPage* FActivePage = nullptr;
};
