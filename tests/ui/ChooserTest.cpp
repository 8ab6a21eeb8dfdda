// The readout folder's choosers: which drives are offered, the one-folder-at-
// a-time list, what a change of folder does (Datei, the current directory,
// "Datei lesen" again), and the whole path kept behind a shortened label.

#include "UiTestSupport.h"

#include "exchange/InOutError.h"
#include "ui/Application.h"
#include "ui/DirectoryChooser.h"
#include "ui/DriveChooser.h"
#include "ui/PathLabel.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    TFormHolder<TSpyForm> form;

    QStringList Entries() const
    {
        QStringList paths;
        for (int i = 0; i < form->DirectoryListBox1->count(); ++i)
            paths << TDirectoryListBox::EntryDirectory(form->DirectoryListBox1->item(i));
        return paths;
    }
};

TEST_F(Choosers, StartAtTheCurrentDirectory)
{
    EXPECT_EQ(form->DirectoryListBox1->Directory(), QDir::currentPath());
    EXPECT_EQ(form->DateiPath(), QDir::currentPath());
    EXPECT_EQ(form->DriveComboBox1->Drive(), DriveOf(QDir::currentPath(), form->DriveComboBox1->Drives()));
    EXPECT_EQ(form->DriveComboBox1->Drives().front().Root, "/");
}

TEST_F(Choosers, ListShowsAncestorsThenTheFolderThenItsSubFolders)
{
    form->DirectoryListBox1->SetDirectory(top + "/Daten");
    QStringList expected;
    QStringList ancestors;
    for (QDir d(top + "/Daten");; d.cdUp()) {
        ancestors.prepend(d.absolutePath());
        if (d.isRoot()) break;
    }
    expected = ancestors;
    expected << top + "/Daten/2026";
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(form->DirectoryListBox1->currentRow(), ancestors.size() - 1);

    form->DirectoryListBox1->SetDirectory(top);
    const QStringList entries = Entries();
    EXPECT_EQ(entries.mid(entries.size() - 2), (QStringList{top + "/archiv", top + "/Daten"}));
    EXPECT_FALSE(entries.contains(top + "/.versteckt"));
}

TEST_F(Choosers, OpeningAFolderWritesDateiChangesDirectoryAndRunsDateiLesen)
{
    form->DirectoryListBox1->SetDirectory(top);
    form->Calls.clear();
    form->DirectoryListBox1->show();
    form->show();

    // Enter on the entry "Daten" opens it.
    const int row = Entries().indexOf(top + "/Daten");
    ASSERT_GE(row, 0);
    QListWidget* list = form->DirectoryListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    ASSERT_EQ(list->currentRow(), row);
    QTest::keyClick(form->DirectoryListBox1, Qt::Key_Return);

    EXPECT_EQ(form->DirectoryListBox1->Directory(), top + "/Daten");
    EXPECT_EQ(QDir::currentPath(), top + "/Daten");
    EXPECT_EQ(form->DateiPath(), top + "/Daten");
    EXPECT_EQ(form->Calls, QStringList{"Datei_lesenClick"});

    // Opening the folder already open changes nothing and runs nothing.
    form->Calls.clear();
    form->DirectoryListBox1->SetDirectory(top + "/Daten");
    EXPECT_EQ(form->Calls, QStringList{});
}

TEST_F(Choosers, ChoosingADriveOpensItsTopFolder)
{
    TDriveComboBox* drives = form->DriveComboBox1;
    drives->SetDrives({{"/", ""}, {top, "Test"}});
    EXPECT_EQ(drives->Drive(), "/");  // the current directory lies elsewhere
    form->Calls.clear();
    emit drives->activated(1);
    EXPECT_EQ(form->DirectoryListBox1->Directory(), top);
    EXPECT_EQ(QDir::currentPath(), top);
    EXPECT_EQ(form->DateiPath(), top);
    EXPECT_EQ(form->Calls, QStringList{"Datei_lesenClick"});

    form->DirectoryListBox1->SetDirectory("/");  // the drive follows the folder
    EXPECT_EQ(drives->Drive(), "/");
}

TEST_F(Choosers, FolderThatCannotBeOpenedChangesNothing)
{
    form->DirectoryListBox1->SetDirectory(top);
    form->Calls.clear();
    try {
        form->DirectoryListBox1->SetDirectory(top + "/fehlt");
        ADD_FAILURE() << "a missing folder was opened";
    } catch (const exchange::EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, 3);
        EXPECT_STREQ(e.what(), "E/A-Fehler 3");
    }
    EXPECT_EQ(form->DirectoryListBox1->Directory(), top);
    EXPECT_EQ(QDir::currentPath(), top);
    EXPECT_EQ(form->DateiPath(), top);
    EXPECT_EQ(form->Calls, QStringList{});

    // A failing drive choice keeps showing the drive the folder is on.
    form->DriveComboBox1->SetDrives({{"/", ""}, {top + "/weg", "weg"}});
    TApplication::ReportSuccess();
    TBoxWatcher watcher;
    form->DriveComboBox1->setCurrentIndex(1);  // as the pick shows it
    emit form->DriveComboBox1->activated(1);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text, "E/A-Fehler 3.");
    EXPECT_EQ(form->DriveComboBox1->Drive(), "/");
    EXPECT_EQ(form->DirectoryListBox1->Directory(), top);
}

TEST_F(Choosers, LongPathIsKeptWholeAndOnlyDrawnShortened)
{
    QString deep = top;
    for (int i = 0; i < 12; ++i) deep += QString("/ein_recht_langer_ordnername_%1").arg(i);
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_GT(deep.size(), 300);

    form->DirectoryListBox1->SetDirectory(deep);
    TPathLabel* datei = form->Datei;
    EXPECT_EQ(datei->Path(), deep);
    EXPECT_EQ(form->DateiPath(), deep);
    EXPECT_EQ(datei->toolTip(), deep);
    EXPECT_NE(datei->text(), deep);
    EXPECT_LE(datei->fontMetrics().horizontalAdvance(datei->text()), datei->contentsRect().width());
    EXPECT_TRUE(datei->text().contains(QChar(0x2026)));  // elided in the middle
    EXPECT_TRUE(datei->text().endsWith("_11"));
    EXPECT_TRUE(datei->text().startsWith("/"));

    // A short path is drawn whole.
    form->DirectoryListBox1->SetDirectory(top);
    if (datei->fontMetrics().horizontalAdvance(top) <= datei->contentsRect().width()) {
        EXPECT_EQ(datei->text(), top);
    }
}

}  // namespace
