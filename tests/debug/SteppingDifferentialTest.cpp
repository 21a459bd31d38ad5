// Every end-to-end script of both dialects runs three times: plainly, under a debugger that
// steps into every line from the first one to the end, and with a user breakpoint on every
// line that takes one, continuing at each. The output (messages, reported error positions,
// the error that ends the run) must be the plain run's each time, and the lines the step
// visits must be exactly the lines the breakpoints saw executed. A wrong step, a lost stop or
// a patch that corrupts a fused instruction group shows up here. Each script also runs compiled
// without fusion: the output must be the same as with the fused groups.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/ui/UserInterface.h"
#include "vm/bytecode/Fusion.h"
#include "tests/debug/DebugHost.h"

namespace xan::test {
namespace {

namespace fs = std::filesystem;

// Collects what scripts show; input and questions are declined.
class TCaptureUI : public plat::IUserInterface {
public:
    void ShowMessage(const UString& text) override { Add(text); }
    plat::DlgResult MessageDlg(const UString& text, plat::DlgType, plat::DlgButtons, const UString*) override {
        Add(text);
        return plat::DlgResult::Ok;
    }
    bool InputQuery(const UString&, const UString&, UString&) override { return false; }
    plat::DlgResult ConfirmYesCancel(const UString& text) override {
        Add(text);
        return plat::DlgResult::Cancel;
    }
    void Beep() override { Add(u"<beep>"); }
    void ProcessOneMessage(bool) override {}
    std::uintptr_t ApplicationHandle() override { return 0; }
    void ShowException(const plat::Exception& e) override { Add(e.Message()); }

    void Add(const UString& AText) { Output += AText.ToUtf8() + "\n"; }
    std::string Output;
};

class TInstalledUI {
public:
    explicit TInstalledUI(plat::IUserInterface* AUI) { plat::SetUI(AUI); }
    ~TInstalledUI() { plat::SetUI(nullptr); }
};

enum class TRunMode { Plain, StepIntoEveryLine, BreakOnEveryLine };

struct TRun {
    std::string Output;
    std::vector<TStop> Stops;
    std::set<plat::Integer> Lines() const {
        std::set<plat::Integer> lines;
        for (const TStop& s : Stops) lines.insert(s.Line);
        return lines;
    }
};

std::int32_t LineCount(const UString& ASource) { return LineOf(ASource + UString(u"\n<end>"), "<end>") + 1; }

TRun RunScript(Dialect ADialect, const UString& ASource, TRunMode AMode) {
    TCaptureUI ui;
    TInstalledUI installed(&ui);
    TDebugHost host(ADialect);
    host.vm->OnFormatException = [&ui](TXANVirtMachine*, plat::Integer ALine, plat::Integer AColumn, plat::Exception* E) {
        ui.Output += "position " + std::to_string(ALine) + ":" + std::to_string(AColumn) + " " + E->Message().ToUtf8() + "\n";
    };
    std::vector<plat::Integer> breakable;
    bool first = true;
    host.onStop = [&](const TXANPasStackFramesRef&, const TStop&) {
        if (AMode == TRunMode::BreakOnEveryLine) return rkContinue;
        if (first) {  // from the first line run on, only the step stops
            first = false;
            for (plat::Integer line : breakable) host.vm->RemoveBreakpoint(line);
        }
        return rkStepInto;
    };
    const std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        host.vm->Initialize(ASource);
        if (AMode == TRunMode::Plain) return host.vm->Open();
        for (plat::Integer line = 0; line < LineCount(ASource); ++line)
            if (host.vm->SetBreakpoint(line)) breakable.push_back(line);
        host.vm->Open(&host.debugger);
    });
    if (e) ui.Output += "error: " + e->Message().ToUtf8() + "\n";
    host.vm->Close();
    return {ui.Output, host.stops};
}

struct TScript {
    fs::path Path;
    Dialect Lang;
};

std::ostream& operator<<(std::ostream& os, const TScript& s) { return os << s.Path.string(); }

std::vector<TScript> Scripts() {
    std::vector<TScript> scripts;
    for (const auto& entry : fs::recursive_directory_iterator(VELMORA_SCRIPTS_DIR)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".pas") scripts.push_back({entry.path(), Dialect::Pascal});
        if (ext == ".vbs") scripts.push_back({entry.path(), Dialect::Vb});
    }
    std::sort(scripts.begin(), scripts.end(), [](const TScript& a, const TScript& b) { return a.Path < b.Path; });
    return scripts;
}

UString ReadSource(const fs::path& APath) {
    std::ifstream in(APath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string bytes = text.str();
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    return UString::FromUtf8(bytes);
}

class SteppingDifferentialTest : public ::testing::TestWithParam<TScript> {};

TEST_P(SteppingDifferentialTest, DebuggingChangesNothingAndStepsVisitExactlyTheExecutedLines) {
    const UString source = ReadSource(GetParam().Path);
    const TRun plain = RunScript(GetParam().Lang, source, TRunMode::Plain);
    const TRun stepped = RunScript(GetParam().Lang, source, TRunMode::StepIntoEveryLine);
    const TRun broken = RunScript(GetParam().Lang, source, TRunMode::BreakOnEveryLine);
    EXPECT_EQ(stepped.Output, plain.Output) << "stepping into every line";
    EXPECT_EQ(broken.Output, plain.Output) << "breaking on every line";
    EXPECT_EQ(stepped.Lines(), broken.Lines()) << "lines visited by the step vs lines executed";
    for (std::size_t i = 1; i < stepped.Stops.size(); ++i) EXPECT_EQ(stepped.Stops[i].Kind, bkStep) << i;
}

// Fusion off for the life of one object (it applies to code compiled meanwhile).
class TFusionOff {
public:
    TFusionOff() { XANSetFusionEnabled(false); }
    ~TFusionOff() { XANSetFusionEnabled(true); }
    TFusionOff(const TFusionOff&) = delete;
    TFusionOff& operator=(const TFusionOff&) = delete;
};

TEST_P(SteppingDifferentialTest, FusedInstructionGroupsComputeWhatTheirInstructionsCompute) {
    const UString source = ReadSource(GetParam().Path);
    const TRun fused = RunScript(GetParam().Lang, source, TRunMode::Plain);
    TFusionOff off;
    const TRun plain = RunScript(GetParam().Lang, source, TRunMode::Plain);
    EXPECT_EQ(fused.Output, plain.Output);
}

INSTANTIATE_TEST_SUITE_P(EndToEndScripts, SteppingDifferentialTest, ::testing::ValuesIn(Scripts()),
                         [](const ::testing::TestParamInfo<TScript>& info) {
                             std::string name = fs::relative(info.param.Path, VELMORA_SCRIPTS_DIR).string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace xan::test
