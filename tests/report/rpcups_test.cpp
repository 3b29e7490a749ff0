// A report printed to a CUPS queue: a private scheduler on a socket in a
// folder of the test's own, with one raw queue whose backend writes each job
// to a file, read back with pdfinfo.
#include "report/RpPrntr.h"

#include "platform/SysUtils.h"
#include "tests/report/PrinterRig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <grp.h>
#include <pwd.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace prnrig;

namespace {

const char* const Cupsd = "/usr/sbin/cupsd";
const char* const CupsServerBin = "/usr/lib/cups";

void WriteText(const std::string& File, const std::string& Text)
{
    std::ofstream(File) << Text;
}

bool WaitFor(const std::function<bool()>& Done, int Ms)
{
    const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > End)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A scheduler of the test's own, stopped and removed with the object.
class TPrivateCups {
public:
    ~TPrivateCups()
    {
        if (FPid > 0) {
            ::kill(FPid, SIGTERM);
            int Status = 0;
            ::waitpid(FPid, &Status, 0);
        }
        std::error_code Ignored;
        std::filesystem::remove_all(FDir, Ignored);
    }

    // False with the reason when no scheduler can run here.
    bool Start(std::string& Why)
    {
        if (::access(Cupsd, X_OK) != 0 || ::access((std::string(CupsServerBin) + "/daemon/cups-exec").c_str(), X_OK) != 0) {
            Why = "the CUPS scheduler is not installed";
            return false;
        }
        char Template[] = "/tmp/rpcupsXXXXXX";   // short: the socket's path has a limit
        if (!::mkdtemp(Template)) {
            Why = "no temporary folder";
            return false;
        }
        FDir = Template;
        for (const char* Sub : {"/root", "/state", "/cache", "/spool", "/tmp", "/log", "/bin", "/bin/backend"})
            ::mkdir((FDir + Sub).c_str(), 0755);
        ::symlink((std::string(CupsServerBin) + "/daemon").c_str(), (FDir + "/bin/daemon").c_str());
        ::symlink((std::string(CupsServerBin) + "/filter").c_str(), (FDir + "/bin/filter").c_str());
        // The queue's backend: the job's bytes into the file its URI names.
        const std::string Backend = FDir + "/bin/backend/tofile";
        WriteText(Backend, "#!/bin/sh\n"
                           "[ $# -eq 0 ] && exit 0\n"
                           "out=\"${DEVICE_URI#tofile:}\"\n"
                           "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi\n"
                           "mv \"$out.part\" \"$out\"\n");
        ::chmod(Backend.c_str(), 0700);

        std::string Files = "ServerRoot " + FDir + "/root\nStateDir " + FDir + "/state\nCacheDir " + FDir +
                            "/cache\nRequestRoot " + FDir + "/spool\nTempDir " + FDir + "/tmp\nServerBin " + FDir +
                            "/bin\nAccessLog " + FDir + "/log/access_log\nErrorLog " + FDir +
                            "/log/error_log\nPageLog " + FDir + "/log/page_log\nPrintcap " + FDir +
                            "/printcap\nFileDevice Yes\n";
        if (::geteuid() == 0) {
            Files += "SystemGroup root\n";
        } else {
            const passwd* User = ::getpwuid(::geteuid());
            const group* Group = ::getgrgid(::getegid());
            if (!User || !Group) {
                Why = "the user running the tests has no name";
                return false;
            }
            Files += std::string("User ") + User->pw_name + "\nGroup " + Group->gr_name + "\nSystemGroup " +
                     Group->gr_name + "\n";
        }
        WriteText(FDir + "/cups-files.conf", Files);
        Socket = FDir + "/cups.sock";
        WriteText(FDir + "/cupsd.conf", "Listen " + Socket +
                                            "\nLogLevel warn\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                                            "<Location />\nOrder allow,deny\nAllow all\n</Location>\n"
                                            "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");

        FPid = ::fork();
        if (FPid == 0) {
            const int Null = ::open("/dev/null", O_RDWR);
            ::dup2(Null, 1);
            ::dup2(Null, 2);
            ::execl(Cupsd, "cupsd", "-f", "-c", (FDir + "/cupsd.conf").c_str(), "-s",
                    (FDir + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (FPid < 0) {
            Why = "cannot start a process";
            return false;
        }
        int Status = 0;
        const bool Up = WaitFor(
            [&] { return ::access(Socket.c_str(), F_OK) == 0 || ::waitpid(FPid, &Status, WNOHANG) != 0; },
            3000);
        if (!Up || ::access(Socket.c_str(), F_OK) != 0) {
            if (::waitpid(FPid, &Status, WNOHANG) == FPid)
                FPid = 0;
            std::ifstream Log(FDir + "/log/error_log");
            std::string Last, Line;
            while (std::getline(Log, Line))
                Last = Line;
            Why = "the CUPS scheduler does not start here" + (Last.empty() ? std::string() : ": " + Last);
            return false;
        }
        ::setenv("CUPS_SERVER", Socket.c_str(), 1);
        return true;
    }

    // A raw queue writing each job to JobFile.
    bool AddQueue(const std::string& Name, std::string& Why)
    {
        JobFile = FDir + "/job.prn";
        const std::string Command =
            "lpadmin -p " + Name + " -E -v tofile:" + JobFile + " -m raw >" + FDir + "/log/lpadmin 2>&1";
        if (std::system(Command.c_str()) != 0) {
            std::ifstream Log(FDir + "/log/lpadmin");
            std::string Text((std::istreambuf_iterator<char>(Log)), std::istreambuf_iterator<char>());
            Why = "lpadmin cannot add a queue: " + Text;
            return false;
        }
        return true;
    }

    std::string Socket;
    std::string JobFile;

private:
    std::string FDir;
    pid_t FPid = 0;
};

}  // namespace

TEST(RpPrinterCups, ReportPagesReachAQueue)
{
    TPrivateCups Cups;
    std::string Why;
    if (!Cups.Start(Why))
        GTEST_SKIP() << Why;
    ASSERT_TRUE(Cups.AddQueue("RpTest", Why)) << Why;

    EnsureApplication();
    Printer()->Refresh();
    const std::vector<std::string>& Queues = Printer()->Printers();
    const auto It = std::find(Queues.begin(), Queues.end(), "RpTest");
    ASSERT_NE(It, Queues.end()) << "the print system lists the queue";
    Printer()->SetFileName("");
    Printer()->SetPrinterIndex(static_cast<int>(It - Queues.begin()));

    {
        TRpPrinter P(nullptr);
        EXPECT_TRUE(P.PrintersAvailable());
        EXPECT_FALSE(P.Printer()->PrintsToFile());
        EXPECT_EQ(P.Settings()->Device(), "RpTest");
        EXPECT_EQ(P.Settings()->Port(), "");
        EXPECT_TRUE(P.Settings()->Supported(DM_COPIES));
        P.SetDestination(rpdPrinter);
        P.SetTitle("Breath parameters");
        RunPages(P, 2);
    }
    ASSERT_TRUE(WaitFor([&] { return FileExists(Cups.JobFile); }, 5000)) << "the job reached the queue's file";
    EXPECT_EQ(PdfInfo(Cups.JobFile).Pages, 2);
    const auto W = Words(Cups.JobFile, "Page");
    ASSERT_EQ(W.size(), 2u);
    EXPECT_EQ(W[1].first, "Page2");
    // The queue's unprintable margin is taken off: the text stands an inch
    // from the paper's edge.
    EXPECT_NEAR(W[0].second, 72, 1.5);
    Printer()->SetPrinterIndex(-1);
}
