// The readout folder's choosers: which drives are offered, the one-folder-at-
// a-time list, what a change of folder does (Datei, the current directory,
// "Datei lesen" again), and the whole path kept behind a shortened label.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "exchange/InOutError.h"
#include "ui/Application.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "tests/support/PortListClick.h"
#include "ui/Edit.h"
#include "ui/PathLabel.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>

namespace {

// Restores the process's current directory, which the chooser changes.
class TCurrentDirectoryGuard {
public:
    TCurrentDirectoryGuard() : saved_(QDir::currentPath()) {}
    ~TCurrentDirectoryGuard() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

TEST(Drives, UserDrivesAmongTheMountedFileSystems)
{
    const std::vector<TDrive> mounted = {
        {"/", "system"},
        {"/proc", ""},
        {"/sys", ""},
        {"/boot/efi", "EFI"},
        {"/mnt/data", "Daten"},
        {"/media/anna/USB", "USB"},
        {"/run/media/bob/CARD", ""},
        {"/snap/core/1", ""},
        {"/media", ""},
        {"/mnt/data", "Daten"},
        {"/run/user/1000", ""},
        {"/mnt", ""},
    };
    const std::vector<TDrive> expected = {
        {"/", "system"},        {"/home/anna", ""},          {"/media/anna/USB", "USB"},
        {"/mnt/data", "Daten"}, {"/run/media/bob/CARD", ""},
    };
    EXPECT_EQ(SelectUserDrives(mounted, "/home/anna/"), expected);

    // The root is offered even when the list does not name it.
    const std::vector<TDrive> root = {{"/", ""}};
    EXPECT_EQ(SelectUserDrives({}, ""), root);
    // A home on a removable disk appears once.
    const std::vector<TDrive> once = {{"/", ""}, {"/mnt/home", ""}};
    EXPECT_EQ(SelectUserDrives({{"/mnt/home", "H"}}, "/mnt/home"), once);
}

TEST(Drives, DriveOfAPathIsTheLongestWholeNamePrefix)
{
    const std::vector<TDrive> drives = {{"/", ""}, {"/home/anna", ""}, {"/media/anna/USB", ""}};
    EXPECT_EQ(DriveOf("/home/anna/Daten", drives), "/home/anna");
    EXPECT_EQ(DriveOf("/home/anna", drives), "/home/anna");
    EXPECT_EQ(DriveOf("/home/annabel", drives), "/");
    EXPECT_EQ(DriveOf("/media/anna/USB/x", drives), "/media/anna/USB");
    EXPECT_EQ(DriveOf("/etc", drives), "/");
}

// Volumes that answer at once, except `held`, which answers when Release() is called.
class TVolumes {
public:
    TVolumes(std::vector<std::string> roots, std::map<std::string, platform::VolumeState> answers, std::string held)
        : roots_(std::move(roots)), answers_(std::move(answers)), held_(std::move(held)), gate_(release_.get_future())
    {
    }
    ~TVolumes() { Release(); }  // no thread stays blocked after the test
    void Release()
    {
        if (!released_) release_.set_value();
        released_ = true;
    }
    // The threads that ask the volumes hold the source's token until they
    // end; the chooser keeps one more, to ask again when a drive is chosen.
    bool Idle() const { return token_.use_count() <= 1; }
    TVolumeSource Source()
    {
        auto token = std::make_shared<int>(0);
        token_ = token;
        return {[roots = roots_] { return roots; },
                [answers = answers_, held = held_, gate = gate_, token](const std::string& root) {
                    // Not for ever: a chooser that asked on the main thread fails
                    // the test below instead of hanging it.
                    if (root == held) gate.wait_for(std::chrono::seconds(20));
                    const auto answer = answers.find(root);
                    return answer == answers.end() ? platform::VolumeState{} : answer->second;
                }};
    }

private:
    std::vector<std::string> roots_;
    std::map<std::string, platform::VolumeState> answers_;
    std::string held_;
    std::promise<void> release_;
    std::shared_future<void> gate_;
    bool released_ = false;
    std::weak_ptr<int> token_;
};

QStringList EntryTexts(const TDriveComboBox& chooser)
{
    QStringList texts;
    for (int i = 0; i < chooser.count(); ++i) texts << chooser.itemText(i) + (chooser.IsReady(i) ? "" : " (waiting)");
    return texts;
}

TEST(Drives, AVolumeThatDoesNotAnswerHoldsUpNothing)
{
    TVolumes volumes({"/", "/proc", "/media/anna/USB", "/mnt/nas", "/media/anna/CD"},
                     {{"/", {true, "system"}},
                      {"/media/anna/USB", {true, "USB"}},
                      {"/mnt/nas", {true, "NAS"}},
                      {"/media/anna/CD", {false, "DVD"}}},
                     "/mnt/nas");
    const QString home = QDir::cleanPath(QDir::homePath());
    const TDriveComboBox chooser(nullptr, volumes.Source());

    // Listed at once, before any volume has answered; none can be chosen but
    // the home folder, which is no volume of its own.
    EXPECT_EQ(EntryTexts(chooser), (QStringList{"/ (waiting)", home, "/media/anna/CD (waiting)",
                                                "/media/anna/USB (waiting)", "/mnt/nas (waiting)"}));

    const QStringList answered{"/ [system]", home, "/media/anna/CD [DVD] (waiting)", "/media/anna/USB [USB]",
                               "/mnt/nas (waiting)"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return EntryTexts(chooser) == answered; }, 5000))
        << EntryTexts(chooser).join("|").toStdString();

    volumes.Release();
    QStringList all = answered;
    all.last() = "/mnt/nas [NAS]";
    EXPECT_TRUE(QTest::qWaitFor([&] { return EntryTexts(chooser) == all; }, 5000))
        << EntryTexts(chooser).join("|").toStdString();
}

TEST(Drives, AnswersForAListThatIsGoneAreDropped)
{
    TVolumes volumes({"/", "/mnt/nas"}, {{"/", {true, "system"}}, {"/mnt/nas", {true, "NAS"}}}, "/mnt/nas");
    TDriveComboBox chooser(nullptr, volumes.Source());
    ASSERT_EQ(chooser.itemText(2), "/mnt/nas");  // after the root and the home folder
    ASSERT_FALSE(chooser.IsReady(2));
    // A list set since then is not changed by the old volume's late answer.
    chooser.SetDrives({{"/", ""}, {"/mnt/nas", "Archiv"}});
    volumes.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return volumes.Idle(); }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(EntryTexts(chooser), (QStringList{"/", "/mnt/nas [Archiv]"}));
}

TEST(Drives, AResultForAnOwnerThatIsGoneIsDropped)
{
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future();
    auto token = std::make_shared<int>(0);
    const std::weak_ptr<int> threadAlive = token;
    QStringList delivered;
    {
        QObject owner;
        TBackgroundWork work(&owner);
        ASSERT_TRUE(work.Start(
            [gate, token = std::move(token)] {
                gate.wait();
                return QString("late");
            },
            [&delivered](const QString& result) { delivered << result; }));
    }
    release.set_value();
    // The thread's closure, and with it the token, goes when it has finished.
    ASSERT_TRUE(QTest::qWaitFor([&] { return threadAlive.expired(); }, 5000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(delivered, QStringList{});
}

class Choosers : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath("Daten/2026"));
        ASSERT_TRUE(QDir(root.path()).mkpath("archiv"));
        ASSERT_TRUE(QDir(root.path()).mkpath(".versteckt"));
        top = QDir(root.path()).canonicalPath();
    }
    TCurrentDirectoryGuard guard;
    QTemporaryDir root;
    QString top;
    TFormHolder<TSDIAppForm> form{FixedTestTime};

    // An identifier committed as the operator does, so a fresh "Datei lesen"
    // shows by dropping it.
    void CommitMarker()
    {
        form->show();
        TypeAndCommit(Ctl<TEdit>(form, "MessID"), "0042");
        ASSERT_TRUE(form->Session().Draft().Committed(exchange::TEntryField::efMessID));
    }
    // Whether "Datei lesen" began afresh since CommitMarker.
    bool DateiLesenBegan()
    {
        const exchange::TFrameDraft& draft = form->Session().Draft();
        return draft.Mode() == exchange::TOperatingMode::omDateiLesen &&
               !draft.Committed(exchange::TEntryField::efMessID);
    }

    QStringList Entries() const
    {
        QStringList paths;
        for (int i = 0; i < Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->count(); ++i)
            paths << TDirectoryListBox::EntryDirectory(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->item(i));
        return paths;
    }
};

TEST_F(Choosers, StartAtTheCurrentDirectory)
{
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), QDir::currentPath());
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), QDir::currentPath());
    EXPECT_EQ(Ctl<TDriveComboBox>(form, "DriveComboBox1")->Drive(),
              DriveOf(QDir::currentPath(), Ctl<TDriveComboBox>(form, "DriveComboBox1")->Drives()));
    EXPECT_EQ(Ctl<TDriveComboBox>(form, "DriveComboBox1")->Drives().front().Root, "/");
}

TEST_F(Choosers, ListShowsAncestorsThenTheFolderThenItsSubFolders)
{
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top + "/Daten");
    QStringList expected;
    QStringList ancestors;
    for (QDir d(top + "/Daten");; d.cdUp()) {
        ancestors.prepend(d.absolutePath());
        if (d.isRoot()) break;
    }
    expected = ancestors;
    expected << top + "/Daten/2026";
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->currentRow(), ancestors.size() - 1);

    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top);
    const QStringList entries = Entries();
    EXPECT_EQ(entries.mid(entries.size() - 2), (QStringList{top + "/archiv", top + "/Daten"}));
    EXPECT_FALSE(entries.contains(top + "/.versteckt"));
}

TEST_F(Choosers, OpeningAFolderWritesDateiChangesDirectoryAndRunsDateiLesen)
{
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top);
    CommitMarker();
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->show();
    form->show();

    // Enter on the entry "Daten" opens it.
    const int row = Entries().indexOf(top + "/Daten");
    ASSERT_GE(row, 0);
    QListWidget* list = Ctl<TDirectoryListBox>(form, "DirectoryListBox1");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    ASSERT_EQ(list->currentRow(), row);
    QTest::keyClick(Ctl<TDirectoryListBox>(form, "DirectoryListBox1"), Qt::Key_Return);

    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), top + "/Daten");
    EXPECT_EQ(QDir::currentPath(), top + "/Daten");
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), top + "/Daten");
    EXPECT_TRUE(DateiLesenBegan());

    // Opening the folder already open changes nothing and runs nothing.
    CommitMarker();
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top + "/Daten");
    EXPECT_FALSE(DateiLesenBegan());
}

TEST_F(Choosers, ChoosingADriveOpensItsTopFolder)
{
    TDriveComboBox* drives = Ctl<TDriveComboBox>(form, "DriveComboBox1");
    drives->SetDrives({{"/", ""}, {top, "Test"}});
    EXPECT_EQ(drives->Drive(), "/");  // the current directory lies elsewhere
    CommitMarker();
    emit drives->activated(1);
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), top);
    EXPECT_EQ(QDir::currentPath(), top);
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), top);
    EXPECT_TRUE(DateiLesenBegan());

    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory("/");  // the drive follows the folder
    EXPECT_EQ(drives->Drive(), "/");
}

// A volume that answered when the list was made may be gone when it is
// chosen (a card taken out): it is asked again on a thread, and its folder is
// opened only once it has just answered ready.
TEST_F(Choosers, AChosenDriveIsOpenedOnlyOnceItHasJustAnsweredReady)
{
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top);
    std::mutex mutex;
    std::map<std::string, int> asked;
    TVolumeSource volumes{[] {
                              return std::vector<std::string>{"/", "/media/anna/SD"};
                          },
                          [&](const std::string& root) {
                              const std::lock_guard lock(mutex);
                              // The card answers when listed, and is gone by the time it is chosen.
                              const bool ready = root == "/" || asked[root] == 0;
                              ++asked[root];
                              return platform::VolumeState{ready, root == "/" ? "system" : "SD"};
                          }};
    const auto timesAsked = [&](const std::string& root) {
        const std::lock_guard lock(mutex);
        return asked[root];
    };
    TDriveComboBox chooser(nullptr, volumes);
    chooser.SetDirList(Ctl<TDirectoryListBox>(form, "DirectoryListBox1"));
    chooser.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chooser.IsReady(0) && chooser.IsReady(chooser.count() - 1); }, 5000));

    CommitMarker();
    ClickPortListEntry(&chooser, "/media/anna/SD [SD]");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chooser.IsReady(chooser.count() - 1); }, 5000));
    EXPECT_EQ(timesAsked("/media/anna/SD"), 2);
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), top);
    EXPECT_FALSE(DateiLesenBegan());

    ClickPortListEntry(&chooser, "/ [system]");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory() == "/"; }, 5000));
    EXPECT_EQ(timesAsked("/"), 2);
    EXPECT_TRUE(DateiLesenBegan());
}

TEST_F(Choosers, FolderThatCannotBeOpenedChangesNothing)
{
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top);
    CommitMarker();
    try {
        Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top + "/fehlt");
        ADD_FAILURE() << "a missing folder was opened";
    } catch (const exchange::EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 3);
        EXPECT_STREQ(e.what(), "E/A-Fehler 3");
    }
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), top);
    EXPECT_EQ(QDir::currentPath(), top);
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), top);
    EXPECT_FALSE(DateiLesenBegan());

    // A failing drive choice keeps showing the drive the folder is on.
    Ctl<TDriveComboBox>(form, "DriveComboBox1")->SetDrives({{"/", ""}, {top + "/weg", "weg"}});
    TApplication::ReportSuccess();
    TBoxWatcher watcher;
    Ctl<TDriveComboBox>(form, "DriveComboBox1")->setCurrentIndex(1);  // as the pick shows it
    emit Ctl<TDriveComboBox>(form, "DriveComboBox1")->activated(1);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text, "E/A-Fehler 3.");
    EXPECT_EQ(Ctl<TDriveComboBox>(form, "DriveComboBox1")->Drive(), "/");
    EXPECT_EQ(Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->Directory(), top);
}

TEST_F(Choosers, LongPathIsKeptWholeAndOnlyDrawnShortened)
{
    QString deep = top;
    for (int i = 0; i < 12; ++i) deep += QString("/ein_recht_langer_ordnername_%1").arg(i);
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_GT(deep.size(), 300);

    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(deep);
    TPathLabel* datei = Ctl<TPathLabel>(form, "Datei");
    EXPECT_EQ(datei->Path(), deep);
    EXPECT_EQ(Ctl<TPathLabel>(form, "Datei")->Path(), deep);
    EXPECT_EQ(datei->toolTip(), deep);
    EXPECT_NE(datei->text(), deep);
    EXPECT_LE(datei->fontMetrics().horizontalAdvance(datei->text()), datei->contentsRect().width());
    EXPECT_TRUE(datei->text().contains(QChar(0x2026)));  // elided in the middle
    EXPECT_TRUE(datei->text().endsWith("_11"));
    EXPECT_TRUE(datei->text().startsWith("/"));

    // A short path is drawn whole.
    Ctl<TDirectoryListBox>(form, "DirectoryListBox1")->SetDirectory(top);
    if (datei->fontMetrics().horizontalAdvance(top) <= datei->contentsRect().width()) {
        EXPECT_EQ(datei->text(), top);
    }
}

}  // namespace
