// Safe replacement of output files. Every output of a run is written to a temporary file in the
// target's own folder and renamed over the target only when the whole run succeeded, so a failed
// run (unwritable folder, disk full, input truncated under us) leaves every earlier file with that
// name untouched and no partial file behind. Every write is checked.
//
// The file operations go through OutputLayer, so tests can make any of them fail part-way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"
#include "platform/system_files.h"

namespace hg {

// A temporary file being written for a target.
struct TempFile {
    std::string target;
    std::string temp;
    sys::FileHandle handle = sys::kNoFile;  // open while not kNoFile
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
    // Renames `from` over `to` (same folder).
    virtual Status rename(const std::string& from, const std::string& to);
    // Makes `to` a second name of the existing file `from` (a hard link).
    virtual Status link(const std::string& from, const std::string& to);
    // Deletes a file; never fails.
    virtual void remove(const std::string& path);
};

// The process-wide disk layer.
OutputLayer& diskOutput();

// Refuses a target that cannot be replaced by a file: an empty path, an existing directory or
// device, or the very file `input` names (the recording being read). A target that does not exist
// yet passes; its folder is checked when the temporary file is created.
Status checkOutputTarget(const std::string& target, const std::string& input);

// Writes `bytes` as the whole new content of `target` through `layer` (a temporary file renamed
// over it once every byte is written and the file closed). On any failure the earlier `target` is
// left as it was and the message says the file could not be written.
Status writeWholeFile(const std::string& target, std::string_view bytes,
                      OutputLayer& layer = diskOutput());

// The outputs of one run, committed together. Each output collects its text in a large buffer
// that goes to its temporary file in large blocks; the text is written into the buffer in place.
// Destroying the set without commit() discards every temporary file.
class StagedOutputs {
  public:
    explicit StagedOutputs(OutputLayer& layer, std::size_t blockSize = std::size_t{1} << 20);
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    ~StagedOutputs();

    // Adds an output for `target`; returns its number (0, 1, ...). A target that is a symbolic
    // link replaces the file the link points to, and a replaced file keeps its permissions.
    Result<std::size_t> add(const std::string& target);
    // Appends text to output i's buffer.
    void append(std::size_t i, std::string_view text) {
        std::memcpy(room(i, text.size()), text.data(), text.size());
        outputs_[i].used += text.size();
    }
    // At least `bytes` free characters at the end of output i's buffer: write there, then call
    // advance(i, end) with the end of what was written.
    char* room(std::size_t i, std::size_t bytes) {
        Output& o = outputs_[i];
        if (o.capacity - o.used < bytes) grow(o, bytes);
        return o.data.get() + o.used;
    }
    void advance(std::size_t i, const char* end) {
        Output& o = outputs_[i];
        o.used = static_cast<std::size_t>(end - o.data.get());
    }
    // Writes the buffer out when it holds a block or more.
    Status flushIfFull(std::size_t i) {
        return outputs_[i].used >= blockSize_ ? flush(i) : success();
    }
    Status flush(std::size_t i);
    // Writes every buffer, closes every temporary file and renames each over its target. With
    // several outputs the earlier files are kept under a second name until every rename succeeded,
    // so a failed rename puts back the files already replaced.
    Status commit();
    // Deletes every temporary file (also done by the destructor when not committed).
    void abandon();
    // Bytes written so far, buffers included.
    uint64_t bytes() const;
    std::size_t size() const { return outputs_.size(); }

  private:
    struct Output {
        TempFile file;
        std::unique_ptr<char[]> data;  // the buffer: used of capacity characters
        std::size_t used = 0;
        std::size_t capacity = 0;
        uint64_t written = 0;
    };
    void grow(Output& o, std::size_t bytes);
    OutputLayer& layer_;
    std::size_t blockSize_;
    std::vector<Output> outputs_;
    bool committed_ = false;
};

}  // namespace hg
