// Progress bar, page control with tab sheets, tab bar, status bar and tool
// bar with tool buttons.
#pragma once

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPopupMenu;
class TCustomImageList;

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }

private:
    void Apply();
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TPageControl;

// One page of a page control; its tab can be hidden.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    // Position among the pages, -1 without a page control.
    int PageIndex() const;
    // Position among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

// Pages with a row of tabs; the active page fills the area below them.
class TPageControl : public TWinControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // Showing a page by code fires neither OnChanging nor OnChange.
    void SetActivePage(TTabSheet* Value);
    int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
    void SetActivePageIndex(int Value);

    // The user picks a tab: OnChanging may refuse, OnChange follows.
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // The Qt side: the user clicked tab Index.
    void WidgetTabClicked(int Index);

protected:
    void AdjustClientRect(TRect& Rect) const override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void BoundsChanged(bool SizeChanged) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void UpdateTabs();
    int TabBarHeight() const;

    struct TData;
    std::unique_ptr<TData> FData;
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

// A row of tabs without pages (the program binds it to a page control).
// Hidden tabs keep their index.
class TTabControl : public TWinControl {
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;

    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    int TabIndex() const { return FTabIndex; }
    // By code: no OnChanging, no OnChange.
    void SetTabIndex(int Value);
    bool TabVisible(int Index) const;
    void SetTabVisible(int Index, bool Value);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // The Qt side: the user clicked tab Index.
    void WidgetTabClicked(int Index);

private:
    void TabsChanged(TItemStrings::TChange Kind, int Index);

    std::unique_ptr<TItemStrings> FTabs;
    std::vector<bool> FVisible;
    int FTabIndex = -1;
    int FSetting = 0;
};

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* AOwner) : FOwner(AOwner) {}
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    int Index() const;

private:
    TStatusBar* FOwner;
    std::string FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* AOwner) : FOwner(AOwner) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TStatusPanel* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    TStatusPanel* Add();
    void Delete(int Index);
    void Clear();

private:
    friend class TStatusPanel;
    TStatusBar* FOwner;
    std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

// Panels of fixed width from the left, the last one as wide as the others
// are; the bar beyond them stays empty.
class TStatusBar : public TCustomControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    // One panel across the whole bar showing SimpleText.
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    // The area panel Index takes.
    TRect PanelRect(int Index) const;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    std::string FSimpleText;
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar: runs its action (or OnClick); a drop-down button
// opens DropdownMenu from its arrow.
class TToolButton : public TGraphicControl {
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;

    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Pressed look of a check button.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value) { FGrouped = Value; }
    TToolBar* ToolBar() const;

    void Click() override;
    void SetParent(TWinControl* AParent) override;
    // A hidden button leaves its place to the next one.
    void SetVisible(bool Value) override;
    // The button did not fit on its bar and waits in the bar's overflow
    // menu (it is not shown on the bar then).
    bool InOverflow() const { return FInOverflow; }

    // The Qt side: the tool bar's images changed.
    void UpdateButton();

protected:
    friend class TToolBar;
    void SetInOverflow(bool Value);
    void UpdateWidgetVisible() override;
    void TextChanged() override;
    void ActionChange(TBasicAction* Sender) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TToolButtonStyle FStyle = tbsButton;
    TPopupMenu* FDropdownMenu = nullptr;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    bool FInOverflow = false;
};

// Tool buttons side by side, aligned to the top of the form.
class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    int ButtonCount() const;
    TToolButton* Buttons(int Index) const;
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value) { FFlat = Value; }

    // Places the buttons from the left in child order; those past the right
    // edge go to an overflow menu that a chevron at the end opens.
    void ArrangeButtons();
    // The chevron is there: some buttons did not fit.
    bool OverflowShown() const;

protected:
    void ControlsChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void BoundsChanged(bool SizeChanged) override;

private:
    struct TData;
    std::unique_ptr<TData> FData;
    void FillOverflowMenu();
    TCustomImageList* FImages = nullptr;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    bool FShowCaptions = false;
    bool FFlat = true;
    bool FArranging = false;
};
