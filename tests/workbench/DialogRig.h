// The workbench's own small dialogs for tests that run the main window
// without the start-up's form creation, and an answerer for modal forms.
#pragma once

#include "platform/DialogHook.h"
#include "platform/Forms.h"
#include "workbench/Entrydialogs.h"
#include "workbench/PlotScale.h"
#include "workbench/StackSetup.h"
#include "workbench/TimeScale.h"
#include "workbench/UnitSelect.h"

#include <functional>
#include <memory>

// Answers every modal form with Result after running Act on it (the form
// as a TComponent, for Find).
class ModalAnswer {
public:
    ModalAnswer(std::function<void(TComponent*)> Act, int Result)
    {
        FOld = SetDialogAnswerer([this, Act, Result](const TDialogRequest& R, TDialogAnswer& A) {
            if (R.Kind != TDialogKind::ModalForm)
                return false;
            ++Runs;
            if (Act)
                Act(dynamic_cast<TComponent*>(R.Dialog));
            A.ModalResult = Result;
            return true;
        });
    }
    ~ModalAnswer() { SetDialogAnswerer(FOld); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    int Runs = 0;

private:
    TDialogAnswerer FOld;
};

// Creates the dialogs and sets their globals; clears them again at the end.
struct WorkbenchDialogs {
    std::unique_ptr<TdlgStackSetup> StackSetup{new TdlgStackSetup(nullptr)};
    std::unique_ptr<TdlgUnitSelect> UnitSelect{new TdlgUnitSelect(nullptr)};
    std::unique_ptr<TdlgTimeScale> TimeScale{new TdlgTimeScale(nullptr)};
    std::unique_ptr<TdlgPlotScale> PlotScale{new TdlgPlotScale(nullptr)};
    std::unique_ptr<TdlgValueEntry> ValueEntry{new TdlgValueEntry(nullptr)};
    std::unique_ptr<TdlgPassword> Password{new TdlgPassword(nullptr)};
    std::unique_ptr<TdlgStringEntry> StringEntry{new TdlgStringEntry(nullptr)};

    WorkbenchDialogs()
    {
        dlgStackSetup = StackSetup.get();
        dlgUnitSelect = UnitSelect.get();
        dlgTimeScale = TimeScale.get();
        dlgPlotScale = PlotScale.get();
        dlgValueEntry = ValueEntry.get();
        dlgPassword = Password.get();
        dlgStringEntry = StringEntry.get();
    }
    ~WorkbenchDialogs()
    {
        dlgStackSetup = nullptr;
        dlgUnitSelect = nullptr;
        dlgTimeScale = nullptr;
        dlgPlotScale = nullptr;
        dlgValueEntry = nullptr;
        dlgPassword = nullptr;
        dlgStringEntry = nullptr;
    }
};
