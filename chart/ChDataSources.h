// Series sources: components that load a series from elsewhere, and the
// library's list of the source classes an editor may offer. Also the
// library switches of sample values.
#pragma once

#include "chart/ChEngine.h"
#include "platform/Classes.h"

#include <string>
#include <vector>

// Sample values may be made outside a form designer.
extern bool ChRandomAtRunTime;
// Palette indexes of the two gallery colours.
constexpr int clChGallery1 = 0;
constexpr int clChGallery2 = 3;

// Fills one series (not owned) while it is Active. This base loads nothing;
// descendants read their data in Load.
class TChSeriesSource : public TComponent {
    OZ_CLASS(TChSeriesSource, TComponent);

public:
    explicit TChSeriesSource(TComponent* AOwner);
    ~TChSeriesSource() override;

    bool Active() const { return FActive; }
    // True loads the series (not while read from a form); False clears it
    // (not while the source or the series is being freed).
    virtual void SetActive(bool Value);
    // What the class offers to an editor.
    virtual bool Available(TCustomAxisPanel* Chart) { return true; }
    virtual std::string Description() { return {}; }
    virtual TClass Editor() { return nullptr; }
    virtual bool HasNew() { return false; }
    // Series takes its data from a source of this class.
    virtual bool HasSeries(TChartSeries* ASeries);
    virtual void Close();
    virtual void Load() {}
    virtual void Open() { SetActive(true); }
    // Loads again while Active.
    void Refresh();
    void Loaded() override;

    // The series filled; setting it makes this source its DataSource (nil:
    // the former series lets go of it).
    TChartSeries* Series() const { return FSeries; }
    void SetSeries(TChartSeries* Value);

    static void Publish(TPublisher<TChSeriesSource>& P);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TChartSeries;
    bool FActive = false;
    bool FDestroying = false;
    TChartSeries* FSeries = nullptr;
};

// The registered source classes, in order of registration.
std::vector<TClass>& ChSources();
