#include "report/RpHyperlink.h"

#include "platform/Forms.h"
#include "platform/SysUtils.h"

namespace {

std::vector<TRpHyperlinkSourceRecord>& Sources()
{
    static std::vector<TRpHyperlinkSourceRecord> List;
    return List;
}

// True when a source took Text.
bool OfferToSources(TObject* Sender, const std::string& Text)
{
    for (const TRpHyperlinkSourceRecord& R : Sources()) {
        if (Text.compare(0, R.Name.size(), R.Name) != 0)
            continue;
        // The method may register or unregister sources.
        const TRpHyperlinkSourceMethod Method = R.Method;
        const std::string Parameters = Text.substr(R.Name.size());
        if (Method)
            Method(Sender, Parameters);
        return true;
    }
    return false;
}

}  // namespace

void RegisterHyperlinkSource(const std::string& Name, const TRpHyperlinkSourceMethod& Method)
{
    Sources().push_back({Name, Method});
}

void UnregisterHyperlinkSource(const std::string& Name)
{
    auto& List = Sources();
    for (auto It = List.begin(); It != List.end(); ++It) {
        if (It->Name == Name) {
            List.erase(It);
            return;
        }
    }
}

const std::vector<TRpHyperlinkSourceRecord>& RpHyperlinkSources()
{
    return Sources();
}

void PerformHyperlink(TObject* Sender, const std::string& Link)
{
    const std::string Prefix = UpperCase(Link.substr(0, 4));
    if (Prefix == "EXT:") {
        ShellOpen(Link.substr(4));
    } else if (Prefix == "INT:") {
        OfferToSources(Sender, Link.substr(4));
    } else if (!OfferToSources(Sender, Link)) {
        ShellOpen(Link);
    }
}
