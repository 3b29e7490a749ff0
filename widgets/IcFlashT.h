// The flash list: receivers served by the library's shared heartbeat. A
// receiver is a control (it gets WM_FLASH through TIcFlashReceiver) or a
// plain procedure. Interval 2..6 is a square wave on bit Interval of the tick
// counter, 32 a once-a-second pulse, anything else a period in milliseconds.
#pragma once

#include "platform/SysUtils.h"
#include "widgets/_IcFlash.h"
#include "widgets/_IcInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The message a receiving control gets (the application message base + 100).
constexpr unsigned WM_FLASH = 0x464;

enum TFlashFreq { ff8Hz, ff4Hz, ff2Hz, ff1Hz, ff05Hz };

using TFlashProc = void (*)(int32_t Count, int32_t Value);

// What a control registered with AddControl implements; WM_FLASH reaches it
// as a direct call on the GUI thread.
class TIcFlashReceiver {
public:
    virtual void WMFlash(uint32_t FlashCount, int32_t Value) = 0;

protected:
    ~TIcFlashReceiver() = default;
};

struct TFlashRecord {
    TObject* Control = nullptr;   // a TIcFlashReceiver; empty for a procedure entry
    TFlashProc Proc = nullptr;
    int64_t Interval = 0;
    int64_t NextTick = 0;         // ms of IcTickCount when a period entry is next due
    bool State = false;           // last level given to a square-wave entry
};

class TIcFlashTimer : public TIcFlash {
    OZ_CLASS(TIcFlashTimer, TIcFlash);

public:
    explicit TIcFlashTimer(TComponent* AOwner);
    ~TIcFlashTimer() override;

    // IcInfo, never stored.
    static void Publish(TPublisher<TIcFlashTimer>& P);

    TIcInfo* IcInfo() const { return FIcInfo; }
    // The tick: walks the flash list.
    void flash(TObject* Sender);

private:
    TIcInfo* FIcInfo = nullptr;
};

void AddControl(TObject* Control, int64_t Interval);
void AddProc(TFlashProc Proc, int64_t Interval);
void DelControl(TObject* Control);
void DelProc(TFlashProc Proc);
void DelControlNo(int16_t Index);
void DelProcNo(int16_t Index);
void ClearFlashList();
void EnsureFlashTimer();
void FreeFlashTimer();

std::vector<std::unique_ptr<TFlashRecord>>& dynFlashList();
extern TFlashRecord* AFlashRecord;
extern TIcFlashTimer* IcFlashTimer;
extern TDateTime NextSecPuls;
extern const TDateTime OneSecond;
extern uint32_t FlashCount;
extern int16_t FlashTimerCount;

// Milliseconds of the monotonic clock the flash list and the spin buttons
// time themselves by (64 bits, no wrap).
int64_t IcTickCount();
// Tests drive the clock themselves; an empty function brings MonotonicMs back.
void SetIcTickSource(std::function<int64_t()> Source);
