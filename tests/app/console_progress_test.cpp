// kvr's console progress: what standard error and a log get while a run reports its progress.
#include "app/console_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kvr {
namespace {

using namespace std::chrono_literals;

// A clock the test moves.
struct TestClock {
    std::chrono::steady_clock::time_point now{};
    ConsoleProgress::Clock Function() {
        return [this] { return now; };
    }
};

int Lines(const std::string& text, const std::string& part) {
    int count = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) count += line.find(part) != std::string::npos;
    return count;
}

// The captions and bar of an all-pairs run of n pairs, one pair every `step` of the test clock.
void RunPairs(ConsoleProgress& progress, TestClock& clock, int pairs,
              std::chrono::steady_clock::duration step) {
    progress.Step("48 sequences loaded");
    for (int k = 1; k <= pairs; ++k) {
        progress.Step("Aligning 1 - " + std::to_string(k + 1));
        progress.Percent(k * 100 / pairs);
        clock.now += step;
    }
    progress.Step("Completed");
    progress.Percent(0);
    progress.Step("Drawing tree");
    progress.Flush();
}

TEST(ConsoleProgress, ALogGetsEachStepAtOnceAndItsProgressEveryFewSeconds) {
    struct Case {
        bool terminal;
        bool quiet;
        int pairs;
        std::chrono::milliseconds step;
        int errorLines;  // pair lines on standard error (a pipe)
        int logLines;    // and in the log
    };
    // 2,000 pairs of 10 ms: 20 s, so the first pair and one line each 5 s after it.
    const Case cases[] = {
        {false, false, 2000, 10ms, 4, 4},
        {false, true, 2000, 10ms, 0, 4},  // --quiet: none on standard error, all in the log
        {false, false, 10, 1ms, 1, 1},    // a quick run: its first pair only
    };
    for (const Case& c : cases) {
        TestClock clock;
        std::ostringstream err;
        std::ostringstream log;
        ConsoleProgress progress(err, "kvr run", c.quiet, c.terminal, &log, clock.Function());
        RunPairs(progress, clock, c.pairs, c.step);
        progress.Message("All sequences are 100% similar, the analysis connot be perfomed");
        EXPECT_EQ(Lines(err.str(), "Aligning"), c.errorLines) << err.str();
        EXPECT_EQ(Lines(log.str(), "Aligning"), c.logLines) << log.str();
        EXPECT_TRUE(
            log.str().starts_with("kvr run: 48 sequences loaded\nkvr run: Aligning 1 - 2\n"))
            << log.str();
        for (const char* line : {"kvr run: Completed (100%)\n", "kvr run: Drawing tree\n",
                                 "kvr run: All sequences are 100% similar"}) {
            EXPECT_NE(log.str().find(line), std::string::npos) << log.str();
            EXPECT_EQ(err.str().find(line) != std::string::npos,
                      !c.quiet || line[9] == 'A')  // messages pass --quiet
                << err.str();
        }
        // No terminal control reaches a pipe or a log.
        EXPECT_EQ(err.str().find('\r'), std::string::npos);
        EXPECT_EQ(log.str().find('\r'), std::string::npos);
    }
}

TEST(ConsoleProgress, ATerminalRewritesOneProgressLine) {
    TestClock clock;
    std::ostringstream err;
    std::ostringstream log;
    {
        ConsoleProgress progress(err, "kvr run", false, true, &log, clock.Function());
        RunPairs(progress, clock, 2000, 10ms);
    }
    EXPECT_TRUE(err.str().ends_with("\r\033[Kkvr run: Drawing tree\n")) << err.str();
    // The terminal rewrites its line, from the step's first text on; the log beside it still
    // gets a line each 5 s.
    EXPECT_EQ(Lines(err.str(), "Aligning"), 1) << err.str();
    EXPECT_NE(err.str().find("\r\033[Kkvr run: Aligning"), std::string::npos);
    EXPECT_EQ(Lines(log.str(), "Aligning"), 4) << log.str();
}

}  // namespace
}  // namespace kvr
