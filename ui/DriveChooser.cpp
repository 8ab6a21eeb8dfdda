#include "ui/DriveChooser.h"

#include "ui/DirectoryChooser.h"
#include "platform/PathRules.h"
#include "ui/HandlerCall.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include <algorithm>

namespace {
bool IsBelow(const QString& path, const QString& top)
{
    return path.startsWith(top + QLatin1Char('/')) && path.size() > top.size() + 1;
}

bool IsWithin(const QString& path, const QString& root)
{
    // A root that ends in "/" ("/", "C:/") holds every path that begins with it.
    return path == root || (root.endsWith(QLatin1Char('/')) && path.startsWith(root)) ||
           path.startsWith(root + QLatin1Char('/'));
}

QString EntryText(const TDrive& drive)
{
    const QString root = QDir::toNativeSeparators(drive.Root);
    return drive.Label.isEmpty() ? root : root + QStringLiteral(" [") + drive.Label + QLatin1Char(']');
}
}  // namespace

std::vector<TDrive> SelectUserDrives(const std::vector<TDrive>& mounted, const QString& home)
{
    std::vector<TDrive> removable;
    for (const TDrive& m : mounted) {
        const QString root = QDir::cleanPath(m.Root);
        if (IsBelow(root, QStringLiteral("/media")) || IsBelow(root, QStringLiteral("/run/media")) ||
            IsBelow(root, QStringLiteral("/mnt")))
            removable.push_back({root, m.Label});
    }
    std::sort(removable.begin(), removable.end(), [](const TDrive& a, const TDrive& b) { return a.Root < b.Root; });

    std::vector<TDrive> result;
    auto add = [&result](const TDrive& d) {
        const bool known =
            std::any_of(result.begin(), result.end(), [&d](const TDrive& r) { return r.Root == d.Root; });
        if (!known) result.push_back(d);
    };
    QString rootLabel;
    for (const TDrive& m : mounted)
        if (QDir::cleanPath(m.Root) == QLatin1String("/")) rootLabel = m.Label;
    add({QStringLiteral("/"), rootLabel});
    if (!home.isEmpty()) add({QDir::cleanPath(home), QString()});
    for (const TDrive& d : removable) add(d);
    return result;
}

QString DriveOf(const QString& path, const std::vector<TDrive>& drives)
{
    QString best;
    for (const TDrive& d : drives)
        if (IsWithin(path, d.Root) && d.Root.size() > best.size()) best = d.Root;
    return best;
}

TDriveComboBox::TDriveComboBox(QWidget* parent, TVolumeSource volumes)
    : QComboBox(parent), examine_(std::move(volumes.Examine))
{
    std::vector<TDrive> mounted;
    for (const std::string& root : volumes.ListRoots())
        mounted.push_back({QDir::fromNativeSeparators(QString::fromStdString(root)), QString()});
    SetDrives(platform::kDriveLetters ? mounted : SelectUserDrives(mounted, QDir::homePath()));

    // Only volume roots are asked (the home folder is none); each on its own
    // thread, so that one that never answers holds up no other.
    for (int i = 0; i < int(drives_.size()); ++i) {
        const QString root = drives_[std::size_t(i)].Root;
        const auto volume = std::find_if(mounted.begin(), mounted.end(),
                                         [&](const TDrive& m) { return QDir::cleanPath(m.Root) == root; });
        if (volume == mounted.end()) continue;
        volumeRoots_[std::size_t(i)] = QDir::toNativeSeparators(volume->Root).toStdString();
        SetReady(i, false);
        Examine(i);
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!dirList_ || index < 0 || index >= int(drives_.size()) || !IsReady(index)) return;
        const QString root = drives_[std::size_t(index)].Root;
        if (volumeRoots_[std::size_t(index)].empty()) {
            Open(root);
            return;
        }
        opening_ = root;
        Examine(index);
    });
}

void TDriveComboBox::Examine(int index)
{
    const QString root = drives_[std::size_t(index)].Root;
    examinations_.Start(
        [examine = examine_, systemRoot = volumeRoots_[std::size_t(index)]] { return examine(systemRoot); },
        [this, generation = generation_, root](const platform::VolumeState& state) {
            VolumeAnswered(generation, root, state);
        });
}

void TDriveComboBox::Open(const QString& root)
{
    CallHandler([this, root] { dirList_->SetDirectory(root); });
    ShowDriveOf(dirList_->Directory());  // the drive the list is really on, opened or not
}

void TDriveComboBox::SetDrives(const std::vector<TDrive>& drives)
{
    const QSignalBlocker quiet(this);
    ++generation_;
    drives_ = drives;
    volumeRoots_.assign(drives_.size(), std::string());
    opening_.clear();
    clear();
    for (const TDrive& d : drives_) addItem(EntryText(d), d.Root);
    ShowDriveOf(dirList_ ? dirList_->Directory() : QDir::currentPath());
}

QString TDriveComboBox::Drive() const
{
    return currentData().toString();
}

bool TDriveComboBox::IsReady(int index) const
{
    const auto* items = qobject_cast<const QStandardItemModel*>(model());
    return items && items->item(index) && items->item(index)->isEnabled();
}

void TDriveComboBox::SetReady(int index, bool ready)
{
    if (auto* items = qobject_cast<QStandardItemModel*>(model()); items && items->item(index))
        items->item(index)->setEnabled(ready);
}

void TDriveComboBox::VolumeAnswered(int generation, const QString& root, const platform::VolumeState& state)
{
    if (generation != generation_) return;
    for (int i = 0; i < int(drives_.size()); ++i) {
        TDrive& drive = drives_[std::size_t(i)];
        if (drive.Root != root) continue;
        drive.Label = QString::fromStdString(state.name);
        setItemText(i, EntryText(drive));
        SetReady(i, state.ready);
    }
    if (root != opening_) return;
    opening_.clear();
    if (state.ready && dirList_)
        Open(root);
    else
        ShowDriveOf(dirList_ ? dirList_->Directory() : QDir::currentPath());  // it stays where it was
}

void TDriveComboBox::SetDirList(TDirectoryListBox* dirList)
{
    dirList_ = dirList;
    if (!dirList_) return;
    ShowDriveOf(dirList_->Directory());
    connect(dirList_, &TDirectoryListBox::directoryChanged, this,
            [this](const QString& directory) { ShowDriveOf(directory); });
}

void TDriveComboBox::ShowDriveOf(const QString& path)
{
    const QSignalBlocker quiet(this);
    setCurrentIndex(findData(DriveOf(path, drives_)));
}
