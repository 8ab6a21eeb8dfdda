#pragma once
// qdtr25-sim as a child process on a pseudo-terminal of the test's private
// port folder, its frames logged to a file: what a program under test sent
// is exactly what the log holds.

#include "platform/PortFolder.h"
#include "tooling/testing/ChildProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

class TSimulatorProcess {
public:
    static constexpr int kPatienceMs = 60000;  // sanitizer builds on a busy machine

    ~TSimulatorProcess() { Stop(); }

    // Starts it with `args` (plus --log, and --port auto unless given) and
    // reads the COM name it announces.
    bool Start(std::vector<std::string> args, const std::string& comName = "auto")
    {
        process_ = std::make_unique<platform::ChildProcess>();
        args.insert(args.begin(), {"--port", comName, "--log", LogPath()});
        std::string error;
        if (!process_->Start(QDTR25_SIM_PATH, args, {}, &error)) {
            ADD_FAILURE() << "cannot start the simulator: " << error;
            return false;
        }
        const auto line = process_->ReadLine(kPatienceMs);
        if (!line) return false;
        comName_ = line->substr(0, line->find(' '));
        return true;
    }
    // Gone as a pulled adapter goes: the process ends and its name with it.
    void Kill()
    {
        if (!process_) return;
        process_->Send(platform::ChildProcess::Signal::Kill);
        process_->Wait(kPatienceMs);
        platform::UnlinkPort(comName_);
        process_.reset();
    }
    void Stop()
    {
        if (!process_) return;
        process_->Send(platform::ChildProcess::Signal::Terminate);
        process_->Wait(kPatienceMs);
        process_.reset();
    }
    const std::string& ComName() const { return comName_; }
    std::string LogPath() const { return dir_.filePath("frames.log").toStdString(); }
    // The frames received so far, one per entry, as the log names them.
    std::vector<std::string> Frames() const
    {
        std::ifstream in(LogPath(), std::ios::binary);
        std::vector<std::string> frames;
        for (std::string line; std::getline(in, line);) frames.push_back(line);
        return frames;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<platform::ChildProcess> process_;
    std::string comName_;
};

}  // namespace testsupport
