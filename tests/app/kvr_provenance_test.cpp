// How a session's identities were made, the programs themselves: the record kvr run writes, kvr
// info and kvr show --newick read, kvr append's refusal to mix aligners or ambiguity rules
// unasked, and the end of the log.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "io/checksum.h"
#include "io/file_io.h"
#include "kvr_version.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace kvr {
namespace {

using testing::DataFile;
using testing::ProgramResult;
using testing::RunProgram;
using testing::TempFolder;

// An aligner that leaves the pair as it is, and cannot say its version ("cp -version" fails).
const testing::ProgramOptions kCopyAligner = {.environment = {"KVR_MUSCLE=cp {in} {out}"}};

// The "#" lines that follow a session's identities, each without its line end.
std::vector<std::string> RecordLines(const std::string& session) {
    std::vector<std::string> lines;
    for (std::size_t at = session.find("\r\n#"); at != std::string::npos;
         at = session.find("\r\n#", at + 2))
        lines.push_back(session.substr(at + 2, session.find("\r\n", at + 2) - at - 2));
    return lines;
}

// The value of key in kvr info's lines.
std::string InfoValue(const std::string& info, const std::string& key) {
    const auto at = ("\n" + info).find("\n" + key + "\t");
    if (at == std::string::npos) return "no " + key;
    const auto start = at + key.size() + 1;
    return info.substr(start, info.find('\n', start) - start);
}

TEST(KvrProvenance, ARunRecordsHowItMadeEveryIdentity) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto run =
        RunProgram("kvr",
                   {"run", input, "--aligner", "muscle", "--tree", "--pair-timeout", "30",
                    "--session", folder.File("s.kvr"), "--newick", folder.File("t.nwk"), "--quiet"},
                   kCopyAligner);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string session = *ReadWholeFile(folder.File("s.kvr"));
    const std::string tree = *ReadWholeFile(folder.File("t.nwk"));
    ASSERT_TRUE(tree.ends_with(";\n")) << tree;
    const std::vector<std::string> record = RecordLines(session);
    ASSERT_EQ(record.size(), 13u) << session;
    const std::vector<std::string> expected = {
        "#kvr-provenance\t1",
        "#program\tkvr " + std::string(kVersion),
        "#command\trun",
        "#aligner\tmuscle",
        "#aligner-version\tunknown",
        "#aligner-command\tcp {in} {out}",
        "#ambiguous\tcount",
        "#pair-timeout\t30 seconds",
        "#tree-order\tyes",
        "#input\t" + input,
        "#input-sha256\t" + Sha256Hex(*ReadWholeFile(input)),
    };
    EXPECT_EQ(std::vector<std::string>(record.begin(), record.begin() + 11), expected);
    EXPECT_TRUE(
        std::regex_match(record[11], std::regex(R"(#date\t\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")))
        << record[11];
    EXPECT_EQ(record[12], "#tree\t" + tree.substr(0, tree.size() - 1));
    EXPECT_TRUE(session.ends_with(record.back() + "\r\n"));

    // kvr info: the counts, then the record.
    const auto info = RunProgram("kvr", {"info", folder.File("s.kvr"), "--quiet"});
    ASSERT_EQ(info.status, 0) << info.err;
    std::string lines = "sequences\t5\npairs\t10\ntree\tkept\nprovenance\trecorded\n";
    for (std::size_t k = 1; k < 12; ++k)
        lines += record[k].substr(1) + "\n";  // the record's order is the standard one
    EXPECT_EQ(info.out, lines);
    EXPECT_EQ(info.err, "");

    // kvr show passes it on unchanged, and writes the kept tree as the run wrote it.
    const auto show =
        RunProgram("kvr", {"show", folder.File("s.kvr"), "--quiet", "--session",
                           folder.File("again.kvr"), "--newick", folder.File("again.nwk")});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_EQ(ReadWholeFile(folder.File("again.kvr")), session);
    EXPECT_EQ(ReadWholeFile(folder.File("again.nwk")), tree);

    // Without --tree: no tree is kept, and the order says so.
    const auto flat =
        RunProgram("kvr", {"run", input, "--session", folder.File("flat.kvr"), "--quiet"});
    ASSERT_EQ(flat.status, 0) << flat.err;
    const auto flatInfo = RunProgram("kvr", {"info", folder.File("flat.kvr")});
    EXPECT_EQ(InfoValue(flatInfo.out, "tree"), "none");
    EXPECT_EQ(InfoValue(flatInfo.out, "tree-order"), "no");
    EXPECT_EQ(InfoValue(flatInfo.out, "aligner"), "builtin");
    EXPECT_EQ(InfoValue(flatInfo.out, "aligner-version"),
              "builtin (kvr " + std::string(kVersion) + ")");
}

TEST(KvrProvenance, ASessionOfOldIsUnknownAndKeepsNoTree) {
    TempFolder folder;
    const std::string old = folder.Write("old.kvr", "[[[>a\r\nACGT\r\n>b\r\nACGA]]]\r\n0.75\r\n");
    const auto info = RunProgram("kvr", {"info", old});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out,
              "sequences\t2\npairs\t1\ntree\tnone\nprovenance\tunknown\nprogram\tunknown\n"
              "command\tunknown\naligner\tunknown\naligner-version\tunknown\n"
              "aligner-command\tunknown\nambiguous\tunknown\npair-timeout\tunknown\n"
              "tree-order\tunknown\n"
              "input\tunknown\ninput-sha256\tunknown\ndate\tunknown\n");

    // --newick of a session without a tree: refused before any output is written.
    const auto show = RunProgram("kvr", {"show", old, "--quiet", "--newick", folder.File("t.nwk"),
                                         "--scores", folder.File("s.csv")});
    EXPECT_EQ(show.status, 1);
    EXPECT_NE(show.err.find("--newick: " + old + " keeps no tree"), std::string::npos) << show.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("t.nwk")));
    EXPECT_FALSE(std::filesystem::exists(folder.File("s.csv")));

    // A damaged session is refused as kvr show refuses it.
    const auto damaged = RunProgram(
        "kvr", {"info", folder.Write("bad.kvr", "[[[>a\r\nAC\r\n>b\r\nAG]]]\r\n0.5\r\nx\r\n")});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("more lines than identities"), std::string::npos) << damaged.err;
    EXPECT_EQ(damaged.out, "");
}

TEST(KvrProvenance, AppendRefusesToMixAlignersUnasked) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const std::string added = folder.Write("new.fasta", ">d\nACGTACGTAG\n");
    const std::string muscle = folder.File("muscle.kvr");
    ASSERT_EQ(RunProgram("kvr", {"run", input, "--aligner", "muscle", "-q", "--session", muscle},
                         kCopyAligner)
                  .status,
              0);
    const std::string out = folder.File("out.kvr");
    const auto append = [&](const std::string& session, const std::string& aligner,
                            std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"append", session, added,       "--aligner",
                                         aligner,  "-q",    "--session", out};
        args.insert(args.end(), more.begin(), more.end());
        std::filesystem::remove(out);
        return RunProgram("kvr", args, kCopyAligner);
    };

    const ProgramResult refused = append(muscle, "builtin", {"--log", folder.File("a.log")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("kvr append: " + muscle +
                               " was made with the aligner muscle, and this run would align "
                               "its new pairs with builtin"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--mix-aligners"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_TRUE(ReadWholeFile(folder.File("a.log"))->ends_with("\nexit status: 2\n"));

    const auto info = [&] { return RunProgram("kvr", {"info", out, "-q"}).out; };
    ASSERT_EQ(append(muscle, "builtin", {"--mix-aligners"}).status, 0);
    EXPECT_EQ(InfoValue(info(), "aligner"), "mixed: muscle, builtin");
    EXPECT_EQ(InfoValue(info(), "aligner-version"),
              "mixed: unknown, builtin (kvr " + std::string(kVersion) + ")");
    EXPECT_EQ(InfoValue(info(), "command"), "run, append");
    EXPECT_EQ(InfoValue(info(), "input"), input + ", " + added);
    EXPECT_EQ(InfoValue(info(), "sequences"), "6");

    // The session's own aligner needs no leave; a mixed session needs it again for either.
    ASSERT_EQ(append(muscle, "muscle").status, 0);
    EXPECT_EQ(InfoValue(info(), "aligner"), "muscle");
    const std::string mixed = folder.File("mixed.kvr");
    ASSERT_EQ(RunProgram("kvr",
                         {"append", muscle, added, "--aligner", "builtin", "-q", "--mix-aligners",
                          "--session", mixed},
                         kCopyAligner)
                  .status,
              0);
    EXPECT_EQ(append(mixed, "builtin").status, 2);
    EXPECT_EQ(append(mixed, "muscle").status, 2);

    // A session of old names no aligner: nothing to mix with, and its part stays unknown.
    const std::string old =
        folder.Write("old.kvr", "[[[>a\r\nACGTACGTAC\r\n>b\r\nACGTACGTAA]]]\r\n0.9\r\n");
    ASSERT_EQ(append(old, "builtin").status, 0);
    EXPECT_EQ(InfoValue(info(), "aligner"), "mixed: unknown, builtin");
}

TEST(KvrProvenance, AppendRefusesToMixAmbiguityRulesUnasked) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const std::string added = folder.Write("new.fasta", ">d\nACGTNNGTAG\n");
    const std::string skipped = folder.File("skip.kvr");
    ASSERT_EQ(
        RunProgram("kvr", {"run", input, "--ambiguous", "skip", "-q", "--session", skipped}).status,
        0);
    const std::string out = folder.File("out.kvr");
    const auto append = [&](const std::string& session, std::vector<std::string> more) {
        std::vector<std::string> args = {"append", session, added, "-q", "--session", out};
        args.insert(args.end(), more.begin(), more.end());
        std::filesystem::remove(out);
        return RunProgram("kvr", args);
    };
    const auto rule = [&] {
        return InfoValue(RunProgram("kvr", {"info", out, "-q"}).out, "ambiguous");
    };

    const ProgramResult refused = append(skipped, {});  // counts, by default
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "kvr append: " + skipped +
                               " was made with the ambiguity rule skip, and this run would "
                               "compare its new pairs with count: identities of two ambiguity "
                               "rules differ, so the session's would be mixed. Give --ambiguous "
                               "skip to keep to it, or --mix-aligners to mix them knowingly (the "
                               "session's record then says \"mixed\"); nothing was written\n");
    EXPECT_FALSE(std::filesystem::exists(out));

    ASSERT_EQ(append(skipped, {"--ambiguous", "skip"}).status, 0);
    EXPECT_EQ(rule(), "skip");
    ASSERT_EQ(append(skipped, {"--mix-aligners"}).status, 0);
    EXPECT_EQ(rule(), "mixed: skip, count");

    // A session of a kvr that did not record its rule counted: skipping is mixing.
    std::string text = *ReadWholeFile(skipped);
    const auto at = text.find("#ambiguous\tskip\r\n");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, std::string("#ambiguous\tskip\r\n").size());
    const std::string before = folder.Write("before.kvr", text);
    EXPECT_EQ(append(before, {"--ambiguous", "skip"}).status, 2);
    ASSERT_EQ(append(before, {}).status, 0);
    EXPECT_EQ(rule(), "count");
}

TEST(KvrProvenance, TheLogEndsWithTheAlignerTheEndAndTheStatus) {
    TempFolder folder;
    const std::string input = DataFile("kvr_run/families.fasta");
    const auto run = RunProgram("kvr", {"run", input, "-q", "--scores", folder.File("s.csv"),
                                        "--log", folder.File("run.log")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string log = *ReadWholeFile(folder.File("run.log"));
    EXPECT_TRUE(std::regex_search(
        log, std::regex("\\nkvr run: Done\\naligner: builtin, version builtin \\(kvr " +
                        std::regex_replace(std::string(kVersion), std::regex("\\."), "\\.") +
                        "\\)\\nended: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d [+-]\\d{4}\\n"
                        "exit status: 0\\n$")))
        << log;

    // A command that fails says its status, and no aligner when it has none.
    const auto show = RunProgram(
        "kvr", {"show", folder.File("none.kvr"), "-q", "--log", folder.File("show.log")});
    EXPECT_EQ(show.status, 1);
    const std::string shown = *ReadWholeFile(folder.File("show.log"));
    EXPECT_TRUE(shown.ends_with("\nexit status: 1\n")) << shown;
    EXPECT_EQ(shown.find("aligner:"), std::string::npos) << shown;

    // kvr pairs notes the aligner its shard was made with.
    const auto pairs = RunProgram("kvr", {"pairs", input, "--shard", "1/2", "-o",
                                          folder.File("1.tsv"), "--log", folder.File("p.log")});
    ASSERT_EQ(pairs.status, 0) << pairs.err;
    const std::string shard = *ReadWholeFile(folder.File("p.log"));
    EXPECT_NE(shard.find("\naligner: builtin, version builtin"), std::string::npos) << shard;
}

}  // namespace
}  // namespace kvr
