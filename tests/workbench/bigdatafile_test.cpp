// A 2 GiB recording in the main window: skips find their marker without
// playing what lies between, and the table export shows its progress, lets
// the program run on and can be cancelled without leaving a file.
#include "tests/workbench/DataFileRig.h"
#include "tests/workbench/MainRig.h"
#include "tests/workbench/RecordingRig.h"

#include "platform/ComCtrls.h"
#include "platform/DialogHook.h"
#include "platform/StdCtrls.h"
#include "platform/Timer.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace datafile;

// Records just past 2 GiB, as a sparse file: a marker, a time and two
// samples at the start and the same at the end, zeros (records of no
// known type) between.
constexpr int64_t Records = (int64_t{1} << 31) / TDataFileRecord::Size + 8;

std::vector<TDataFileRecord> Block(const char* Time, uint16_t Counter)
{
    return {MakeMarkerRecord(0), MakeTextRecord(drtTimeStamp, Time, 0), WaveRecord(Counter, 250),
            WaveRecord(static_cast<uint16_t>(Counter + 1), -100)};
}

// The big file in a folder of its own under $TMPDIR, gone afterwards; the
// main window opens it and exports it, message boxes are kept.
struct BigFileRig : MainRig {
    std::string BigDir;
    std::string Big;
    std::vector<std::string> Messages;
    std::function<bool(const TDialogRequest&, TDialogAnswer&)> OnProgress;
    TDialogAnswerer Old;

    BigFileRig()
    {
        const char* Tmp = std::getenv("TMPDIR");
        std::string Template = std::string(Tmp && *Tmp ? Tmp : "/tmp") + "/ozbig-XXXXXX";
        BigDir = ::mkdtemp(Template.data());
        Big = BigDir + "/big.zrp";
        const int Fd = ::open(Big.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        EXPECT_GE(Fd, 0);
        EXPECT_EQ(::ftruncate(Fd, Records * TDataFileRecord::Size), 0);
        auto Put = [Fd](int64_t At, const std::vector<TDataFileRecord>& List) {
            for (const TDataFileRecord& R : List) {
                uint8_t B[TDataFileRecord::Size];
                R.ToBytes(B);
                EXPECT_EQ(::pwrite(Fd, B, sizeof B, At++ * TDataFileRecord::Size), static_cast<ssize_t>(sizeof B));
            }
        };
        Put(0, Block("10:00:00", 1));
        Put(Records - 4, Block("12:00:00", 3));
        ::close(Fd);

        CreateRecordingDialogs();
        Old = SetDialogAnswerer([this](const TDialogRequest& Rq, TDialogAnswer& An) {
            switch (Rq.Kind) {
            case TDialogKind::OpenFile:
                An.ModalResult = mrOk;
                An.FileName = Big;
                return true;
            case TDialogKind::MessageBox:
                Messages.push_back(Rq.Text);
                An.ModalResult = mrOk;
                return true;
            case TDialogKind::Progress:
                return OnProgress && OnProgress(Rq, An);
            default:
                return false;
            }
        });
        Build();
    }
    ~BigFileRig()
    {
        SetDialogAnswerer(Old);
        std::error_code Ec;
        std::filesystem::remove_all(BigDir, Ec);
    }
    TAction* Action(const char* Name) { return Find<TAction>(Form.get(), Name); }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(BigDir))
            Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }
};

}  // namespace

TEST(BigDataFile, SkipsLandAfterTheNearestMarkerAcrossTwoGigabytes)
{
    BigFileRig R;
    TMainForm& F = *R.Form;
    R.Action("actnOpenFile")->Execute();
    ASSERT_TRUE(Probe(F).PlayingFile());
    Find<TTimer>(&F, "tmrPlayback")->SetEnabled(false);   // moved by hand only
    EXPECT_EQ(Probe(F).PlaybackPosition(), 0);

    struct Step {
        const char* Action;
        int64_t Position;   // the record reached
    };
    const Step Steps[] = {
        {"actnSkipFwd", 1},              // past the first marker
        {"actnSkipFwd", Records - 3},    // across the zeros to the last one
        {"actnSkipFwd", Records},        // no marker left: the end
        {"actnSkipBack", Records - 3},   // the last marker again
        {"actnSkipBack", 1},             // the one before it, across the zeros
        {"actnSkipBack", 0},             // none before it: the start
        {"actnAllForward", Records},
        {"actnSkipBack", Records - 3},
    };
    for (const Step& S : Steps) {
        R.Action(S.Action)->Execute();
        EXPECT_EQ(Probe(F).PlaybackPosition(), S.Position) << S.Action;
    }
    // Playing on from there plays the end's records.
    Find<TTimer>(&F, "tmrPlayback")->OnTimer(nullptr);
    EXPECT_EQ(Probe(F).Event(0), "12:00:00");
    EXPECT_EQ(Probe(F).PlaybackPosition(), Records);
    EXPECT_TRUE(R.Messages.empty());
}

// The whole export: progress in order up to 100 % on the window's bar, the
// main window taking no command meanwhile, and the table of the records at
// both ends.
TEST(BigDataFile, ExportShowsItsProgressAndWritesTheTable)
{
    BigFileRig R;
    TMainForm& F = *R.Form;
    std::vector<int> Seen;
    bool BarFollows = true;
    bool MainDisabled = true;
    R.OnProgress = [&](const TDialogRequest& Rq, TDialogAnswer&) {
        Seen.push_back(std::stoi(Rq.Text));
        auto* Window = dynamic_cast<TComponent*>(Rq.Dialog);
        BarFollows = BarFollows && Rq.Name == "dlgExportProgress" &&
                     Find<TProgressBar>(Window, "pbExport")->Position() == Seen.back() &&
                     Find<TLabel>(Window, "lblPercent")->Caption() == Rq.Text + "%";
        MainDisabled = MainDisabled && !F.Enabled();
        return false;   // only watched
    };
    R.Action("actnExtractSignalFile")->Execute();

    ASSERT_FALSE(Seen.empty());
    EXPECT_TRUE(std::is_sorted(Seen.begin(), Seen.end()));
    EXPECT_EQ(std::adjacent_find(Seen.begin(), Seen.end()), Seen.end());   // told once a percent
    EXPECT_GE(Seen.size(), 50u);
    EXPECT_EQ(Seen.back(), 100);
    EXPECT_TRUE(BarFollows);
    EXPECT_TRUE(MainDisabled);
    EXPECT_TRUE(F.Enabled());
    EXPECT_EQ(R.Messages, std::vector<std::string>{"Signal File Extacted."});
    std::string Table;
    ASSERT_TRUE(ReadWholeFile(R.BigDir + "/big.sig", Table));
    EXPECT_EQ(std::count(Table.begin(), Table.end(), '\n'), 5);
    EXPECT_NE(Table.find("\t10:00:00\r\n-1.00\t"), std::string::npos) << Table;
    EXPECT_NE(Table.find("\t12:00:00\r\n-1.00\t"), std::string::npos) << Table;
    EXPECT_EQ(R.Files(), (std::vector<std::string>{"big.sig", "big.zrp"}));
}

// Cancelled through the hook or by a click on Cancel that arrives as a
// message while the export runs: no table, no temporary file, an older
// table as it was, and no word to the user beyond the overwrite question.
TEST(BigDataFile, ACancelledExportLeavesNoFileAndTheOldTableAlone)
{
    enum class Way { Answer, Click };
    for (const Way How : {Way::Answer, Way::Click}) {
        SCOPED_TRACE(How == Way::Answer ? "answered" : "clicked");
        BigFileRig R;
        {
            std::ofstream(R.BigDir + "/big.par", std::ios::binary) << "old table";
        }
        std::vector<int> Seen;
        bool Queued = false;
        R.OnProgress = [&](const TDialogRequest& Rq, TDialogAnswer& An) {
            Seen.push_back(std::stoi(Rq.Text));
            if (Seen.back() < 10)
                return false;
            if (How == Way::Answer) {
                An.ModalResult = mrCancel;
                return true;
            }
            if (!Queued) {   // as the user's click would come in
                Queued = true;
                auto* Cancel = Find<TButton>(dynamic_cast<TComponent*>(Rq.Dialog), "btnCancel");
                QueueToMainThread([Cancel] { Cancel->Click(); });
            }
            return false;
        };
        R.Action("actnExtractParameterFile")->Execute();

        ASSERT_FALSE(Seen.empty());
        EXPECT_LT(Seen.back(), 100);
        EXPECT_EQ(Seen.back(), 10);   // stopped at the step that asked
        EXPECT_TRUE(R.Form->Enabled());
        EXPECT_EQ(R.Messages, std::vector<std::string>{"File \"big.par\" already exists.  Overwrite?"});
        EXPECT_EQ(R.Files(), (std::vector<std::string>{"big.par", "big.zrp"}));
        std::string Old;
        ReadWholeFile(R.BigDir + "/big.par", Old);
        EXPECT_EQ(Old, "old table");
    }
}
