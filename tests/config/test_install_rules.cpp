// The installation's path rules and its two start scripts.
#include "config/install.hpp"

#include <gtest/gtest.h>

namespace pavuto {
namespace {

void ExpectSplit(const Text& typed, const Text& drive, const Text& path) {
    InstallPath got = SplitInstallPath(typed, "C:");
    EXPECT_EQ(got.drive, drive) << typed;
    EXPECT_EQ(got.path, path) << typed;
}

TEST(InstallPathRules, DriveAndPathOfATypedPath) {
    ExpectSplit("D:\\Tools\\Medien", "D:", "\\Tools\\Medien");
    ExpectSplit("E:", "E:", "\\");
    ExpectSplit("Medien\\", "C:", "\\Medien");
    ExpectSplit("\\Medien", "C:", "\\Medien");
    // A final "\" and a missing first one make no second home of the same place.
    ExpectSplit("D:\\Tools\\Medien\\", "D:", "\\Tools\\Medien");
    ExpectSplit("D:Tools", "D:", "\\Tools");
    ExpectSplit("E:\\", "E:", "\\");
}

TEST(InstallPathRules, HomeFilesOfARootHaveOneBackslash) {
    Settings s;
    s.homeDrive = "E:";
    s.homePath = "\\";
    EXPECT_EQ(HomeFile(s, "pavuto.config"), "E:\\pavuto.config");
    s.homePath = "\\Tools\\Medien";
    EXPECT_EQ(HomeFile(s, "pavuto.cmd"), "E:\\Tools\\Medien\\pavuto.cmd");
}

TEST(InstallScripts, StartScriptSetsTheHomeAndStartsTheProgram) {
    Settings s;
    s.homeDrive = "D:";
    s.homePath = "\\Tools\\Medien";
    s.tempDirectory = "C:\\Temp\\";
    EXPECT_EQ(StartScriptLines(s), (std::vector<Text>{"@Echo off", "set pavuto=D:\\Tools\\Medien", "D:",
                                                      "set pavutotmp=C:\\Temp\\", "cd \\Tools\\Medien",
                                                      "pavuto.exe %1 %2 %3 %4"}));
}

TEST(InstallScripts, PathScriptIsWrittenLiterally) {
    EXPECT_EQ(PathScriptLines("pavuto.exe"),
              (std::vector<Text>{"@Echo off",
                                 "Rem    Pavuto.cmd > Programmstartanpassung wenn dieses verzeichniss verschoben wurde",
                                 "echo Echo off>pavuto.cmd", "echo set pavuto=%cd%>>pavuto.cmd",
                                 "echo set pavutotmp=%tmp%>>pavuto.cmd", "echo pavuto.exe %%1 %%2 %%3 %%4>>pavuto.cmd",
                                 "create-lnk pavuto.cmd"}));
}

}  // namespace
}  // namespace pavuto
