#pragma once
// The drive chooser: the drives a user would pick a folder on (on Windows
// every drive letter; on Linux the root, the home folder, removable media under
// /media, /run/media and /mnt). Choosing one opens its top folder in the linked
// directory chooser; the chooser shows the drive of the directory chooser's
// folder.
//
// A network drive that cannot be reached keeps a question about it waiting
// for half a minute, so the drives are listed from the system's table at once
// and each volume is asked for its readiness and name on a thread of its own:
// until it has answered ready, its entry cannot be chosen. A volume may go
// after it answered (a card taken out, a network drive lost), so choosing it
// asks it again on a thread, and its folder is opened only once it has just
// answered ready.

#include "platform/Volumes.h"
#include "ui/BackgroundWork.h"

#include <QComboBox>

#include <functional>
#include <string>
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

// Where the chooser learns about volumes: the system's, or a test's.
struct TVolumeSource {
    std::function<std::vector<std::string>()> ListRoots = platform::ListVolumeRoots;
    std::function<platform::VolumeState(const std::string&)> Examine = platform::ExamineVolume;
};

// The drive whose root is the longest leading part of `path`, by whole names.
QString DriveOf(const QString& path, const std::vector<TDrive>& drives);

class TDriveComboBox : public QComboBox {
    Q_OBJECT
public:
    // Lists the drives of `volumes` (on Linux SelectUserDrives of them and the
    // home folder), shows the drive of the current directory and starts asking
    // each volume; the answers arrive through the event loop.
    explicit TDriveComboBox(QWidget* parent, TVolumeSource volumes = {});

    // Offers exactly `drives`, every one ready and opened when chosen without
    // asking; answers still on their way are dropped.
    void SetDrives(const std::vector<TDrive>& drives);
    const std::vector<TDrive>& Drives() const { return drives_; }
    QString Drive() const;
    // Whether the entry at `index` can be chosen: the volume said it is ready.
    bool IsReady(int index) const;

    void SetDirList(TDirectoryListBox* dirList);

private:
    void ShowDriveOf(const QString& path);
    void SetReady(int index, bool ready);
    void Examine(int index);
    void VolumeAnswered(int generation, const QString& root, const platform::VolumeState& state);
    void Open(const QString& root);

    std::vector<TDrive> drives_;
    std::vector<std::string> volumeRoots_;  // per entry, the root its volume is asked by; empty: not asked
    std::function<platform::VolumeState(const std::string&)> examine_;
    QString opening_;  // the drive chosen, to be opened once its volume has answered ready
    TDirectoryListBox* dirList_ = nullptr;
    int generation_ = 0;  // counts the lists offered, so that late answers find their own
    TBackgroundWork examinations_{this};
};
