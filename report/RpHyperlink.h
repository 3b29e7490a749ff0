// Links on report pages: an area of a page with a link text. Following a link
// hands it to the desktop ("EXT:" prefix, or no source takes it) or to a
// registered hyperlink source ("INT:" prefix, or a source's name begins it).
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class THyperlink : public TObject {
public:
    THyperlink(const TRect& AArea, const std::string& ALink) : FArea(AArea), FLink(ALink) {}
    const TRect& Area() const { return FArea; }
    const std::string& Link() const { return FLink; }

private:
    TRect FArea;
    std::string FLink;
};

// The links of one page, owned.
using THyperlinkList = std::vector<std::unique_ptr<THyperlink>>;

// Receives the text of a link after the source's name.
using TRpHyperlinkSourceMethod = std::function<void(TObject* Sender, const std::string& Parameters)>;

struct TRpHyperlinkSourceRecord {
    std::string Name;   // the link prefix it serves (case-sensitive)
    TRpHyperlinkSourceMethod Method;
};

// Appends a source; sources are offered a link in the order registered.
void RegisterHyperlinkSource(const std::string& Name, const TRpHyperlinkSourceMethod& Method);
// Removes the first source registered under Name.
void UnregisterHyperlinkSource(const std::string& Name);
const std::vector<TRpHyperlinkSourceRecord>& RpHyperlinkSources();

// Follows Link: "EXT:" (any case) opens the rest with the desktop's open;
// "INT:" (any case) offers the rest to the sources only; any other link is
// offered whole to the sources and opened with the desktop when none takes
// it. A source takes a text that begins with its name and receives the text
// after the name.
void PerformHyperlink(TObject* Sender, const std::string& Link);
