// Software identification: Button1 blanks Software on a mouse press and shows
// the program file's MD5 digest on the release; the keyboard does nothing.
// MD5 streams any file and names an unreadable one in its error.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "portlist/AnsiText.h"
#include "ui/Application.h"
#include "ui/FileDigest.h"
#include "ui/MouseButton.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The expectation, computed another way: the whole file read at once.
QString WholeFileMd5(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex()).toUpper();
}

class SoftwareId : public testing::Test {
protected:
    void SetUp() override { form->show(); }
    TFormHolder<> form{FixedTestTime};
};

TEST_F(SoftwareId, PressBlanksAndReleaseShowsTheDigest_LeftAndRightButton)
{
    const QString expected = WholeFileMd5(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(expected).hasMatch());
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        Ctl<QLabel>(form, "Software")->setText("vorher");
        QTest::mousePress(Ctl<TButton>(form, "Button1"), button);
        EXPECT_EQ(Ctl<QLabel>(form, "Software")->text(), " ");
        QTest::mouseRelease(Ctl<TButton>(form, "Button1"), button);
        EXPECT_EQ(Ctl<QLabel>(form, "Software")->text(), expected) << int(button);
    }
}

TEST_F(SoftwareId, KeyboardActivationDoesNothing)
{
    Ctl<QLabel>(form, "Software")->setText("vorher");
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Tab to the button, as the keyboard reaches it.
    for (int i = 0; i < 64 && QApplication::focusWidget() != Ctl<TButton>(form, "Button1"); ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : static_cast<QWidget*>(form.get()),
                        Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Ctl<TButton>(form, "Button1"));
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(Ctl<QLabel>(form, "Software")->text(), "vorher");
}

TEST_F(SoftwareId, DigestIsOfTheProgramWhereverTheCurrentDirectoryIs)
{
    const QString expected = WholeFileMd5(QCoreApplication::applicationFilePath());
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    QTest::mouseClick(Ctl<TButton>(form, "Button1"), Qt::LeftButton);
    QDir::setCurrent(previous);
    EXPECT_EQ(Ctl<QLabel>(form, "Software")->text(), expected);
    EXPECT_EQ(TSDIAppForm::ProgramFileName(), QCoreApplication::applicationFilePath());
}

TEST(Md5OfFile, KnownDigestsAndAStreamedLargeFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&dir](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    // RFC 1321's test suite.
    EXPECT_EQ(Md5OfFile(write("empty", "")), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(Md5OfFile(write("abc", "abc")), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(
        Md5OfFile(write("digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890")),
        "57EDF4A22BE3C955AC49DA2E2107B67A");

    // Larger than any read block, with every byte value.
    QByteArray big;
    for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i) big.append(char((i * 131) & 0xFF));
    const QString path = write("big", big);
    EXPECT_EQ(Md5OfFile(path), WholeFileMd5(path));
}

TEST(Md5OfFile, UnopenableFileRaisesTheFileOpenErrorWithItsFullPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    std::string message;
    try {
        Md5OfFile("Tornvale.exe");
    } catch (const EFOpenError& e) {
        message = e.what();
    }
    QDir::setCurrent(previous);
    const QString full = QDir(dir.path()).absoluteFilePath("Tornvale.exe");
    EXPECT_EQ(QStringFromAnsi(message),
              QString::fromUtf8("Datei %1 kann nicht geöffnet werden. No such file or directory").arg(full));

    // A folder is no file; the reason never ends in a full stop or blank.
    try {
        Md5OfFile(dir.path());
        ADD_FAILURE() << "a folder was digested";
    } catch (const EFOpenError& e) {
        const QString text = QStringFromAnsi(e.what());
        EXPECT_TRUE(text.startsWith(QString::fromUtf8("Datei %1 kann nicht geöffnet werden. ").arg(dir.path())))
            << text.toStdString();
        EXPECT_FALSE(text.endsWith('.') || text.endsWith(' ') || text.endsWith('\n')) << text.toStdString();
    }
}

TEST(Md5OfFile, FailedReleaseLeavesSoftwareBlankAndShowsTheError)
{
    // A window whose program file has gone: the release fails, Software stays
    // blank from the press, and the error box names the file.
    TBoxWatcher watcher;
    TFormHolder<> form{FixedTestTime};
    form->show();
    QTemporaryDir dir;
    const QString missing = dir.filePath("Tornvale");
    Ctl<TButton>(form, "Button1")->OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        Ctl<QLabel>(form, "Software")->setText(form->MD5(missing));
    };
    TApplication::ReportSuccess();
    QTest::mouseClick(Ctl<TButton>(form, "Button1"), Qt::LeftButton);
    EXPECT_EQ(Ctl<QLabel>(form, "Software")->text(), " ");
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen().front().Text,
              QString::fromUtf8("Datei %1 kann nicht geöffnet werden. No such file or directory.").arg(missing));
}

}  // namespace
