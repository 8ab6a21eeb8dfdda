// The device session over a real port and the simulator: one request at a
// time, each ended by its answer, the day's quiet, a refusal, silence or the
// device's going, and nothing but the day's records in its file.

#include "SessionSupport.h"

#include <QDir>

namespace session_test {
namespace {

using exchange::TRequestState;
using exchange::TTransmitResult;

const sim::DateTime kDay7{2026, 12, 7};
const sim::DateTime kDay8{2026, 12, 8};

class Session : public TSessionTest {
protected:
    TSimulator sim;
};

// A second day asked for while the first still arrives (in pieces, or late)
// waits for the first: each file holds its own day, whole, and nothing else.
class SecondDay : public Session, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(SecondDay, WaitsUntilTheFirstHasEnded)
{
    std::vector<std::string> args = {"--records", "40"};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    ASSERT_TRUE(sim.Start(args));
    Connect(sim);
    const std::filesystem::path folder7 = InFolder("");
    ASSERT_EQ(session.ReadDay(26, 12, 7, folder7), TTransmitResult::trSent);
    ASSERT_TRUE(Serve([&] { return session.Request().Tally.StoredLines() >= 2 || GetParam()[0] == "--delay-ms"; }));
    ASSERT_EQ(session.ReadDay(26, 12, 8, folder7), TTransmitResult::trWaiting);
    EXPECT_EQ(session.Request().Day, "07.12.26");

    ASSERT_TRUE(ServeUntilEnded());
    EXPECT_EQ(session.Request().Day, "08.12.26");
    EXPECT_EQ(session.Request().State, TRequestState::rsAnswered);
    EXPECT_EQ(session.Request().Tally.StoredLines(), 40);
    EXPECT_EQ(ReadFileBytes(InFolder("26_12_07.txt")), DayOfRecords(kDay7, 40));
    EXPECT_EQ(ReadFileBytes(InFolder("26_12_08.txt")), DayOfRecords(kDay8, 40));
}

INSTANTIATE_TEST_SUITE_P(Line, SecondDay,
                         testing::Values(std::vector<std::string>{"--split", "--split-pause-ms", "5"},
                                         std::vector<std::string>{"--delay-ms", "600"}),
                         [](const auto& info) { return info.index == 0 ? "InPieces" : "Late"; });

// A refusal is the device's answer: shown and kept as such, never stored,
// counted or taken apart as a value; an "OK" is no value either.
struct TRefusalRow {
    const char* Name;
    std::function<TTransmitResult(exchange::TDeviceSession&, const std::filesystem::path&)> Ask;
    TRequestState State;
    const char* Words;
};

class Answers : public Session, public testing::WithParamInterface<TRefusalRow> {};

TEST_P(Answers, AreTheDevicesWordsNeverData)
{
    ASSERT_TRUE(sim.Start({"--records", "10"}));
    Connect(sim);
    ASSERT_EQ(GetParam().Ask(session, InFolder("")), TTransmitResult::trSent);
    ASSERT_TRUE(ServeUntilEnded());
    const exchange::TRequest& r = session.Request();
    EXPECT_EQ(r.State, GetParam().State);
    EXPECT_EQ(GetParam().State == TRequestState::rsRefused ? r.Refusal : r.Answer, GetParam().Words);
    EXPECT_FALSE(session.View().Panels.has_value());
    EXPECT_EQ(r.Tally.StoredLines() + r.Tally.LostLines(), 0);
    if (GetParam().State == TRequestState::rsRefused) {
        EXPECT_EQ(session.View().Status, std::string("Ger\xE4t meldet: ") + GetParam().Words);
        EXPECT_EQ(session.View().Rueckgabe, session.View().Status);
        session.SetLanguage(exchange::TTextLanguage::tlEnglish);  // said again at once
        EXPECT_EQ(session.View().Status, std::string("Device reports: ") + GetParam().Words);
        EXPECT_EQ(session.View().Rueckgabe, session.View().Status);
    }
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files))
        EXPECT_EQ(ReadFileBytes(InFolder(name.toUtf8().constData())), "") << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Device, Answers,
                         testing::Values(TRefusalRow{"DayThatDoesNotExist",
                                                     [](auto& s, const auto& f) { return s.ReadDay(26, 4, 31, f); },
                                                     TRequestState::rsRefused, "ERR DATE"},
                                         TRefusalRow{"ValueThatDoesNotExist",
                                                     [](auto& s, const auto&) { return s.ReadValue(26, 12, 7, 11); },
                                                     TRequestState::rsRefused, "ERR RECORD"},
                                         TRefusalRow{"ClockSet",
                                                     [](auto& s, const auto&) {
                                                         return s.SetClock({2026, 12, 7, 9, 5, 3});
                                                     },
                                                     TRequestState::rsAnswered, "OK 81"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Session, ValueAnswerFillsThePanels)
{
    ASSERT_TRUE(sim.Start({"--records", "10"}));
    Connect(sim);
    ASSERT_EQ(session.ReadValue(26, 12, 7, 3), TTransmitResult::trSent);
    ASSERT_TRUE(ServeUntilEnded());
    EXPECT_EQ(session.Request().State, TRequestState::rsAnswered);
    ASSERT_TRUE(session.View().Panels.has_value());
    EXPECT_EQ(session.View().Panels->ID_Mess, "0003");
    EXPECT_EQ(session.View().Panels->Datum_Zeit, "07.12.2026 04:48:00");
}

// Silence is no answer: said with the port's name, and the device clock
// shown is no longer current. The session's clock is moved on, not waited.
TEST_F(Session, SilentDeviceIsNoAnswer)
{
    ASSERT_TRUE(sim.Start({"--silent"}));
    session.OpenPort(sim.ComName());
    platform::MainQueue::RunFor(std::chrono::milliseconds(200));
    session.CheckTime();
    EXPECT_EQ(session.Request().State, TRequestState::rsSent);
    skipped = exchange::kAnswerTime;
    session.CheckTime();
    EXPECT_EQ(session.Request().State, TRequestState::rsNoAnswer);
    EXPECT_EQ(session.View().Status, "Das Ger\xE4t an " + sim.ComName() + " antwortet nicht");
    EXPECT_TRUE(session.View().ClockStale);
    EXPECT_TRUE(session.Poll()) << "the poll tries again once the request has ended";
}

// The device pulled while the day arrives: the request is cut by the loss,
// and the words say which device went and how much of which day was stored.
TEST_F(Session, LossDuringADayIsSaidInWords)
{
    ASSERT_TRUE(sim.Start({"--records", "1000", "--split", "--split-pause-ms", "5"}));
    Connect(sim);
    ASSERT_EQ(session.ReadDay(26, 12, 7, InFolder("")), TTransmitResult::trSent);
    ASSERT_TRUE(Serve([&] { return session.Request().Tally.StoredLines() >= 3; }));
    sim.Kill();
    ASSERT_TRUE(Serve([&] { return !session.RequestOpen(); }));
    const exchange::TRequest& r = session.Request();
    EXPECT_EQ(r.State, TRequestState::rsCutByLoss);
    EXPECT_LT(r.Tally.StoredLines(), 1000);
    EXPECT_EQ(session.View().Status, "Das Ger\xE4t an " + sim.ComName() +
                                         " ist nicht mehr da: " + std::to_string(r.Tally.StoredLines()) +
                                         " Zeilen vom 07.12.26 gespeichert, der Tag ist unvollst\xE4ndig");
}

// Choosing a port again cuts the day, and says how much of it was stored.
TEST_F(Session, PortChoiceCutsTheDayAndSaysHowMuchWasStored)
{
    ASSERT_TRUE(sim.Start({"--records", "200", "--split", "--split-pause-ms", "5"}));
    Connect(sim);
    std::vector<TRequestState> states;
    session.SetListener([&] { states.push_back(session.Request().State); });
    ASSERT_EQ(session.ReadDay(26, 12, 7, InFolder("")), TTransmitResult::trSent);
    ASSERT_TRUE(Serve([&] { return session.Request().Tally.StoredLines() >= 3; }));
    const int stored = session.Request().Tally.StoredLines();
    session.OpenPort(sim.ComName());
    EXPECT_NE(std::find(states.begin(), states.end(), TRequestState::rsCutByPortChange), states.end());
    EXPECT_EQ(session.View().Status, "Tag 07.12.26 abgebrochen: " + std::to_string(stored) + " Zeilen gespeichert");
    // Said again in English, with the count as it was then, whatever arrives since.
    session.SetLanguage(exchange::TTextLanguage::tlEnglish);
    EXPECT_EQ(session.View().Status, "Day 07.12.26 cut short: " + std::to_string(stored) + " lines stored");
    ASSERT_TRUE(ServeUntilEnded());
    const std::string file = ReadFileBytes(InFolder("26_12_07.txt"));
    EXPECT_EQ(file, DayOfRecords(kDay7, 200).substr(0, file.size())) << "only whole records of that day";
}

}  // namespace
}  // namespace session_test
