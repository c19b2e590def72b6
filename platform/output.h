// Safe replacement of output files. Every output of a run is written to a temporary file in the
// target's own folder and renamed over the target only when the whole run succeeded, so a failed
// run (unwritable folder, disk full, input truncated under us) leaves every earlier file with that
// name untouched and no partial file behind. Every write is checked.
//
// The file operations go through OutputLayer, so tests can make any of them fail part-way.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/result.h"

namespace hg {

// A temporary file being written for a target.
struct TempFile {
    std::string target;
    std::string temp;
    int handle = -1;  // open while >= 0
};

// The file operations an output run needs. The default implementation works on the disk.
class OutputLayer {
  public:
    virtual ~OutputLayer() = default;
    // Creates a new, empty temporary file in the folder of `target`, readable like a new file.
    virtual Result<TempFile> create(const std::string& target);
    // Writes all `size` bytes.
    virtual Status write(TempFile& file, const char* data, std::size_t size);
    // Closes the temporary file; a failure here (delayed write error) fails the run.
    virtual Status close(TempFile& file);
    // Renames the temporary file over its target.
    virtual Status replace(const TempFile& file);
    // Closes (if open) and deletes the temporary file; never fails.
    virtual void discard(TempFile& file);
};

// The process-wide disk layer.
OutputLayer& diskOutput();

// Refuses a target that cannot be replaced by a file: an empty path, an existing directory or
// device, or the very file `input` names (the recording being read). A target that does not exist
// yet passes; its folder is checked when the temporary file is created.
Status checkOutputTarget(const std::string& target, const std::string& input);

// The outputs of one run, committed together. Each output collects its text in a large buffer
// that goes to its temporary file in large blocks. Destroying the set without commit() discards
// every temporary file.
class StagedOutputs {
  public:
    explicit StagedOutputs(OutputLayer& layer, std::size_t blockSize = std::size_t{1} << 20);
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    ~StagedOutputs();

    // Adds an output for `target`; returns its number (0, 1, ...).
    Result<std::size_t> add(const std::string& target);
    // The buffer of output i: append text, then call flushIfFull(i) now and then.
    std::string& buffer(std::size_t i) { return outputs_[i].text; }
    // Writes the buffer out when it holds a block or more.
    Status flushIfFull(std::size_t i) {
        return outputs_[i].text.size() >= blockSize_ ? flush(i) : success();
    }
    Status flush(std::size_t i);
    // Writes every buffer, closes every temporary file and renames each over its target.
    Status commit();
    // Deletes every temporary file (also done by the destructor when not committed).
    void abandon();
    // Bytes written so far, buffers included.
    uint64_t bytes() const;
    std::size_t size() const { return outputs_.size(); }

  private:
    struct Output {
        TempFile file;
        std::string text;
        uint64_t written = 0;
    };
    OutputLayer& layer_;
    std::size_t blockSize_;
    std::vector<Output> outputs_;
    bool committed_ = false;
};

}  // namespace hg
