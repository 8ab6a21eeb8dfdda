// Every input of the fuzz corpora, and every crash the fuzzers ever found
// (kept there as regression-* files), replayed through the same checks in
// the normal build.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../fuzz/FuzzChecks.h"

namespace {

struct Target {
    const char* folder;
    void (*check)(const std::uint8_t*, std::size_t);
};

const Target kTargets[] = {
    {"reply", fuzzcheck::ReplyHandling},
    {"field_commit", fuzzcheck::FieldCommit},
    {"int_conversion", fuzzcheck::IntegerConversion},
    {"port_name", fuzzcheck::PortName},
    {"sim_frames", fuzzcheck::SimFrames},
    {"dcb_termios", fuzzcheck::DcbTermios},
};

class FuzzCorpus : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzCorpus, EveryInputKeepsEveryRule)
{
    const std::filesystem::path folder = std::filesystem::path(FUZZ_CORPUS_DIR) / GetParam().folder;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try {
            GetParam().check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        } catch (const fuzzcheck::FuzzRuleBroken& broken) {
            ADD_FAILURE() << entry.path().filename() << ": " << broken.what();
        }
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "empty corpus " << folder;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.folder); });

}  // namespace
