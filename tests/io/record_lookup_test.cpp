// A record found from what a user types: names as the FASTA file has them (spaces, commas, ">"
// and the loader's other changes), numbers, and clear refusals.
#include "io/record_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "io/fasta.h"

namespace kvr {
namespace {

// The records the loader makes of a file.
RecordTable Loaded(const std::string& file) {
    RecordTable records(static_cast<std::size_t>(std::count(file.begin(), file.end(), '>')));
    int maxNameLen = 0;
    EXPECT_TRUE(ParseFastaRecords(CleanFastaText(file), records, 0, maxNameLen));
    return records;
}

const std::string kFile =
    ">Orchis mascula (ITS), clone 3\nACGT\n"   // 1: spaces, brackets and a comma
    ">AB123.1 Dactylorhiza majalis\nACGA\n"    // 2: an accession and its description
    ">left>right\nACCA\n"                      // 3 and 4: a ">" inside a name starts a record
    ">dup\nAAAA\n>dup\nCCCC\n"                 // 5, 6: the same name twice
    ">17\nGGGG\n"                              // 7: a name that is a number
    ">AB124.1 Dactylorhiza incarnata\nTTTT\n"  // 8
    ">sp-1:a/b\nGAGA\n";                       // 9: "-" removed, ":" and "/" made "_"

struct Found {
    const char* typed;
    int index;  // 0-based
};

TEST(FindRecord, FindsNamesAsTheFileHasThemAndNumbers) {
    const RecordTable records = Loaded(kFile);
    ASSERT_EQ(records.size(), 9u);
    const Found cases[] = {
        {"Orchis mascula (ITS), clone 3", 0},
        {">Orchis mascula (ITS), clone 3", 0},
        {"Orchis_mascula_(ITS),_clone_3", 0},  // as the loaded name shows it
        {">Orchis_mascula__ITS_,_clone_3", 0},
        {"AB123.1 Dactylorhiza majalis", 1},
        {"AB123.1", 1},  // the first words of one name only
        {"left>right", 2},
        {">left>right", 2},
        {"right", 3},
        {"17", 6},  // a name wins over a number
        {"8", 7},
        {"1", 0},
        {"9", 8},
        {"sp-1:a/b", 8},
        {"sp1_a_b", 8},
        {"AB124.1 Dactylorhiza incarnata", 7},
    };
    for (const Found& c : cases) {
        const Result<int> found = FindRecord(records, c.typed);
        ASSERT_TRUE(found) << c.typed << ": " << found.problem().message;
        EXPECT_EQ(found.value(), c.index) << c.typed;
    }
}

struct Refused {
    const char* typed;
    std::vector<std::string> said;  // parts of the message
};

TEST(FindRecord, RefusesWithAClearReason) {
    const RecordTable records = Loaded(kFile);
    const Refused cases[] = {
        {"Orchis masculla", {"no sequence is named 'Orchis masculla'", "1 (>Orchis_mascula_"}},
        {"AB125.1", {"nearest names: 2 (>AB123.1_Dactylorhiza_majalis)", "8 (>AB124.1_"}},
        {"dup", {"'dup' names 2 sequences: 5 (>dup), 6 (>dup); give its number instead"}},
        {"AB12", {"no sequence is named 'AB12'", "2 (>AB123.1", "8 (>AB124.1"}},
        {"10", {"there is no sequence number 10: the file holds 9 sequences"}},
        {"0", {"there is no sequence number 0"}},
        {"zzzzzzzzzzzzzzzz", {"no sequence is named 'zzzzzzzzzzzzzzzz'"}},
        {"  ", {"an empty name names no sequence"}},
    };
    for (const Refused& c : cases) {
        const Result<int> found = FindRecord(records, c.typed);
        ASSERT_FALSE(found) << c.typed;
        for (const std::string& part : c.said)
            EXPECT_NE(found.problem().message.find(part), std::string::npos)
                << c.typed << ": " << found.problem().message << " lacks " << part;
    }
    // Nothing near: no list of unrelated names.
    EXPECT_EQ(FindRecord(records, "zzzzzzzzzzzzzzzz").problem().message.find("nearest"),
              std::string::npos);
}

}  // namespace
}  // namespace kvr
