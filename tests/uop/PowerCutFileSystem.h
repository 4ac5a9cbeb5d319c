#pragma once

#include <memory>

#include "mulfiles/NativeFileSystem.h"

namespace keelwright::test {

// The real file system, until the power goes off during one write (counted over every file, from 1): that
// write puts part of its bytes, and every later write, cut or flush does nothing and fails. What is on
// disk then is what a crash at that instant leaves.
class PowerCutFileSystem : public NativeFileSystem {
public:
    PowerCutFileSystem(int cutAtWrite, double partWritten) : cutAt_(cutAtWrite), part_(partWritten) {}

    std::unique_ptr<RandomAccessFile> open(const std::filesystem::path& path, OpenMode mode) override;

    // The file name of the write the power went off in; empty while it is on.
    const std::string& cutIn() const { return cutIn_; }

private:
    class File;

    int cutAt_;
    double part_;
    int writes_ = 0;
    bool off_ = false;
    std::string cutIn_;
};

}  // namespace keelwright::test
