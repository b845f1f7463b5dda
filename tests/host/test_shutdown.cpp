// The real shutdown.exe, with PATH holding nothing but a directory with a
// recording stand-in named systemctl: the machine's own systemctl cannot be
// reached.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/posix/posix_processes.hpp"
#include "host/posix/posix_filesystem.hpp"
#include "support/test_host.hpp"

namespace pavuto::test {
namespace {

namespace fs = std::filesystem;
using host::WindowStyle;
using host::posix::DriveMap;
using host::posix::PosixFileSystem;
using host::posix::PosixProcesses;

class ShutdownTest : public ::testing::Test {
protected:
    TempDir root;
    fs::path standIns = root.path() / "stand-ins";
    fs::path record = root.path() / "systemctl.calls";
    fs::path errors = root.path() / "stderr";
    PosixFileSystem hostFiles{DriveMap{{{'C', "/"}}}};
    PosixProcesses runner{hostFiles, nullptr, PAVUTO_BIN_DIR};

    void SetUp() override {
        fs::create_directories(standIns);
        // Only shell built-ins: with PATH on the stand-ins alone nothing else is found.
        Write(standIns / "systemctl", "#!/bin/sh\necho \"$@\" >> " + record.string() + "\n");
        // Runs a program with its standard error in a file.
        Write(root.path() / "capture", "#!/bin/sh\nexec \"$@\" 2> " + errors.string() + "\n");
        const std::string path = "PATH=" + standIns.string();
        ASSERT_EQ(host::posix::FindOnPath("systemctl", standIns.string()), (standIns / "systemctl").string())
            << "the stand-in is what PATH resolves";
        runner.SetEnvironment({path});
    }

    static void Write(const fs::path& p, const std::string& body) {
        std::ofstream(p, std::ios::binary) << body;
        fs::permissions(p, fs::perms::owner_all);
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    int Run(std::vector<std::string> arguments) {
        std::string program = std::string(PAVUTO_BIN_DIR) + "/shutdown.exe";
        arguments.insert(arguments.begin(), {(root.path() / "capture").string(), program});
        runner.Run({arguments[0], arguments, root.path().string()}, WindowStyle::Hidden, true);
        return runner.LastExitStatus();
    }
};

TEST_F(ShutdownTest, TheSwitchesBecomePowerOffAndHibernate) {
    EXPECT_EQ(Run({"/s"}), 0);
    EXPECT_EQ(Run({"-s"}), 0);
    EXPECT_EQ(Run({"/h"}), 0);
    EXPECT_EQ(Run({"-h"}), 0);
    EXPECT_EQ(Run({"/S"}), 0);
    EXPECT_EQ(Read(record), "poweroff\npoweroff\nhibernate\nhibernate\npoweroff\n");
}

TEST_F(ShutdownTest, AnythingElseIsAUsageErrorAndStartsNothing) {
    for (std::vector<std::string> args : {std::vector<std::string>{}, {"/r"}, {"s"}, {"/s", "/t"}, {"--s"}, {""}}) {
        EXPECT_EQ(Run(args), 1) << (args.empty() ? "(none)" : args[0]);
        EXPECT_NE(Read(errors).find("Aufruf: shutdown.exe"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(record));
}

TEST_F(ShutdownTest, WithoutSystemctlOnPathItFails) {
    fs::create_directories(root.path() / "leer");
    runner.SetEnvironment({"PATH=" + (root.path() / "leer").string()});
    EXPECT_EQ(Run({"/s"}), 1);
    EXPECT_NE(Read(errors).find("systemctl"), std::string::npos);
    EXPECT_FALSE(fs::exists(record));
}

}  // namespace
}  // namespace pavuto::test
