// A recording when things go wrong for real: the disk fills up (a file-size
// limit in a child process), the program is asked to end (SIGTERM) or is
// killed (SIGKILL) while it records from the simulator.
//
// The child is this test program itself, started again with one test of the
// RecordingChild suite and its instructions in the environment; run on its
// own (without them) a child test does nothing.
#include "tests/workbench/RecordingRig.h"

#include "workbench/Appforms.h"

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* const ChildDirVar = "OZ_RECORD_CHILD_DIR";

std::string Env(const char* Name)
{
    const char* V = std::getenv(Name);
    return V ? V : "";
}

// Starts this program's test Test in a child with Vars added to the
// environment and, when FileSizeLimit > 0, files limited to that size
// (SIGXFSZ ignored, so a write past it fails with an error).
pid_t StartChild(const std::string& Test, const std::vector<std::string>& Vars, rlim_t FileSizeLimit = 0)
{
    std::vector<std::string> Args = {"/proc/self/exe", "--gtest_filter=" + Test};
    std::vector<std::string> Envs(Vars);
    for (char** E = environ; *E; ++E)
        Envs.emplace_back(*E);
    std::vector<char*> Argv, Envp;
    for (auto& A : Args)
        Argv.push_back(A.data());
    Argv.push_back(nullptr);
    for (auto& E : Envs)
        Envp.push_back(E.data());
    Envp.push_back(nullptr);
    const pid_t Pid = ::fork();
    if (Pid == 0) {
        if (FileSizeLimit > 0) {
            const rlimit Limit{FileSizeLimit, FileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &Limit);
            ::signal(SIGXFSZ, SIG_IGN);
        }
        ::execve(Argv[0], Argv.data(), Envp.data());
        ::_exit(127);
    }
    return Pid;
}

// The child's exit status, or -1 when it did not end within Ms.
int WaitChild(pid_t Pid, int Ms)
{
    for (int Waited = 0; Waited < Ms; Waited += 10) {
        int Status = 0;
        if (::waitpid(Pid, &Status, WNOHANG) == Pid)
            return Status;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
    return -1;
}

bool WaitFor(const std::function<bool()>& Pred, int Ms)
{
    return sim::AnalyzerSim::WaitFor(Pred, Ms);
}

int64_t SizeOf(const std::string& Name)
{
    std::error_code Ec;
    const auto S = std::filesystem::file_size(Name, Ec);
    return Ec ? -1 : static_cast<int64_t>(S);
}

// The one ".part" file of a recording in Folder; "" when there is none.
std::string PartFileIn(const std::string& Folder)
{
    const auto Names = PartFilesIn(Folder);
    return Names.size() == 1 ? Names[0] : "";
}

void WriteText(const std::string& Name, const std::string& Text)
{
    std::ofstream(Name) << Text;
}

std::string ReadText(const std::string& Name)
{
    std::string Data;
    ReadWholeFile(Name, Data);
    return Data;
}

std::vector<Bytes> FramesIn(const std::vector<TDataFileRecord>& Records)
{
    std::vector<Bytes> Out;
    for (const auto& R : Records)
        if (IsFrameRecord(R))
            Out.push_back(FrameOf(R));
    return Out;
}

struct TempDir {
    std::string Path;
    TempDir()
    {
        char Template[] = "/tmp/ozrc-XXXXXX";
        Path = ::mkdtemp(Template);
    }
    ~TempDir()
    {
        std::error_code Ec;
        std::filesystem::remove_all(Path, Ec);
    }
};

// The main window of a child, in the folder the parent named.
struct ChildWindow {
    std::string Dir = Env(ChildDirVar);
    TMainFormOptions Options;
    std::unique_ptr<TMainForm> Form;
    UserAnswers User;
    std::string Target() const { return Dir + "/Signals/run.zrp"; }
    void Build()
    {
        Options.ExeName = Dir + "/ozezudo";
        Form = std::make_unique<TMainForm>(nullptr, Options);
        MainForm = Form.get();
        User.SaveName = Target();
    }
    ~ChildWindow()
    {
        MainForm = nullptr;
    }
};

}  // namespace

// ------------------------------------------------------------ the children

TEST(RecordingChild, RecordsUntilTheDiskIsFull)
{
    if (Env(ChildDirVar).empty())
        GTEST_SKIP() << "started by RecordingShutdown";
    ChildWindow C;
    C.Build();
    C.User.MessageAnswer = mrYes;   // replace an older file of that name
    Find<TAction>(C.Form.get(), "actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*C.Form).Recording());
    C.User.Messages.clear();
    Bytes F(25, 0);
    F[0] = ':';
    F[1] = '?';
    F[2] = 25;
    for (int i = 0; i < 100; ++i) {
        F[22] = static_cast<uint8_t>(i);
        C.Form->RecordMessage('W', 25, F.data());
    }
    EXPECT_FALSE(Probe(*C.Form).Recording());
    // Told once, after the frame that failed was handled.
    ProcessUntil([&] { return !C.User.Messages.empty(); }, 3000);
    ProcessFor(100);
    std::string Told = std::to_string(C.User.Messages.size()) + " message(s)\n";
    for (const auto& M : C.User.Messages)
        Told += M + "\n";
    WriteText(C.Dir + "/told", Told);
}

TEST(RecordingChild, RecordsFromTheAnalyzerUntilSignalled)
{
    if (Env(ChildDirVar).empty())
        GTEST_SKIP() << "started by RecordingShutdown";
    ChildWindow C;
    C.Options.PortOverride = std::stoi(Env("OZ_RECORD_CHILD_PORT"));
    C.Build();
    SetApplicationMainForm(C.Form.get());
    ZebbSer->SetBaudIfOpen(38400);
    Find<TAction>(C.Form.get(), "actnSerialModeBoth")->Execute();
    ASSERT_TRUE(ProcessUntil([&] { return Probe(*C.Form).SampleTime() > 5; }, 10000));
    CloseMainFormOnTerminationSignal();
    Find<TAction>(C.Form.get(), "actnSaveFile")->Execute();
    ASSERT_TRUE(Probe(*C.Form).Recording());
    if (Env("OZ_RECORD_CHILD_ANNOTATE") == "1") {
        // The user is typing a note when the program is told to end or dies.
        ASSERT_TRUE(ProcessUntil([&] { return Probe(*C.Form).RecordedCount() >= 40; }, 10000));
        C.User.WhileAnnotating = [&] {
            WriteText(C.Dir + "/recording", "");
            while (!Application->Terminated())
                ProcessFor(5);
        };
        Find<TAction>(C.Form.get(), "actnAnnotate")->Execute();
    } else {
        WriteText(C.Dir + "/recording", "");
        Application->Run();
    }
    WriteText(C.Dir + "/closed", "");
}

// ------------------------------------------------------------ the parents

TEST(RecordingShutdown, AFullDiskStopsTheRecordingOnWholeRecordsAndIsToldOnce)
{
    struct Case {
        const char* Name;
        bool TargetExists;
    };
    for (const Case& K : {Case{"new name", false}, Case{"name of an older file", true}}) {
        SCOPED_TRACE(K.Name);
        TempDir D;
        std::filesystem::create_directories(D.Path + "/Signals");
        const std::string Target = D.Path + "/Signals/run.zrp";
        if (K.TargetExists)
            WriteText(Target, "older recording");
        // Room for 20 records and part of the 21st.
        const pid_t Pid = StartChild("RecordingChild.RecordsUntilTheDiskIsFull",
                                     {std::string(ChildDirVar) + "=" + D.Path}, 20 * 132 + 60);
        const int Status = WaitChild(Pid, 60000);
        ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;

        const std::string Told = ReadText(D.Path + "/told");
        EXPECT_EQ(Told.rfind("1 message(s)\n", 0), 0u) << Told;
        EXPECT_NE(Told.find("File too large"), std::string::npos) << Told;
        const std::string Kept = K.TargetExists ? PartFileIn(D.Path + "/Signals") : Target;
        ASSERT_NE(Kept, "");
        EXPECT_NE(Told.find("\"" + Kept + "\""), std::string::npos) << Told;
        EXPECT_EQ(SizeOf(Kept), 20 * 132);
        const auto Records = ReadDataFile(Kept);
        EXPECT_EQ(TypesOf(Records), "!TJIH" + std::string(15, 'W'));
        if (K.TargetExists) {
            EXPECT_EQ(ReadText(Target), "older recording");
        } else {
            EXPECT_TRUE(PartFilesIn(D.Path + "/Signals").empty());
        }
    }
}

TEST(RecordingShutdown, EveryAcknowledgedFrameIsInTheFileWhenTheProgramEndsOrDies)
{
    struct Case {
        const char* Name;
        int Signal;
        bool Annotating;
    };
    const Case Cases[] = {{"SIGTERM", SIGTERM, false},
                          {"SIGTERM while a note is typed", SIGTERM, true},
                          {"SIGKILL", SIGKILL, false},
                          {"SIGKILL while a note is typed", SIGKILL, true}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        TempDir D;
        sim::AnalyzerSim Sim;
        ASSERT_TRUE(Sim.Start());
        Sim.SetKeepSent(true);
        const std::string Target = D.Path + "/Signals/run.zrp";
        const pid_t Pid = StartChild("RecordingChild.RecordsFromTheAnalyzerUntilSignalled",
                                     {std::string(ChildDirVar) + "=" + D.Path,
                                      "OZ_RECORD_CHILD_PORT=" + std::to_string(DeviceToPortNumber(Sim.SlavePath())),
                                      std::string("OZ_RECORD_CHILD_ANNOTATE=") + (K.Annotating ? "1" : "0")});
        const std::string Signals = D.Path + "/Signals";
        bool Recording = WaitFor([&] { return FileExists(D.Path + "/recording"); }, 20000) &&
                         WaitFor([&] { return SizeOf(PartFileIn(Signals)) >= 40 * 132; }, 10000);
        const int AckedBefore = Sim.AcksReceived();
        if (K.Annotating)   // frames come and are acknowledged while the note is typed
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const int Acked = Sim.AcksReceived();
        if (K.Annotating) {
            EXPECT_GT(Acked, AckedBefore);
        }
        const std::string Part = PartFileIn(Signals);
        ::kill(Pid, K.Signal);
        const int Status = WaitChild(Pid, 30000);
        ASSERT_TRUE(Recording);
        Sim.Stop();

        std::string Kept = Target;
        if (K.Signal == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(Status)) << Status;
            Kept = Part;
            EXPECT_FALSE(FileExists(Target));
        } else {
            EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
            EXPECT_TRUE(FileExists(D.Path + "/closed"));
            EXPECT_TRUE(PartFilesIn(Signals).empty());
        }
        EXPECT_EQ(SizeOf(Kept) % 132, 0);
        const auto Records = ReadDataFile(Kept);
        const std::string Types = TypesOf(Records);
        EXPECT_EQ(Types.substr(0, 5), "!TJIH");
        EXPECT_EQ(Types.find_first_not_of("Wps", 5), std::string::npos) << Types;
        EXPECT_EQ(CompareWithSent(FramesIn(Records), Sim.Sent(), static_cast<size_t>(Acked), true), "");
    }
}
