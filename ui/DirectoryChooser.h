#pragma once
// The classic one-folder-at-a-time directory chooser: the current path's
// ancestors from the root down, the current folder, then its sub-folders.
// Double-click or Enter on an entry opens that folder.

#include <QListWidget>

#include <functional>

class TPathLabel;

class TDirectoryListBox : public QListWidget {
    Q_OBJECT
public:
    // Starts at the process's current directory.
    explicit TDirectoryListBox(QWidget* parent);

    // Empty, and the list too, when the process has no current directory
    // (it was deleted before the start).
    QString Directory() const { return directory_; }

    // Makes `path` the process's current directory and the chooser's folder;
    // when the folder changed, writes it into the linked label and runs
    // OnChange. A folder that does not exist raises EInOutError 3, one that
    // cannot be entered EInOutError 5; then nothing changes.
    void SetDirectory(const QString& path);

    // The label that shows the chooser's folder.
    void SetDirLabel(TPathLabel* label);

    // The folder an entry stands for.
    static QString EntryDirectory(const QListWidgetItem* item);

    std::function<void(QObject* Sender)> OnChange;

signals:
    void directoryChanged(const QString& directory);

private:
    void Rebuild();

    QString directory_;
    TPathLabel* dirLabel_ = nullptr;
};
