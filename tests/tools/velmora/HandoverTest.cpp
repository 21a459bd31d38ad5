#include "tools/velmora/Handover.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace xan::cli;

namespace {

TEST(Handover, OnlyEngineLanguagesAndTheDebugAdapterNeedThePlugIns) {
    const std::pair<std::vector<std::string>, bool> rows[] = {
        {{"a.pas"}, false},           {{"a.vbs"}, false},          {{"--lang", "vb", "a.js"}, false},
        {{"--check", "a.pas"}, false}, {{"--debug", "a.vbs"}, false}, {{"-i"}, false},
        {{"a.js"}, true},             {{"a.py", "--call", "f"}, true}, {{"--debug", "a.lua"}, true},
        {{"--lang", "tcl", "a.pas"}, true}, {{"--dap"}, true},
    };
    for (const auto& [args, needed] : rows)
        EXPECT_EQ(NeedsEnginePlugIns(*ParseCommandLine(args).commandLine), needed) << args.front();
}

TEST(Handover, TheTwinLivesBesideTheRunningProgram) {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(std::filesystem::path(TwinPath("velmora-dynamic")), self.parent_path() / "velmora-dynamic");
}

TEST(Handover, AMissingTwinIsReportedAndTheProcessGoesOn) {
    char name[] = "velmora";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(HandOverTo("/nonexistent/velmora-dynamic", argv),
              "cannot start /nonexistent/velmora-dynamic: No such file or directory");
}

}  // namespace
