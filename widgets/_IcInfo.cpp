#include "widgets/_IcInfo.h"

#include "widgets/_icproc.h"

namespace {

struct TSharedIcInfo {
    TIcInfo Info;
    TSharedIcInfo()
    {
        IcUnitStartUp();
        Info.SetpName(pName);
        Info.SetpVersion(pVersion);
        Info.SetCopyright(pCopyright);
        Info.SetMail(pMail);
        Info.SetWWW(pWWW);
    }
};

}  // namespace

TIcInfo* LoadIcInfo()
{
    static TSharedIcInfo Shared;
    return &Shared.Info;
}
