#include "platform/DialogHook.h"

#include <utility>

namespace {
TDialogAnswerer& answerer()
{
    static TDialogAnswerer a;
    return a;
}
std::vector<TDialogRequest>& answered()
{
    static std::vector<TDialogRequest> v;
    return v;
}
}  // namespace

TDialogAnswerer SetDialogAnswerer(TDialogAnswerer Answerer)
{
    return std::exchange(answerer(), std::move(Answerer));
}

bool AnswerDialog(const TDialogRequest& Request, TDialogAnswer& Answer)
{
    if (!answerer())
        return false;
    // Copy first: an answerer may install another one while it runs.
    TDialogAnswerer a = answerer();
    if (!a(Request, Answer))
        return false;
    answered().push_back(Request);
    return true;
}

const std::vector<TDialogRequest>& AnsweredDialogs()
{
    return answered();
}

void ClearAnsweredDialogs()
{
    answered().clear();
}
