#include "cli/batch_convert.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/convert_recording.h"
#include "datafile/recording_names.h"
#include "datafile/scan.h"
#include "platform/file_identity.h"
#include "platform/system_files.h"

namespace hg::cli {

namespace {

// One recording of the batch: where it goes, and what the scan found.
struct Entry {
    std::string input;
    std::string output;
    std::optional<ScanResult> scan;
    std::string error;  // set before the conversion when the recording cannot be converted
    Conversion result;
};

std::string outputOf(const ScanResult& scan, const std::string& folder) {
    if (folder.empty()) return scan.csvName;
    return folder + (folder.back() == '/' ? "" : "/") + std::string(baseName(scan.csvName));
}

// Refuses both recordings of every pair that would write one file (by name, after splitting, or
// the same file reached by two paths): neither is converted, so neither overwrites the other.
void refuseSharedOutputs(const Args& args, std::vector<Entry>& entries) {
    struct Writer {
        std::size_t entry;
        std::string file;
    };
    std::map<std::string, Writer> taken;  // file identity -> the first recording writing it
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& e = entries[i];
        if (!e.scan) continue;
        for (const std::string& file : conversionOutputs(args, *e.scan, e.output)) {
            auto [it, fresh] = taken.emplace(fileIdentity(file), Writer{i, file});
            if (fresh || it->second.entry == i) continue;
            Entry& other = entries[it->second.entry];
            const std::string clash = file == it->second.file
                                          ? file
                                          : file + " (the same file as " + it->second.file + ")";
            e.error =
                "it would write " + clash + " as " + other.input + " does; neither is converted";
            if (other.error.empty())
                other.error =
                    "it would write " + clash + " as " + e.input + " does; neither is converted";
            break;
        }
    }
}

// Scans every recording and names its outputs; recordings that would write one file are refused
// before anything is written.
std::vector<Entry> planBatch(const Args& args, const std::vector<std::string>& inputs,
                             const std::string& folder) {
    std::vector<Entry> entries(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        Entry& e = entries[i];
        e.input = inputs[i];
        auto scan = scanFile(e.input);
        if (!scan) {
            e.error = scan.error();
            continue;
        }
        e.output = outputOf(*scan, folder);
        e.scan = std::move(*scan);
    }
    refuseSharedOutputs(args, entries);
    return entries;
}

std::string outcomeLine(const Entry& e, std::size_t n, std::size_t total) {
    std::string line = "[";
    line.append(std::to_string(n)).append("/").append(std::to_string(total)).append("] ");
    line += e.input;
    if (!e.error.empty()) return line + ": " + e.error;
    if (!e.result.ok()) return line + ": " + e.result.error;
    line += " -> " + e.result.files.front();
    if (e.result.files.size() > 1)
        line.append(" (+").append(std::to_string(e.result.files.size() - 1)).append(")");
    line.append(", ").append(std::to_string(e.result.lines)).append(" lines");
    if (e.result.skippedRecords > 0)
        line.append(", ")
            .append(std::to_string(e.result.skippedRecords))
            .append(" records without a real date and time left out");
    return line;
}

}  // namespace

void runJobs(std::size_t count, int jobs, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    const std::size_t threads =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (std::thread& t : pool) t.join();
}

Result<std::vector<std::string>> batchInputs(const std::vector<std::string>& named) {
    std::vector<std::string> inputs;
    for (const std::string& path : named) {
        if (!sys::isFolder(path)) {
            inputs.push_back(path);
            continue;
        }
        const std::vector<std::string> found = recordingsIn(path);
        if (found.empty()) return Error{"no recording in the folder " + path};
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    return inputs;
}

BatchResult convertAll(const Args& args, const std::vector<std::string>& inputs,
                       const std::string& folder, int jobs,
                       const std::function<void(const std::string&)>& line) {
    std::vector<Entry> entries = planBatch(args, inputs, folder);
    std::mutex lock;
    std::size_t finished = 0;
    runJobs(entries.size(), jobs, [&](std::size_t i) {
        Entry& e = entries[i];
        if (e.error.empty()) {
            e.result = convertRecording(args, *e.scan, e.output);
        }
        const std::lock_guard<std::mutex> hold(lock);
        if (e.scan)
            for (const std::string& w : e.scan->warnings) line(e.input + ": " + w);
        line(outcomeLine(e, ++finished, entries.size()));
    });
    BatchResult result;
    for (const Entry& e : entries) {
        if (e.error.empty() && e.result.ok())
            result.files.insert(result.files.end(), e.result.files.begin(), e.result.files.end());
        else
            result.failed.push_back(e.input);
    }
    return result;
}

}  // namespace hg::cli
