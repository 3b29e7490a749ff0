// Fuzz target: arbitrary bytes as a data file, played record by record
// through the playback dispatch (into a fake that records what reached it)
// with the transport's moves in between, and exported as both tables.
// Built with clang and -fsanitize=fuzzer,address,undefined; any crash or
// sanitizer report is a fault.
#include "platform/DialogHook.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "workbench/Filefunctions.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// What a played record reached.
class TFakeWindow : public TPlaybackLink {
public:
    void SetEventLine(int Line, const std::string& Text) override { Check(Line, 5, Text); }
    void SetFileInfoLine(int Line, const std::string& Text) override { Check(Line, 10, Text); }
    void UpdateEvents() override { ++Calls; }
    void UpdateFileInfo() override { ++Calls; }
    bool PlaybackStarted() const override { return true; }
    TDeviceKind PlaybackDeviceKind() const override { return Kind; }
    void SetPlaybackDeviceKind(TDeviceKind Value) override { Kind = Value; }
    void PlayWaveformSample(const TWaveformSample& Sample) override { Sum += Sample.Flow + Sample.Temperature; }
    void PlayParameters(const TParameterStruct& Params) override { Sum += Params.GetValue(parIERatio); }
    void PlayBenchStatus(const uint8_t* Frame) override { Sum += Frame[0] + Frame[29]; }
    void PlayHandheldStatus(const uint8_t* Frame) override { Sum += Frame[0] + Frame[29]; }

    TDeviceKind Kind = dkAnalyzer;
    int Calls = 0;
    float Sum = 0;

private:
    static void Check(int Line, int Lines, const std::string& Text)
    {
        if (Line < 0 || Line >= Lines || Text.size() > 3 * TDataFileRecord::PayloadSize)
            __builtin_trap();
    }
};

// A folder of its own in the temporary folder ($TMPDIR), removed when the
// fuzzer ends.
const std::string& Folder()
{
    static const std::string Dir = [] {
        std::string Template = (std::filesystem::temp_directory_path() / "ozdff-XXXXXX").string();
        if (!::mkdtemp(Template.data()))
            std::abort();
        return Template;
    }();
    // Registered after Dir is made, so it runs before Dir goes.
    static const bool Removed = (std::atexit([] {
                                     std::error_code Ec;
                                     std::filesystem::remove_all(Folder(), Ec);
                                 }),
                                 true);
    (void)Removed;
    return Dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Answering = [] {
        SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& An) {
            An.ModalResult = mrOk;
            return true;
        });
        return true;
    }();
    (void)Answering;

    const std::string Source = Folder() + "/input.zrp";
    if (FILE* F = std::fopen(Source.c_str(), "wb")) {
        if (Size > 0)
            std::fwrite(Data, 1, Size, F);
        std::fclose(F);
    } else {
        return 0;
    }
    const int64_t Whole = static_cast<int64_t>(Size / TDataFileRecord::Size);

    std::string Error;
    std::unique_ptr<TDataFileReader> Reader = TDataFileReader::Open(Source, Error);
    if (!Reader)
        __builtin_trap();
    TFakeWindow Window;
    TDataFileRecord Record;
    int Read = 0;
    while (Reader->ReadRecord(Record)) {
        PlayDataRecord(Record, Window);
        ++Read;
        // Now and then the transport moves, as the user's buttons would;
        // the input's own bytes choose.
        if (Record.Reserved == 0x5A) {
            Reader->SkipBack();
            if (Reader->Position() > Read)
                __builtin_trap();
            Reader->SetPosition(Read);
        }
        if (Reader->Position() < 0 || Reader->Position() > Whole)
            __builtin_trap();
    }
    if (Read != Whole || !Reader->AtEnd() || Reader->Position() != Whole)
        __builtin_trap();
    Reader->SeekEnd();
    Reader->SkipBack();
    Reader->SkipForward();
    if (Reader->Position() != Whole)
        __builtin_trap();
    Reader.reset();

    for (int Kind : {ekSignals, ekParameters}) {
        if (!ExportDataFile(Source, Kind))
            __builtin_trap();
        DeleteFile(ExportFileName(Source, Kind));
    }
    volatile float Keep = Window.Sum;
    (void)Keep;
    return 0;
}
