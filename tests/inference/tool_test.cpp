// The real TOLVEN_Inference binary on real files, with ONNX Runtime and models made by
// make_models.py: output bytes, messages and exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "kvr_version.h"
#include "run_tool.h"
#include "test_files.h"

namespace tolven {
namespace {

using testing::MeanRow;
using testing::ReadFile;
using testing::RequiredHeader;
using testing::RunTool;
using testing::ToolRun;
using testing::WriteFile;

std::string Model(const std::string& name) {
    return std::string(INFERENCE_MODELS) + "/" + name + ".onnx";
}

// The passthrough model hands back standardised features 0 ("ListCorr(A)1"), 3 ("SimScoreB(A)1")
// and 95 ("dMax(A)3"); their constants are written out here to check the tool's.
std::string PassthroughLine(float listCorr1, float simScoreB1, float dMax3) {
    char line[128];
    std::snprintf(line, sizeof line, "%.8f,%.8f,%.8f\n", (listCorr1 - 93.6483f) / 77.81936f,
                  (simScoreB1 - 0.16522826f) / 0.3313539f, (dMax3 - 0.50759894f) / 0.2143008f);
    return line;
}

std::string PassthroughRow(const std::string& listCorr1, const std::string& simScoreB1,
                           const std::string& dMax3) {
    return MeanRow({{0, listCorr1}, {3, simScoreB1}, {95, dMax3}});
}

class ToolTest : public ::testing::Test {
  protected:
    const std::string& Folder() const { return folder_.Path(); }
    std::string File(const std::string& name) const { return folder_.File(name); }
    ToolRun Run(const std::vector<std::string>& args,
                const std::vector<std::string>& environment = {}) const {
        std::vector<std::string> full = environment;
        full.push_back("LSAN_OPTIONS=print_suppressions=0:suppressions=" LSAN_SUPPRESSIONS);
        return RunTool(folder_.Path(), args, full);
    }

  private:
    testing::TempFolder folder_;
};

TEST_F(ToolTest, OneRowWithDefaultNamesInTheCurrentFolder) {
    WriteFile(File("NN_inputs.txt"),
              RequiredHeader() + "\n" + PassthroughRow("120.5", "1", "0.75"));
    std::filesystem::copy_file(Model("passthrough"), File("TOLVEN_Revise.onnx"));
    const ToolRun run = Run({});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Inference complete: 1 rows -> NN_output.txt\n");
    EXPECT_EQ(ReadFile(File("NN_output.txt")), PassthroughLine(120.5f, 1.0f, 0.75f));
}

TEST_F(ToolTest, OutputLineNBelongsToTheNthAcceptedRow) {
    WriteFile(File("in.txt"), RequiredHeader() + "\r\n" +                    // line 1
                                  PassthroughRow("1", "2", "3") + "\r\n" +   // 2
                                  "1,2,3\r\n" +                              // 3: short
                                  "\r\n" +                                   // 4: blank
                                  MeanRow() + ",extra\r\n" +                 // 5
                                  PassthroughRow("4", "5", "6") + ",\r\n" +  // 6
                                  "7,8,\r\n");                               // 7: short
    const ToolRun run = Run({"in.txt", "out.txt", Model("passthrough"), "ignored"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "Warning: line 3 has fewer columns (3) than header (96), skipping\n"
              "Warning: line 7 has fewer columns (2) than header (96), skipping\n");
    EXPECT_EQ(run.out, "Inference complete: 3 rows -> out.txt\n");
    EXPECT_EQ(
        ReadFile(File("out.txt")),
        PassthroughLine(1, 2, 3) + "0.00000000,0.00000000,0.00000000\n" + PassthroughLine(4, 5, 6));
}

TEST_F(ToolTest, ColumnsArePickedByNameFromAnyOrder) {
    // The same two rows with the columns in model order, and reversed among other columns with
    // a decoy under a name given again later; the dense model reads every column.
    std::string ordered = RequiredHeader() + "\n";
    std::string shuffled = "id,ListCorr(A)1";
    for (std::size_t c = kFeatureCount; c-- > 0;) {
        shuffled += ",note," + std::string(kRequiredColumns[c].name);
    }
    shuffled += "\n";
    for (int r = 0; r < 2; ++r) {
        std::map<std::size_t, std::string> texts;
        for (std::size_t c = 0; c < kFeatureCount; ++c) texts[c] = std::to_string(c * 0.5 + r);
        ordered += MeanRow(texts) + "\n";
        shuffled += std::to_string(r) + ",decoy";
        for (std::size_t c = kFeatureCount; c-- > 0;) shuffled += ",n/a," + texts[c];
        shuffled += "\n";
    }
    WriteFile(File("ordered.txt"), ordered);
    WriteFile(File("shuffled.txt"), shuffled);
    ASSERT_EQ(Run({"ordered.txt", "ordered.out", Model("mlp")}).status, 0);
    const ToolRun dense = Run({"shuffled.txt", "shuffled.out", Model("mlp")});
    EXPECT_EQ(dense.status, 0);
    EXPECT_EQ(dense.err, "");
    const std::string expected = ReadFile(File("ordered.out"));
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 2);
    EXPECT_EQ(ReadFile(File("shuffled.out")), expected);

    EXPECT_EQ(Run({"shuffled.txt", "passed.out", Model("passthrough")}).status, 0);
    EXPECT_EQ(ReadFile(File("passed.out")),
              PassthroughLine(0.0f, 1.5f, 47.5f) + PassthroughLine(1.0f, 2.5f, 48.5f));
}

TEST_F(ToolTest, PathsWithCharactersOutsideAscii) {
    std::filesystem::create_directory(File("données ü"));
    const std::string model = "données ü/modèle €.onnx";
    std::filesystem::copy_file(Model("passthrough"), File(model));
    WriteFile(File("entrées.csv"), RequiredHeader() + "\n" + MeanRow() + "\n");
    const ToolRun run = Run({"entrées.csv", "données ü/résultat.txt", model});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Inference complete: 1 rows -> données ü/résultat.txt\n");
    EXPECT_EQ(ReadFile(File("données ü/résultat.txt")), "0.00000000,0.00000000,0.00000000\n");
}

// Every path under `folder`, relative to it, sorted; hidden files too.
std::vector<std::string> Tree(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        paths.push_back(std::filesystem::relative(entry.path(), folder).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// ONNX Runtime's Linux builds with telemetry start its client when the environment is created: a
// session file with an identifier and a debug log in $TMPDIR, a device identifier and an event
// cache under ~/.cache. The tool writes its output and nothing else. The variables by which the
// library skips telemetry on build machines are set empty (which it ignores), so that this holds
// wherever the test runs.
TEST_F(ToolTest, WritesNothingButItsOutput) {
    testing::TempFolder outside;
    std::vector<std::string> environment = {"ORT_DISABLE_TELEMETRY=", "ORT_RUNNING_UNIT_TESTS="};
    for (const char* name : {"CI", "TF_BUILD", "GITHUB_ACTIONS", "GITLAB_CI", "CIRCLECI", "TRAVIS",
                             "JENKINS_URL", "CODEBUILD_BUILD_ID", "BUILDKITE", "TEAMCITY_VERSION",
                             "APPVEYOR", "BITBUCKET_BUILD_NUMBER"}) {
        environment.push_back(std::string(name) + "=");
    }
    const std::vector<std::string> homes = {"HOME",          "TMPDIR",         "XDG_CACHE_HOME",
                                            "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CONFIG_HOME"};
    for (const std::string& name : homes) {
        std::filesystem::create_directory(outside.File(name));
        environment.push_back(name + "=" + outside.File(name));
    }
    WriteFile(File("in.txt"), RequiredHeader() + "\n" + MeanRow() + "\n");
    std::filesystem::copy_file(Model("passthrough"), File("model.onnx"));

    const ToolRun run = Run({"in.txt", "out.txt", "model.onnx"}, environment);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Tree(Folder()), (std::vector<std::string>{"in.txt", "model.onnx", "out.txt"}));
    std::vector<std::string> untouched = homes;
    std::sort(untouched.begin(), untouched.end());
    EXPECT_EQ(Tree(outside.Path()), untouched);
}

// Every failure: status 1, its message on standard error, nothing on standard output, and the
// output file untouched.
TEST_F(ToolTest, EachFailureIsReportedAndWritesNothing) {
    const std::string goodInput = RequiredHeader() + "\n" + MeanRow() + "\n";
    const std::string absentModel = File("absent.onnx");
    const std::string badModel = File("bad.onnx");
    WriteFile(badModel, "this is not a model\n");
    struct Case {
        std::string label;
        std::string input;  // the text of in.txt
        std::vector<std::string> args;
        std::string err;      // the exact standard error, or
        std::string errPart;  // a part of ONNX Runtime's own message after "Error: "
        std::vector<std::string> environment = {};
    };
    const std::string passthrough = Model("passthrough");
    std::filesystem::copy_file(passthrough, File("m.onnx"));
    const Case cases[] = {
        {"input file missing",
         goodInput,
         {"absent.txt", "out.txt", passthrough},
         "Error: cannot open input file: absent.txt\n",
         ""},
        {"input file empty",
         "",
         {"in.txt", "out.txt", passthrough},
         "Error: input file is empty\n",
         ""},
        {"column missing (before the model is loaded)",
         "x,y\n1,2\n",
         {"in.txt", "out.txt", absentModel},
         "Error: required column not found in CSV: ListCorr(A)1\n",
         ""},
        {"no data rows",
         RequiredHeader() + "\n1,2\n\n",
         {"in.txt", "out.txt", passthrough},
         "Warning: line 2 has fewer columns (2) than header (96), skipping\n"
         "Error: no data rows found in input file\n",
         ""},
        {"not a number",
         goodInput + MeanRow({{3, "n/a"}}) + "\n",
         {"in.txt", "out.txt", passthrough},
         "Error: line 3, column \"SimScoreB(A)1\": \"n/a\" is not a number\n",
         ""},
        {"underflow",
         RequiredHeader() + "\n" + MeanRow({{10, "1e-50"}}) + "\n",
         {"in.txt", "out.txt", passthrough},
         "Error: line 2, column \"PhPrScore(A)2\": \"1e-50\" is outside the single-precision "
         "range\n",
         ""},
        {"output folder missing",
         goodInput,
         {"in.txt", "absent/out.txt", passthrough},
         "Error: cannot open output file: absent/out.txt\n",
         ""},
        {"output over the input",
         goodInput,
         {"in.txt", "./in.txt", passthrough},
         "Error: the output file ./in.txt is the file in.txt, which it would replace\n",
         ""},
        {"output over the model",  // a copy: the test's own model stays out of harm's way
         goodInput,
         {"in.txt", "m.onnx", File("m.onnx")},
         "Error: the output file m.onnx is the file " + File("m.onnx") +
             ", which it would replace\n",
         ""},
        {"model output not floats",
         goodInput,
         {"in.txt", "out.txt", Model("int_output")},
         "Error: model output \"Identity:0\" does not hold floats\n",
         ""},
        {"model output too short",
         goodInput + goodInput.substr(goodInput.find('\n') + 1),
         {"in.txt", "out.txt", Model("short_output")},
         "Error: model output \"Identity:0\" holds 2 values, fewer than 3 for each of 2 rows\n",
         ""},
        {"library without API version 24",
         goodInput,
         {"in.txt", "out.txt", passthrough},
         "Error: ONNX Runtime 1.21.0 does not serve API version 24\n",
         "",
         {"LD_PRELOAD=" OLD_ONNXRUNTIME_LIB, "ASAN_OPTIONS=verify_asan_link_order=0"}},
        {"model missing",
         goodInput,
         {"in.txt", "out.txt", absentModel},
         "",
         "Load model from " + absentModel + " failed"},
        {"model invalid",
         goodInput,
         {"in.txt", "out.txt", badModel},
         "",
         "Load model from " + badModel + " failed"},
        {"no input \"input\"",
         goodInput,
         {"in.txt", "out.txt", Model("wrong_input")},
         "",
         "Invalid input name: input"},
        {"no output \"Identity:0\"",
         goodInput,
         {"in.txt", "out.txt", Model("wrong_output")},
         "",
         "Invalid output name: Identity:0"},
        {"shape refused",
         goodInput,
         {"in.txt", "out.txt", Model("wrong_shape")},
         "",
         "Got invalid dimensions for input: input"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        WriteFile(File("in.txt"), test.input);
        WriteFile(File("out.txt"), "earlier output\n");
        const ToolRun run = Run(test.args, test.environment);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        if (test.errPart.empty()) {
            EXPECT_EQ(run.err, test.err);
        } else {
            EXPECT_EQ(run.err.rfind("Error: ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(test.errPart), std::string::npos) << run.err;
            EXPECT_EQ(run.err.back(), '\n');
        }
        EXPECT_EQ(ReadFile(File("out.txt")), "earlier output\n");
        EXPECT_EQ(ReadFile(File("in.txt")), test.input);
        EXPECT_FALSE(std::filesystem::exists(File("absent/out.txt")));
    }
}

// The help and the version come first, even without a model or ONNX Runtime at work; a feature
// file of such a name is read when given with its folder.
TEST_F(ToolTest, AnswersHelpAndVersionAndReadsSuchNamesAsFiles) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart, err;
    };
    const std::string version = "TOLVEN_Inference " + std::string(kvr::kVersion) + "\n";
    const std::string usage = "Usage: TOLVEN_Inference [FEATURE_FILE [OUTPUT_FILE [MODEL_FILE]]]\n";
    const Case cases[] = {
        {{"--version"}, 0, version, ""},
        {{"--version", "in.txt"}, 0, version, ""},
        {{"--help"}, 0, usage, ""},
        {{"-h", "in.txt", "out.txt"}, 0, usage, ""},
        {{"./--help"}, 1, "", "Error: cannot open input file: ./--help\n"},
        {{"in.txt", "--version"}, 1, "", "Error: cannot open input file: in.txt\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const ToolRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_FALSE(std::filesystem::exists(File("NN_output.txt")));
}

}  // namespace
}  // namespace tolven
