#include "widgets/IcFlashT.h"

#include "platform/Application.h"
#include "platform/DialogHook.h"

#include <cstdio>

TFlashRecord* AFlashRecord = nullptr;
TIcFlashTimer* IcFlashTimer = nullptr;
const TDateTime OneSecond = 1.0 / SecsPerDay;
TDateTime NextSecPuls = 0.0;
uint32_t FlashCount = 0;
int16_t FlashTimerCount = 0;

namespace {

std::function<int64_t()>& tickSource()
{
    static std::function<int64_t()> source;
    return source;
}

// Frees the timer (joining its thread) and the list when the program ends.
// Made at the first registration, so it goes before the platform's own
// statics that the timer's thread still uses.
struct TFlashFinalization {
    ~TFlashFinalization()
    {
        FreeFlashTimer();
        ClearFlashList();
    }
};

void ensureFinalization()
{
    static TFlashFinalization finalization;
}

void deliver(TFlashRecord& R, int32_t Value)
{
    if (R.Control) {
        if (auto* receiver = dynamic_cast<TIcFlashReceiver*>(R.Control))
            receiver->WMFlash(FlashCount, Value);
    } else if (R.Proc) {
        R.Proc(static_cast<int32_t>(FlashCount), Value);
    }
}

void makeRoom()
{
    auto& list = dynFlashList();
    if (list.capacity() - list.size() < 2)
        list.reserve(list.size() + 10);
}

void deleteAt(size_t Index)
{
    auto& list = dynFlashList();
    if (Index >= list.size())
        return;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(Index));
    AFlashRecord = nullptr;
}

}  // namespace

int64_t IcTickCount()
{
    const auto& source = tickSource();
    return source ? source() : MonotonicMs();
}

void SetIcTickSource(std::function<int64_t()> Source)
{
    tickSource() = std::move(Source);
}

std::vector<std::unique_ptr<TFlashRecord>>& dynFlashList()
{
    static std::vector<std::unique_ptr<TFlashRecord>> list;
    return list;
}

// ------------------------------------------------------------ registration

namespace {

// Re-arms every entry of the receiver; appends one when there is none.
void addEntry(TObject* Control, TFlashProc Proc, int64_t Interval)
{
    auto& list = dynFlashList();
    const int64_t next = IcTickCount() + Interval;
    bool found = false;
    for (auto& r : list) {
        if (Control ? r->Control == Control : (!r->Control && r->Proc == Proc)) {
            r->Interval = Interval;
            r->NextTick = next;
            AFlashRecord = r.get();
            found = true;
        }
    }
    if (!found) {
        auto r = std::make_unique<TFlashRecord>();
        r->Control = Control;
        r->Proc = Control ? nullptr : Proc;
        r->Interval = Interval;
        r->NextTick = next;
        AFlashRecord = r.get();
        makeRoom();
        list.push_back(std::move(r));
    }
    EnsureFlashTimer();
}

}  // namespace

void AddControl(TObject* Control, int64_t Interval)
{
    if (Control)
        addEntry(Control, nullptr, Interval);
}

void AddProc(TFlashProc Proc, int64_t Interval)
{
    if (Proc)
        addEntry(nullptr, Proc, Interval);
}

void DelControl(TObject* Control)
{
    auto& list = dynFlashList();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->Control == Control) {
            deleteAt(i);
            break;
        }
    }
}

void DelProc(TFlashProc Proc)
{
    auto& list = dynFlashList();
    for (size_t i = list.size(); i-- > 0;) {
        if (!list[i]->Control && list[i]->Proc == Proc) {
            deleteAt(i);
            break;
        }
    }
}

void DelControlNo(int16_t Index)
{
    if (Index >= 0)
        deleteAt(static_cast<size_t>(Index));
}

void DelProcNo(int16_t Index)
{
    DelControlNo(Index);
}

void ClearFlashList()
{
    dynFlashList().clear();
    AFlashRecord = nullptr;
}

void EnsureFlashTimer()
{
    if (dynFlashList().empty() || IcFlashTimer)
        return;
    ensureFinalization();
    IcFlashTimer = new TIcFlashTimer(nullptr);
}

void FreeFlashTimer()
{
    TIcFlashTimer* timer = IcFlashTimer;
    IcFlashTimer = nullptr;
    delete timer;
}

// ----------------------------------------------------------- TIcFlashTimer

TIcFlashTimer::TIcFlashTimer(TComponent* AOwner) : TIcFlash(AOwner)
{
    ++FlashTimerCount;
    if (FlashTimerCount == 1) {
        FIcInfo = LoadIcInfo();
        SetOnTimer([this](TObject* Sender) { flash(Sender); });
    } else {
        TDialogRequest request;
        request.Kind = TDialogKind::MessageBox;
        request.Caption = "Error Message";
        request.Text = "Only one TIcFlashTimer per Application!\rRemove it...";
        request.Buttons = 0;   // OK
        TDialogAnswer answer;
        if (!AnswerDialog(request, answer))
            Application->HandleException(Exception(request.Text));
    }
}

TIcFlashTimer::~TIcFlashTimer()
{
    --FlashTimerCount;
}

void TIcFlashTimer::flash(TObject* Sender)
{
    ++FlashCount;   // unsigned: wraps to 0
    const int64_t tick = IcTickCount();
    bool secondPulse = false;
    const TDateTime now = Now();
    if (now >= NextSecPuls) {
        NextSecPuls = now + OneSecond;
        secondPulse = true;
    }
    auto& list = dynFlashList();
    const size_t count = list.size();
    for (size_t i = 0; i < count; ++i) {
        try {
            if (i >= list.size())
                break;
            TFlashRecord& r = *list[i];
            AFlashRecord = &r;
            if (!r.Control && !r.Proc)
                continue;
            const int32_t cls = static_cast<int32_t>(r.Interval);
            if (cls >= 2 && cls <= 6) {
                const bool level = ((FlashCount >> cls) & 1u) != 0;
                if (level != r.State) {
                    r.State = level;
                    deliver(r, level ? 1 : 0);
                }
            } else if (cls == 32) {
                if (secondPulse)
                    deliver(r, 0);
            } else if (tick >= r.NextTick) {
                int64_t lateness = tick - r.NextTick;
                // Up to a second behind is caught up; further behind starts a
                // new rhythm from now.
                if (lateness > 1000 || lateness < 0)
                    lateness = 0;
                r.NextTick = tick + r.Interval - lateness;
                deliver(r, static_cast<int32_t>(lateness));
            }
        } catch (...) {
            // One receiver's failure costs only its own delivery.
        }
    }
}
