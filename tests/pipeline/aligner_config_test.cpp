#include "pipeline/aligner_config.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

#include "pipeline/external_programs.h"
#include "pipeline/run_options.h"
#include "support/environment.h"
#include "support/installed_prefix.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::FakeEnvironment;
using testing::TempFolder;

TEST(AlignerConfig, ConfFileAndEnvironmentOverrideTheBuiltInCommands) {
    TempFolder program;
    program.Write("aligners.conf",
                  "# comment\r\n"
                  "\r\n"
                  "muscle = muscle3.8.31 -in {in} -out {out} -quiet\r\n"
                  "  mafft=mafft --auto {in} > {out}\n"
                  "clustalw =\n"
                  "neighbor = /opt/phylip/neighbor\n");
    const AlignerConfigLoad load = LoadAlignerConfig(
        program.Path(), FakeEnvironment({{"KVR_MAFFT", "  linsi {in} > {out} "}}));

    EXPECT_TRUE(load.problems.empty()) << ::testing::PrintToString(load.problems);
    EXPECT_EQ(load.config.muscle.value, "muscle3.8.31 -in {in} -out {out} -quiet");
    EXPECT_EQ(load.config.muscle.origin, program.File("aligners.conf") + " line 3");
    EXPECT_EQ(load.config.mafft.value, "linsi {in} > {out}");  // the environment wins
    EXPECT_EQ(load.config.mafft.origin, "KVR_MAFFT");
    EXPECT_EQ(load.config.clustalw.value, "clustalw {in} -type=DNA -output=fasta -outfile={out}");
    EXPECT_EQ(load.config.neighbor.value, "/opt/phylip/neighbor");
    EXPECT_EQ(load.config.treeScript, program.File("RunNeighbor.sh"));
}

TEST(AlignerConfig, ProblemsNameTheLineOrVariable) {
    TempFolder program;
    program.Write("aligners.conf",
                  "muscle = muscle -align {in}\n"
                  "muscel = muscle -align {in} -output {out}\n"
                  "just words\n");
    const AlignerConfigLoad load =
        LoadAlignerConfig(program.Path(), FakeEnvironment({{"KVR_CLUSTALW", "clustalw2 {in}"}}));
    const std::string conf = program.File("aligners.conf");
    ASSERT_EQ(load.problems.size(), 4u);
    EXPECT_EQ(load.problems[0], conf +
                                    " line 1: the muscle command must contain {in} and {out} (the "
                                    "pair file and the aligned file): muscle -align {in}");
    EXPECT_EQ(load.problems[1],
              conf + " line 2: unknown name 'muscel' (known: muscle, clustalw, mafft, neighbor)");
    EXPECT_EQ(load.problems[2], conf + " line 3: expected 'name = command', found: just words");
    EXPECT_TRUE(load.problems[3].starts_with("KVR_CLUSTALW: the clustalw command must contain"));
}

TEST(AlignerConfig, ExpandsEveryPlaceholder) {
    EXPECT_EQ(ExpandAlignerCommand("a {in} {out} {in}.log {x}", "3_7.fas", "3_7Aln.fas"),
              "a 3_7.fas 3_7Aln.fas 3_7.fas.log {x}");
}

TEST(ExternalPrograms, TellsWhichProgramACommandStarts) {
    const std::pair<const char*, const char*> cases[] = {
        {"muscle -align {in} -output {out}", "muscle"},
        {"  /usr/bin/mafft --auto {in} > {out}", "/usr/bin/mafft"},
        {"'/opt/my aligner/run' {in} {out}", "/opt/my aligner/run"},
        {"OMP_NUM_THREADS=1 muscle -align {in}", "muscle"},
        {"mafft>{out} {in}", "mafft"},
        {"$HOME/bin/muscle {in} {out}", ""},
        // Commands that run another program are looked through, with their options.
        {"exec muscle -align {in} -output {out}", "muscle"},
        {"exec -a m /opt/muscle {in}", "/opt/muscle"},
        {"env -i PATH=/bin OMP_NUM_THREADS=2 muscle {in}", "muscle"},
        {"env -u HOME -C /tmp muscle {in}", "muscle"},
        {"nice -n 10 nohup mafft {in} > {out}", "mafft"},
        {"timeout -s KILL 600 clustalw {in}", "clustalw"},
        {"exec nice timeout 5m muscle {in}", "muscle"},
        {"env -S 'muscle -align' {in}", ""},
        {"exec", ""},
        {"nice -n", ""},
    };
    for (const auto& [command, program] : cases)
        EXPECT_EQ(CommandProgram(command), program) << command;
}

TEST(ExternalPrograms, AMissingProgramIsNamedWithHowToInstallIt) {
    TempFolder program;
    AlignerConfig config = DefaultAlignerConfig(program.Path());
    config.muscle = {"kvr-no-such-aligner -align {in} -output {out}", "KVR_MUSCLE"};
    config.neighbor = {"/nonexistent/neighbor", "KVR_NEIGHBOR"};

    const auto missing = CheckRunPrograms(config, Aligner::Muscle, true);
    ASSERT_EQ(missing.size(), 3u);
    EXPECT_EQ(
        missing[0],
        "The aligner MUSCLE was not found: no program 'kvr-no-such-aligner' on the PATH (command "
        "line 'kvr-no-such-aligner -align {in} -output {out}', from KVR_MUSCLE). Install it with: "
        "sudo apt-get install muscle. If it is installed under another name or in another folder, "
        "give its command line in " +
            program.File("aligners.conf") + " or in KVR_MUSCLE (see docs/aligners.md).");
    EXPECT_NE(missing[1].find("'/nonexistent/neighbor' (from KVR_NEIGHBOR)"), std::string::npos);
    EXPECT_NE(missing[1].find("sudo apt-get install phylip"), std::string::npos);
    EXPECT_EQ(missing[2],
              "The tree script " + program.File("RunNeighbor.sh") +
                  " is missing or not executable. It comes with the program; reinstall it "
                  "or restore the file (see docs/aligners.md).");

    // Without the tree only the aligner matters; the installed programs pass.
    EXPECT_EQ(CheckRunPrograms(config, Aligner::Muscle, false).size(), 1u);
    const AlignerConfig installed = DefaultAlignerConfig(KVR_BIN_DIR);
    for (const AlignerFacts& aligner : kAlignerTable)
        EXPECT_TRUE(CheckRunPrograms(installed, aligner.aligner, true).empty()) << aligner.name;
    EXPECT_FALSE(ResolveNeighbor(installed).empty());
}

TEST(RunOptions, RefusesAnUnknownAligner) {
    RunOptions options;
    EXPECT_TRUE(ValidateRunOptions(options).empty());
    SetAlignerNamed(options, "clustalw2");
    EXPECT_EQ(ValidateRunOptions(options),
              std::vector<std::string>{
                  "unknown aligner 'clustalw2': choose muscle, clustalw, mafft or builtin"});
}

// Installed: the shipped aligners.conf, then the user's own line by line over it; the user's
// tree script replaces the shipped one; messages send the user to their own file.
TEST(AlignerConfig, InstalledProgramReadsTheShippedThenTheUsersFiles) {
    testing::InstalledPrefix installed;
    installed.Write("share/kvr/aligners.conf",
                    "muscle = muscle3.8.31 -in {in} -out {out}\nmafft = mafft {in} > {out}\n");
    const std::string own = installed.ConfigHome() + "/kvr/aligners.conf";

    AlignerConfigLoad load = LoadAlignerConfig(installed.Bin(), installed.Environment());
    EXPECT_TRUE(load.problems.empty()) << ::testing::PrintToString(load.problems);
    EXPECT_EQ(load.config.muscle.value, "muscle3.8.31 -in {in} -out {out}");
    EXPECT_EQ(load.config.muscle.origin, installed.Data() + "/aligners.conf line 1");
    EXPECT_EQ(load.config.confPath, own);
    EXPECT_EQ(load.config.treeScript, installed.Data() + "/RunNeighbor.sh");

    installed.Write("config/kvr/aligners.conf", "mafft = linsi {in} > {out}\nclustalw = x\n");
    installed.Write("config/kvr/RunNeighbor.sh", "#!/bin/sh\n");
    load = LoadAlignerConfig(installed.Bin(), installed.Environment());
    EXPECT_EQ(load.config.muscle.value, "muscle3.8.31 -in {in} -out {out}");
    EXPECT_EQ(load.config.mafft.value, "linsi {in} > {out}");
    EXPECT_EQ(load.config.mafft.origin, own + " line 1");
    EXPECT_EQ(load.config.treeScript, installed.ConfigHome() + "/kvr/RunNeighbor.sh");
    ASSERT_EQ(load.problems.size(), 1u);
    EXPECT_NE(load.problems[0].find(own + " line 2"), std::string::npos) << load.problems[0];
}

TEST(RunOptions, TakeAsManyJobsAsProcessorsAndNoTimeLimitByDefault) {
    const RunOptions defaults;
    EXPECT_EQ(defaults.jobs, DefaultJobs());
    EXPECT_GE(defaults.jobs, 1);
    EXPECT_EQ(defaults.pairTimeoutSeconds, 0.0);

    const std::string jobsProblem = "the number of aligners at once must be from 1 to 256";
    const std::string limitProblem =
        "the time limit for one pair must be a number of seconds, or 0 for none";
    struct Case {
        int jobs;
        double limit;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {1, 0, {}},
        {256, 0.5, {}},
        {0, 0, {jobsProblem}},
        {257, 0, {jobsProblem}},
        {2, -1, {limitProblem}},
        {2, std::numeric_limits<double>::infinity(), {limitProblem}},
        {-3, std::numeric_limits<double>::quiet_NaN(), {jobsProblem, limitProblem}},
    };
    for (const Case& c : cases) {
        RunOptions options;
        options.jobs = c.jobs;
        options.pairTimeoutSeconds = c.limit;
        EXPECT_EQ(ValidateRunOptions(options), c.problems) << c.jobs << " " << c.limit;
    }
}

}  // namespace
}  // namespace kvr
