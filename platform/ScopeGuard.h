// Scoped restore: undoes a temporary change when the scope ends, whether it
// ends normally or through an exception.
//
//   TValueRollback<bool> keep(FAnswering, true);   // FAnswering back on exit
//   TScopeExit done([&] { EndUpdate(); });         // any restore action
//   TUpdateGuard batch(*Chart);                    // BeginUpdate ... EndUpdate
#pragma once

#include <utility>

// Runs a callable when the scope ends; Release() cancels it.
template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F Action) : FAction(std::move(Action)) {}
    ~TScopeExit()
    {
        if (FArmed)
            FAction();
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    void Release() { FArmed = false; }

private:
    F FAction;
    bool FArmed = true;
};

// Sets a variable for the scope and puts its former value back afterwards.
template <class T>
class TValueRollback {
public:
    TValueRollback(T& Target, T Temporary) : FTarget(Target), FSaved(Target)
    {
        FTarget = std::move(Temporary);
    }
    // Only remembers the value; the scope may change it freely.
    explicit TValueRollback(T& Target) : FTarget(Target), FSaved(Target) {}
    ~TValueRollback() { FTarget = std::move(FSaved); }
    TValueRollback(const TValueRollback&) = delete;
    TValueRollback& operator=(const TValueRollback&) = delete;

    const T& Saved() const { return FSaved; }

private:
    T& FTarget;
    T FSaved;
};

// BeginUpdate now, EndUpdate when the scope ends, for anything with that pair.
template <class T>
class TUpdateGuard {
public:
    explicit TUpdateGuard(T& Target) : FTarget(Target) { FTarget.BeginUpdate(); }
    ~TUpdateGuard() { FTarget.EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    T& FTarget;
};
