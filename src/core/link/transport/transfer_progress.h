#pragma once
// What a long transfer tells the user while it runs, and how the user stops it. A transfer checks
// isCancelled() between its exchanges; an exchange in flight always runs to its own time-out.

#include <string>

namespace veltrane {

class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void setText(const std::string& text) = 0;
    // done out of total steps; total 0 means the length is not known.
    virtual void setProgress(int done, int total) = 0;
    virtual bool isCancelled() const = 0;
};

// For transfers whose progress nobody watches (the CLI's quiet mode, tests).
class NullTransferProgress : public TransferProgress {
public:
    void setText(const std::string&) override {}
    void setProgress(int, int) override {}
    bool isCancelled() const override { return false; }
};

}  // namespace veltrane
