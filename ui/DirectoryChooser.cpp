#include "ui/DirectoryChooser.h"

#include "exchange/InOutError.h"
#include "platform/WinApi.h"
#include "ui/HandlerCall.h"
#include "ui/PathLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QStyle>

#include <cerrno>

namespace {
constexpr int kPathRole = Qt::UserRole;

QString Indent(int level)
{
    return QString(level * 2, QLatin1Char(' '));
}
}  // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent), directory_(QDir::currentPath())
{
    setIconSize(QSize(16, 16));  // the style's folder icons come in different sizes
    Rebuild();
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { CallHandler([this, item] { SetDirectory(EntryDirectory(item)); }); });
}

void TDirectoryListBox::SetDirectory(const QString& path)
{
    const QFileInfo target(path);
    if (!target.exists() || !target.isDir())
        throw exchange::EInOutError(
            static_cast<int>(platform::ERROR_PATH_NOT_FOUND));  // the run-time's code for a missing folder
    if (!QDir::setCurrent(target.absoluteFilePath())) throw exchange::EInOutError::FromErrno(EACCES);

    const QString now = QDir::currentPath();  // resolved the way the system sees it
    const bool changed = now != directory_;
    directory_ = now;
    Rebuild();
    // Opening the folder already open leaves the file name the date fields
    // built in the label alone.
    if (changed) {
        if (dirLabel_) dirLabel_->SetPath(QDir::toNativeSeparators(directory_));
        emit directoryChanged(directory_);
        if (OnChange) OnChange(this);
    }
}

void TDirectoryListBox::SetDirLabel(TPathLabel* label)
{
    dirLabel_ = label;
    if (dirLabel_) dirLabel_->SetPath(QDir::toNativeSeparators(directory_));
}

QString TDirectoryListBox::EntryDirectory(const QListWidgetItem* item)
{
    return item ? item->data(kPathRole).toString() : QString();
}

void TDirectoryListBox::Rebuild()
{
    clear();
    // Started in a folder deleted since, the program has no current folder:
    // the list shows none rather than one it does not stand in (the drive
    // chooser still opens a drive's top folder).
    if (directory_.isEmpty()) return;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);

    // Ancestors from the root down, ending with the current folder.
    QStringList chain;
    for (QDir dir(directory_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) break;
    }
    int level = 0;
    for (const QString& folder : chain) {
        const QString name = level == 0 ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(open, Indent(level) + name, this);
        item->setData(kPathRole, folder);
        ++level;
    }
    setCurrentRow(count() - 1);

    const QFileInfoList children =
        QDir(directory_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& child : children) {
        auto* item = new QListWidgetItem(closed, Indent(level) + child.fileName(), this);
        item->setData(kPathRole, child.absoluteFilePath());
    }
}
