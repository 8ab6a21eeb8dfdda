#pragma once
// A private port folder: points XDG_RUNTIME_DIR at a fresh directory for the
// life of the object (and of the processes started meanwhile), so a test
// never touches the user's COM links or another test's.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class PrivatePortFolder {
public:
    PrivatePortFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tornvale-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    }
    ~PrivatePortFolder()
    {
        if (hadOld_)
            setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    PrivatePortFolder(const PrivatePortFolder&) = delete;
    PrivatePortFolder& operator=(const PrivatePortFolder&) = delete;

    bool IsValid() const { return !dir_.empty(); }
    // The runtime directory (the port folder lies below it).
    const std::string& Dir() const { return dir_; }
    std::string FilePath(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
    std::string old_;
    bool hadOld_ = false;
};

}  // namespace testsupport
