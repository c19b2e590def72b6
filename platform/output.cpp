#include "platform/output.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/file_identity.h"
#include "platform/system_files.h"
#include "platform/system_process.h"
#include "platform/system_reason.h"

namespace hg {

namespace {

std::string reason(int err) {
    return " (" + systemReasonText(err) + ")";
}

// The folder part of a path including its final separator, and the file name after it.
std::pair<std::string, std::string> splitFolder(const std::string& path) {
    std::size_t slash = path.size();
    while (slash > 0 && !sys::isFolderSeparator(path[slash - 1])) --slash;
    return {path.substr(0, slash), path.substr(slash)};
}

std::atomic<unsigned> tempCounter{0};

}  // namespace

Result<TempFile> OutputLayer::create(const std::string& target) {
    const auto [folder, name] = splitFolder(target);
    if (name.empty()) return Error{"出力ファイル名がありません: " + target};
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile f;
        f.target = target;
        f.temp = folder + "." + name + ".tmp" + std::to_string(sys::processId()) + "-" +
                 std::to_string(tempCounter.fetch_add(1));
        const int err = sys::createNewFile(f.temp, f.handle);
        if (err == 0) {
            // A replaced file keeps its permissions (a private 0600 file stays private).
            sys::keepPermissionsOf(target, f.handle);
            return f;
        }
        if (err != EEXIST) return Error{"出力ファイルを作成できません: " + target + reason(err)};
    }
    return Error{"出力ファイルを作成できません: " + target + " (一時ファイル名が尽きました)"};
}

Status OutputLayer::write(TempFile& file, const char* data, std::size_t size) {
    while (size > 0) {
        std::size_t done = 0;
        if (const int err = sys::writeSome(file.handle, data, size, done); err != 0)
            return Error{"出力ファイルへの書き込みに失敗しました: " + file.target + reason(err)};
        data += done;
        size -= done;
    }
    return success();
}

Status OutputLayer::close(TempFile& file) {
    if (file.handle == sys::kNoFile) return success();
    const int err = sys::closeFile(file.handle);
    file.handle = sys::kNoFile;
    if (err != 0)
        return Error{"出力ファイルへの書き込みに失敗しました: " + file.target + reason(err)};
    return success();
}

Status OutputLayer::rename(const std::string& from, const std::string& to) {
    if (const int err = sys::replaceFile(from, to); err != 0)
        return Error{"出力ファイルを置き換えられません: " + to + reason(err)};
    return success();
}

Status OutputLayer::link(const std::string& from, const std::string& to) {
    if (const int err = sys::linkFile(from, to); err != 0)
        return Error{"出力ファイルの控えを作れません: " + from + reason(err)};
    return success();
}

void OutputLayer::remove(const std::string& path) {
    sys::removeFile(path);
}

OutputLayer& diskOutput() {
    static OutputLayer layer;
    return layer;
}

Status checkOutputTarget(const std::string& target, const std::string& input) {
    if (target.empty()) return Error{"出力ファイル名がありません"};
    if (sys::isFolderSeparator(target.back())) return Error{"出力先はフォルダです: " + target};
    const sys::PathStatus out = sys::pathStatus(target);
    if (out.kind == sys::PathKind::Missing) {
        if (out.error == ENOENT) return success();
        return Error{"出力先を確かめられません: " + target + reason(out.error)};
    }
    if (out.kind == sys::PathKind::Folder) return Error{"出力先はフォルダです: " + target};
    if (out.kind != sys::PathKind::Regular)
        return Error{"出力先は通常のファイルではありません: " + target};
    if (!input.empty() && sameExistingFile(input, target))
        return Error{"出力先が読み込み中の測定ファイルと同じです: " + target};
    return success();
}

StagedOutputs::StagedOutputs(OutputLayer& layer, std::size_t blockSize)
    : layer_(layer), blockSize_(blockSize) {}

StagedOutputs::~StagedOutputs() {
    if (!committed_) abandon();
}

Result<std::size_t> StagedOutputs::add(const std::string& target) {
    auto file = layer_.create(sys::followLinks(target));
    if (!file) return Error{file.error()};
    outputs_.push_back(Output{std::move(*file), nullptr, 0, 0, 0});
    grow(outputs_.back(), blockSize_ + (blockSize_ >> 2));
    return outputs_.size() - 1;
}

void StagedOutputs::grow(Output& o, std::size_t bytes) {
    const std::size_t capacity = std::max(o.capacity * 2, o.used + bytes);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (o.used) std::memcpy(data.get(), o.data.get(), o.used);
    o.data = std::move(data);
    o.capacity = capacity;
}

Status StagedOutputs::flush(std::size_t i) {
    Output& o = outputs_[i];
    if (o.used == 0) return success();
    auto done = layer_.write(o.file, o.data.get(), o.used);
    if (!done) return done;
    o.written += o.used;
    o.used = 0;
    return success();
}

Status StagedOutputs::commit() {
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        auto done = flush(i);
        if (!done) return done;
    }
    for (Output& o : outputs_) {
        auto done = layer_.close(o.file);
        if (!done) return done;
    }
    // Everything is on disk. With several targets, keep a second name of each earlier file so
    // that a failed rename can put the replaced ones back.
    std::vector<std::string> kept(outputs_.size());
    std::vector<bool> existed(outputs_.size(), false);
    const auto dropKept = [&] {
        for (const std::string& k : kept)
            if (!k.empty()) layer_.remove(k);
    };
    if (outputs_.size() > 1) {
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            if (sys::pathStatus(outputs_[i].file.target).kind == sys::PathKind::Missing) continue;
            existed[i] = true;
            kept[i] = outputs_[i].file.temp + ".old";
            auto done = layer_.link(outputs_[i].file.target, kept[i]);
            if (!done) {
                kept[i].clear();
                dropKept();
                return done;
            }
        }
    }
    for (std::size_t i = 0; i < outputs_.size(); ++i) {
        auto done = layer_.rename(outputs_[i].file.temp, outputs_[i].file.target);
        if (!done) {
            std::string message = done.error();
            for (std::size_t j = 0; j < i; ++j) {
                if (!existed[j]) {
                    layer_.remove(outputs_[j].file.target);
                } else if (layer_.rename(kept[j], outputs_[j].file.target)) {
                    kept[j].clear();
                } else {
                    // The earlier text survives under its second name: say where.
                    message += "（元のファイルは " + kept[j] + " に残っています）";
                    kept[j].clear();
                }
            }
            dropKept();
            return Error{message};
        }
        outputs_[i].file.temp.clear();
    }
    dropKept();
    committed_ = true;
    return success();
}

void StagedOutputs::abandon() {
    for (Output& o : outputs_) {
        if (o.file.handle != sys::kNoFile) (void)sys::closeFile(o.file.handle);
        o.file.handle = sys::kNoFile;
        if (!o.file.temp.empty()) layer_.remove(o.file.temp);
        o.file.temp.clear();
    }
}

uint64_t StagedOutputs::bytes() const {
    uint64_t total = 0;
    for (const Output& o : outputs_) total += o.written + o.used;
    return total;
}

Status writeWholeFile(const std::string& target, std::string_view bytes, OutputLayer& layer) {
    StagedOutputs out(layer);
    auto added = out.add(target);
    if (!added) return Error{added.error()};
    out.append(*added, bytes);
    return out.commit();
}

}  // namespace hg
