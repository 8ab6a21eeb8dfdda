// The application's error display: what an escaping exception looks like in
// its box, that the program goes on, that no second box opens over the first
// while none is lost, and that a failure repeating unchanged is shown once
// per episode.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "serial/EComPort.h"

#include "ui/Application.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/ErrorDisplay.h"
#include "ui/HandlerCall.h"
#include "ui/HandlerFailures.h"
#include "ui/MessageBox.h"
#include "ui/MouseButton.h"
#include "ui/PortFailureText.h"
#include "ui/Timer.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A handler of the program that fails with the given Windows-1252 message,
// run the way Qt's callers run handlers; the error is shown once the loop
// takes up the queued events, which Fail() lets it do at once.
class TFailingHandler {
public:
    explicit TFailingHandler(std::string message = "Fehler") : message_(std::move(message)) {}
    void SetMessage(std::string message) { message_ = std::move(message); }
    int Runs = 0;

    void Fail()
    {
        CallHandler([this] {
            ++Runs;
            throw std::runtime_error(message_);
        });
        QCoreApplication::sendPostedEvents();
    }

private:
    std::string message_;
};

// An object that throws straight out of its event handler, past any handler
// edge: the application's notify() is the last resort for such an error.
class TRawThrower : public QObject {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) throw std::runtime_error("roh");
        return QObject::event(e);
    }
};

TEST(ErrorBoxText, FullStopOnlyAfterCharactersSortingAfterIt)
{
    const std::pair<QString, QString> rows[] = {
        {"Ende", "Ende."},
        {"Fehler 7", "Fehler 7."},
        {"schon da.", "schon da."},
        {"mit Blank ", "mit Blank "},
        {"Strich-", "Strich-"},     // '-' sorts before '.'
        {"Schraeg/", "Schraeg/."},  // '/' sorts after '.'
        {"Klammer)", "Klammer)"},
        {QString::fromLatin1("gr\xFC\xDF"), QString::fromLatin1("gr\xFC\xDF.")},
        {"", ""},
    };
    for (const auto& [message, text] : rows) EXPECT_EQ(ErrorBoxText(message), text) << message.toStdString();
}

// What happened to the port, in plain words, before the component's text.
TEST(PortFailureSentence, SaysWhatHappenedToThePort)
{
    using exchange::TTextLanguage;
    platform::PortFacts refused;
    refused.devicePath = "/dev/ttyUSB0";
    refused.access.refused = true;
    struct Row {
        std::int32_t Code, WinCode;
        const char* Port;
        std::optional<platform::PortFacts> Facts;
        TTextLanguage Language;
        const char* Sentence;
    };
    const Row rows[] = {
        {ComErrorCode::OpenFailed, 5, "COM3", std::nullopt, TTextLanguage::tlGerman,
         "COM3 wird von einem anderen Programm benutzt."},
        {ComErrorCode::OpenFailed, 32, "COM3", std::nullopt, TTextLanguage::tlEnglish,
         "COM3 is in use by another program."},
        {ComErrorCode::OpenFailed, 5, "COM3", refused, TTextLanguage::tlEnglish, "Access to COM3 is refused."},
        {ComErrorCode::OpenFailed, 2, "COM12", std::nullopt, TTextLanguage::tlGerman,
         "An COM12 ist kein Ger\xE4t angeschlossen."},
        {ComErrorCode::OpenFailed, 87, "COM3", std::nullopt, TTextLanguage::tlEnglish, "COM3 cannot be opened."},
        {ComErrorCode::WriteFailed, 22, "COM3", std::nullopt, TTextLanguage::tlGerman,
         "Das Ger\xE4t an COM3 ist nicht mehr da."},
        {ComErrorCode::AsyncStatus, 1167, "COM3", std::nullopt, TTextLanguage::tlEnglish,
         "The device on COM3 has gone."},
        {ComErrorCode::SetStateFailed, 87, "COM3", std::nullopt, TTextLanguage::tlEnglish,
         "The port COM3 reports a failure."},
        {ComErrorCode::OpenFailed, 5, "", std::nullopt, TTextLanguage::tlGerman, ""},  // names no port
    };
    for (const Row& row : rows) {
        EComPort error(row.Code, row.WinCode);
        error.Port = row.Port;
        EXPECT_EQ(PortFailureSentence(error, row.Facts, row.Language), row.Sentence) << row.Code << "/" << row.WinCode;
    }
}

TEST(ApplicationTitle, ProgramFileNameUpToItsFirstDot)
{
    const std::pair<const char*, const char*> rows[] = {
        {"C:/Programme/Tornvale.exe", "Tornvale"},
        {"/opt/tornvale/TORNVALE.EXE", "Tornvale"},
        {"/usr/bin/tornvale", "tornvale"},
        {"build/bin/Tornvale", "Tornvale"},
        {"Torn.vale.exe", "Torn"},
        {"x", "x"},
    };
    for (const auto& [path, title] : rows) EXPECT_EQ(ApplicationTitleFor(path), title) << path;
    ASSERT_NE(TApplication::Instance(), nullptr);
    EXPECT_EQ(TApplication::Instance()->Title(), ApplicationTitleFor(QCoreApplication::applicationFilePath()));
}

class ErrorDisplay : public testing::Test {
protected:
    void SetUp() override { TApplication::ReportSuccess(); }  // each test starts a fresh episode
    TBoxWatcher watcher;
};

TEST_F(ErrorDisplay, EscapedErrorIsShownInAnErrorBoxAndTheProgramGoesOn)
{
    TFailingHandler handler("Datei C:\\x.txt kann nicht ge\xF6"
                            "ffnet werden. Zugriff verweigert");
    handler.Fail();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    const auto& box = watcher.Seen().front();
    EXPECT_EQ(box.Text, QString::fromUtf8("Datei C:\\x.txt kann nicht geöffnet werden. Zugriff verweigert."));
    EXPECT_EQ(box.Title, TApplication::Instance()->Title());
    EXPECT_EQ(box.Icon, QMessageBox::Critical);
    EXPECT_EQ(box.Buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.ButtonCount, 1);

    TApplication::ReportSuccess();
    handler.Fail();  // the program went on: the next failure is shown too
    EXPECT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(handler.Runs, 2);
}

TEST_F(ErrorDisplay, MarkupInAMessageIsShownAsText)
{
    TFailingHandler handler("<b>fett</b>");
    handler.Fail();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text, "<b>fett</b>.");
}

// While a box is open nothing opens over it, and nothing is lost: a repeat
// of the failure on screen is the same episode, every other failure (and a
// notice of the readout file) is shown after it, once each, in the order it came.
TEST_F(ErrorDisplay, FailuresDuringAnOpenBoxAreShownAfterItInOrder)
{
    TFailingHandler first("Port weg");
    TFailingHandler second("Zu wenig Speicherplatz");
    TFailingHandler third("E/A-Fehler 5");
    bool failedMeanwhile = false;
    watcher.WhileOpen = [&](QMessageBox*) {
        if (failedMeanwhile) return;
        failedMeanwhile = true;
        first.Fail();  // the failure on screen repeats
        second.Fail();
        ShowMessage("Fehler ...");
        second.Fail();  // a repeat while it waits
        third.Fail();
        first.Fail();
    };
    first.Fail();
    ASSERT_TRUE(failedMeanwhile);
    QStringList texts;
    for (const auto& box : watcher.Seen()) {
        texts << box.Text;
        EXPECT_EQ(box.BoxesOpen, 1) << box.Text.toStdString();
    }
    EXPECT_EQ(texts, (QStringList{"Port weg.", "Zu wenig Speicherplatz.", "Fehler ...", "E/A-Fehler 5."}));
    ASSERT_EQ(watcher.Seen().size(), 4u);
    EXPECT_EQ(watcher.Seen()[2].Icon, QMessageBox::NoIcon);
    EXPECT_EQ(watcher.Seen()[3].Icon, QMessageBox::Critical);

    second.Fail();  // its episode goes on until something works
    EXPECT_EQ(watcher.Seen().size(), 4u);
}

// One run of a handler that goes on past its failures (the reply handler
// over the lines of one read): the boxes follow in the order the failures
// happened, the first raised failure and each notice once ("!" marks a
// raised failure), and before a failure handed over after the run.
TEST_F(ErrorDisplay, FailuresOfOneHandlerRunAreShownInTheOrderTheyHappened)
{
    const std::pair<std::vector<std::string>, QStringList> rows[] = {
        {{"Fehler ...", "!Zu wenig Speicherplatz"}, {"Fehler ...", "Zu wenig Speicherplatz."}},
        {{"!Zu wenig Speicherplatz", "Fehler ..."}, {"Zu wenig Speicherplatz.", "Fehler ..."}},
        {{"Fehler ...", "!E/A-Fehler 5", "Fehler ...", "!Zu wenig Speicherplatz", "Error ...1"},
         {"Fehler ...", "E/A-Fehler 5.", "Error ...1"}},
    };
    for (const auto& [met, shown] : rows) {
        TApplication::ReportSuccess();
        const std::size_t before = watcher.Seen().size();
        THandlerFailures failures;
        for (const std::string& failure : met) {
            if (failure[0] == '!')
                failures.Raised(std::make_exception_ptr(std::runtime_error(failure.substr(1))));
            else
                failures.Notice(failure);
        }
        failures.HandOver();
        HandOverEscapedError(std::make_exception_ptr(std::runtime_error("danach")));
        QCoreApplication::sendPostedEvents();
        QStringList texts;
        for (std::size_t i = before; i < watcher.Seen().size(); ++i) texts << watcher.Seen()[i].Text;
        EXPECT_EQ(texts, shown + QStringList{"danach."}) << texts.join('|').toStdString();
    }
}

TEST_F(ErrorDisplay, RepeatedFailureShowsOncePerEpisode)
{
    TFailingHandler handler("Port weg");
    handler.Fail();
    handler.Fail();
    handler.Fail();
    EXPECT_EQ(handler.Runs, 3);
    EXPECT_EQ(watcher.Seen().size(), 1u);

    handler.SetMessage("anderer Fehler");  // a different failure is news
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 2u);
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 2u);

    TApplication::ReportSuccess();  // something worked in between
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 3u);
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 3u);
}

TEST_F(ErrorDisplay, OperatorActionEndsTheEpisode)
{
    QPushButton target("x");
    target.show();
    TFailingHandler handler("Port weg");
    handler.Fail();
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 1u);

    QTest::mouseClick(&target, Qt::LeftButton);
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 2u);

    QTest::keyClick(&target, Qt::Key_A);
    handler.Fail();
    EXPECT_EQ(watcher.Seen().size(), 3u);
}

// The poll of an unplugged device fails every second: one box, which the
// operator's clicks and keys do not bring back (the operator could never
// pick the port again between two ticks), while a failure of what the
// operator does is shown; a success ends the tick's episode.
TEST_F(ErrorDisplay, FailingTimerTickIsShownOnceWhileItKeepsFailing)
{
    const std::string lost = "WriteFile function failed (win error code: 22)";
    QObject owner;
    TTimer timer(&owner, 1);
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        ++ticks;
        throw std::runtime_error(lost);
    };
    auto tickOn = [&](int count) {
        const int until = ticks + count;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= until; }, 10000));
    };
    QPushButton target("x");
    target.show();
    timer.SetEnabled(true);
    tickOn(20);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text, QString::fromStdString(lost));  // ')' < '.'

    QTest::mouseClick(&target, Qt::LeftButton);
    QTest::keyClick(&target, Qt::Key_A);
    tickOn(20);
    EXPECT_EQ(watcher.Seen().size(), 1u);

    TFailingHandler chosen(lost);  // the operator's own act meets the same failure
    chosen.Fail();
    EXPECT_EQ(watcher.Seen().size(), 2u);

    TApplication::ReportSuccess();
    tickOn(20);
    EXPECT_EQ(watcher.Seen().size(), 3u);
    timer.SetEnabled(false);
    QCoreApplication::sendPostedEvents();  // the last ticks' failures, so none reaches the next test
    EXPECT_EQ(watcher.Seen().size(), 3u);
}

// A device that goes away fails the poll's write and the reply handler's
// count alike: one cause, one box, until something works again.
TEST_F(ErrorDisplay, PortFailuresOfAGoneDeviceShareOneEpisode)
{
    auto fail = [](std::int32_t code, std::int32_t winCode) {
        HandOverEscapedError(std::make_exception_ptr(EComPort(code, winCode)));
        QCoreApplication::sendPostedEvents();
    };
    fail(ComErrorCode::WriteFailed, 22);
    fail(ComErrorCode::ClearErrorFailed, 22);
    fail(ComErrorCode::WriteFailed, 22);
    // However the driver words it, and whichever call meets it first.
    fail(ComErrorCode::AsyncStatus, 1167);
    fail(ComErrorCode::PurgeFailed, 31);
    fail(ComErrorCode::ReadFailed, 995);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    fail(ComErrorCode::OpenFailed, 2);  // another cause
    ASSERT_EQ(watcher.Seen().size(), 2u);
    TApplication::ReportSuccess();
    fail(ComErrorCode::ClearErrorFailed, 22);
    EXPECT_EQ(watcher.Seen().size(), 3u);
}

TEST_F(ErrorDisplay, FailingButtonAndKeyHandlersAreShownAndTheControlsGoOn)
{
    QWidget window;
    TButton button(&window, "los");
    TEdit field(&window, "x", 4);
    field.move(0, 40);
    window.show();
    int clicks = 0;
    button.OnClick = [&clicks](QObject*) {
        if (++clicks == 1) throw std::runtime_error("Klick fehlgeschlagen");
    };
    field.OnKeyPress = [&field](QObject*, char&) {
        throw std::runtime_error("'" + field.text().toStdString() + "' ist kein g\xFCltiger Integerwert");
    };

    QTest::mouseClick(&button, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].Text, "Klick fehlgeschlagen.");
    QTest::mouseClick(&button, Qt::LeftButton);  // the button still works
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(button.isDown());

    QTest::mouseClick(&field, Qt::LeftButton);
    QTest::keyClick(&field, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 2u);
    EXPECT_EQ(watcher.Seen()[1].Text, QString::fromUtf8("'x' ist kein gültiger Integerwert."));
    QTest::keyClicks(&field, "yz");  // and the field too
    EXPECT_EQ(field.text(), "xyz");
}

TEST_F(ErrorDisplay, ErrorReachingNotifyDirectlyIsShownToo)
{
    TRawThrower thrower;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].Text, "roh.");
}

TEST_F(ErrorDisplay, FailureInFormCreateIsShownAndItsRemainingStepsAreSkipped)
{
    // The clock fails at the third step: the port list is filled, Panel5 stays
    // empty, Systemzeit and Datei stay as stored (not hidden).
    TFormHolder<> form{[]() -> QDateTime { throw std::runtime_error("Uhr kaputt"); }};
    EXPECT_TRUE(watcher.Seen().empty());  // shown once the event loop runs
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text, "Uhr kaputt.");
    EXPECT_EQ(Ctl<TPanel>(form, "Panel5")->text(), QString());
    EXPECT_TRUE(Ctl<TButton>(form, "Systemzeit")->isVisibleTo(Ctl<TPanel>(form, "Panel1")));
    EXPECT_TRUE(form->findChild<QWidget*>("Datei")->isVisibleTo(form.get()));
    EXPECT_EQ(Ctl<TComboBox>(form, "Schnittstelle")->currentIndex(), -1);
    form->show();  // and the window still works
    EXPECT_TRUE(form->isVisible());
}

}  // namespace
