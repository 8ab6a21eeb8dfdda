// The input queue's rules without a port: each row feeds and takes bytes and
// says what the queue must report afterwards.

#include "platform/linux/InputQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::test {
namespace {

using detail::InputQueue;

constexpr std::uint8_t kLf = '\n';

// One step: "+text" offers bytes, "-n" takes n, "c" clears (purge),
// "cap n" sets the capacity, "flow" turns input flow control on, "evt X"
// makes X the event character, "untold" says the device has told no reader
// of the queued line ends.
struct Row {
    const char* name;
    std::size_t capacity;
    std::vector<std::string> steps;
    std::size_t size;
    std::size_t dropped;
    int rx80Crossings;  // counted after every step
    bool holdsBack;
};
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

class InputQueueRules : public ::testing::TestWithParam<Row> {};

TEST_P(InputQueueRules, Hold)
{
    const Row& row = GetParam();
    InputQueue q;
    q.SetEventChar(kLf);
    q.SetCapacity(row.capacity);
    std::size_t dropped = 0;
    int crossings = 0;
    bool readerTold = true;
    for (const std::string& step : row.steps) {
        if (step[0] == '+') {
            for (char c : step.substr(1))
                if (q.Push(static_cast<std::uint8_t>(c)) == InputQueue::Offer::Dropped) ++dropped;
        } else if (step[0] == '-') {
            std::vector<std::uint8_t> out(std::stoul(step.substr(1)));
            q.Take(out.data(), out.size());
        } else if (step == "c") {
            q.Clear();
        } else if (step.rfind("cap ", 0) == 0) {
            q.SetCapacity(std::stoul(step.substr(4)));
        } else if (step == "flow") {
            q.SetInputFlow(true);
        } else if (step.rfind("evt ", 0) == 0) {
            q.SetEventChar(static_cast<std::uint8_t>(step[4]));
        } else if (step == "untold") {
            readerTold = false;
        }
        if (q.TakeRx80Crossing()) ++crossings;
    }
    EXPECT_EQ(q.Size(), row.size);
    EXPECT_EQ(dropped, row.dropped);
    EXPECT_EQ(crossings, row.rx80Crossings);
    EXPECT_EQ(q.HoldsBack(readerTold), row.holdsBack);
    EXPECT_EQ(q.Room(100, readerTold),
              row.holdsBack ? 0u : std::min<std::size_t>(100, q.Size() < q.Capacity() ? q.Capacity() - q.Size() : 100));
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputQueueRules,
    ::testing::Values(Row{"BelowTheMarkNoCrossing", 10, {"+1234567"}, 7, 0, 0, false},
                      Row{"TheMarkCrossesOnce", 10, {"+12345678", "+9"}, 9, 0, 1, false},
                      Row{"FallingBelowReArms", 10, {"+12345678", "-1", "+x"}, 8, 0, 2, false},
                      Row{"AtTheMarkStaysDisarmed", 10, {"+12345678", "+9", "-1"}, 8, 0, 1, false},
                      Row{"ClearReArms", 10, {"+12345678", "c", "+12345678"}, 8, 0, 2, false},
                      Row{"AFullQueueWithoutALineEndDrops", 4, {"+abcdef"}, 4, 2, 1, false},
                      Row{"AFullQueueWithALineEndHoldsBack", 4, {"+ab\nd", "+ef"}, 4, 2, 1, true},
                      Row{"ALineEndNobodyWasToldOfDoesNotHoldBack", 4, {"untold", "+ab\nd", "+ef"}, 4, 2, 1, false},
                      Row{"FlowControlHoldsBackWithoutALineEnd", 4, {"flow", "+abcd"}, 4, 0, 1, true},
                      Row{"FlowControlHoldsBackUntold", 4, {"flow", "untold", "+ab\nd"}, 4, 0, 1, true},
                      Row{"TakingTheLineEndStopsHoldingBack", 4, {"+a\ncd", "-2"}, 2, 0, 1, false},
                      Row{"ANewEventCharIsCountedOverTheQueue", 4, {"+abcd", "evt c"}, 4, 0, 1, true},
                      Row{"ALargerQueueStopsHoldingBackAndReArms", 4, {"+ab\nd", "cap 10", "+x"}, 5, 0, 1, false},
                      Row{"ASmallerQueueCrossesTheMark", 10, {"+ab\nd", "cap 5"}, 4, 0, 1, false},
                      Row{"ASmallerQueueBelowTheContentHoldsBack", 10, {"+ab\nd", "cap 3"}, 4, 0, 1, true},
                      Row{"ZeroKeepsTheCapacity", 4, {"cap 0", "+abcde"}, 4, 1, 1, false},
                      Row{"ClearForgetsLineEnds", 4, {"+ab\nd", "c", "+abcdef"}, 4, 2, 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace platform::test
