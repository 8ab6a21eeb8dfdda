#pragma once
// The drive chooser: the file systems a user would pick a folder on (the
// root, the home folder, removable media under /media, /run/media and /mnt).
// Choosing one opens its top folder in the linked directory chooser; the
// chooser shows the drive of the directory chooser's folder.

#include <QComboBox>

#include <functional>
#include <vector>

class TDirectoryListBox;

struct TDrive {
    QString Root;   // "/media/anna/USB"
    QString Label;  // volume name, may be empty

    bool operator==(const TDrive&) const = default;
};

// From the mounted file systems: the root first (always, mounted or not), then
// the home folder, then those strictly below /media, /run/media or /mnt in the
// order of their paths; system mounts (/proc, /boot, /snap, ...) are left out
// and every root appears once.
std::vector<TDrive> SelectUserDrives(const std::vector<TDrive>& mounted, const QString& home);

// The mounted file systems that are ready.
std::vector<TDrive> MountedFileSystems();

// The drive whose root is the longest leading part of `path`, by whole names.
QString DriveOf(const QString& path, const std::vector<TDrive>& drives);

class TDriveComboBox : public QComboBox {
    Q_OBJECT
public:
    // Lists SelectUserDrives(MountedFileSystems(), home folder) and shows the
    // drive of the current directory.
    explicit TDriveComboBox(QWidget* parent);

    void SetDrives(const std::vector<TDrive>& drives);
    const std::vector<TDrive>& Drives() const { return drives_; }
    QString Drive() const;

    void SetDirList(TDirectoryListBox* dirList);

private:
    void ShowDriveOf(const QString& path);

    std::vector<TDrive> drives_;
    TDirectoryListBox* dirList_ = nullptr;
};
