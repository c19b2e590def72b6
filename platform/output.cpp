#include "platform/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/system_reason.h"

namespace hg {

namespace {

std::string reason(int err) {
    return " (" + systemReasonText(err) + ")";
}

// The folder part of a path including its final "/", and the file name after it.
std::pair<std::string, std::string> splitFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::atomic<unsigned> tempCounter{0};

// The file a target path names: a symbolic link is followed to the file it points to (which is
// what gets replaced; the link stays a link), link by link.
std::string followLinks(std::string path) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) break;
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : splitFolder(path).first + link;
    }
    return path;
}

}  // namespace

Result<TempFile> OutputLayer::create(const std::string& target) {
    const auto [folder, name] = splitFolder(target);
    if (name.empty()) return Error{"出力ファイル名がありません: " + target};
    for (int attempt = 0; attempt < 100; ++attempt) {
        TempFile f;
        f.target = target;
        f.temp = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                 std::to_string(tempCounter.fetch_add(1));
        f.handle = ::open(f.temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (f.handle >= 0) {
            // A replaced file keeps its permissions (a private 0600 file stays private).
            struct stat old {};
            if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
                (void)::fchmod(f.handle, old.st_mode & 07777);
            return f;
        }
        if (errno != EEXIST && errno != EINTR)
            return Error{"出力ファイルを作成できません: " + target + reason(errno)};
    }
    return Error{"出力ファイルを作成できません: " + target + " (一時ファイル名が尽きました)"};
}

Status OutputLayer::write(TempFile& file, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(file.handle, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            const int err = done < 0 ? errno : ENOSPC;
            return Error{"出力ファイルへの書き込みに失敗しました: " + file.target + reason(err)};
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return success();
}

Status OutputLayer::close(TempFile& file) {
    if (file.handle < 0) return success();
    const int rc = ::close(file.handle);
    file.handle = -1;
    if (rc != 0 && errno != EINTR)
        return Error{"出力ファイルへの書き込みに失敗しました: " + file.target + reason(errno)};
    return success();
}

Status OutputLayer::rename(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return Error{"出力ファイルを置き換えられません: " + to + reason(errno)};
    return success();
}

Status OutputLayer::link(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) != 0)
        return Error{"出力ファイルの控えを作れません: " + from + reason(errno)};
    return success();
}

void OutputLayer::remove(const std::string& path) {
    ::unlink(path.c_str());
}

OutputLayer& diskOutput() {
    static OutputLayer layer;
    return layer;
}

Status checkOutputTarget(const std::string& target, const std::string& input) {
    if (target.empty()) return Error{"出力ファイル名がありません"};
    if (target.back() == '/') return Error{"出力先はフォルダです: " + target};
    struct stat out {};
    if (::stat(target.c_str(), &out) != 0) {
        if (errno == ENOENT) return success();
        return Error{"出力先を確かめられません: " + target + reason(errno)};
    }
    if (S_ISDIR(out.st_mode)) return Error{"出力先はフォルダです: " + target};
    if (!S_ISREG(out.st_mode)) return Error{"出力先は通常のファイルではありません: " + target};
    struct stat in {};
    if (!input.empty() && ::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
        in.st_ino == out.st_ino)
        return Error{"出力先が読み込み中の測定ファイルと同じです: " + target};
    return success();
}

StagedOutputs::StagedOutputs(OutputLayer& layer, std::size_t blockSize)
    : layer_(layer), blockSize_(blockSize) {}

StagedOutputs::~StagedOutputs() {
    if (!committed_) abandon();
}

Result<std::size_t> StagedOutputs::add(const std::string& target) {
    auto file = layer_.create(followLinks(target));
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
            struct stat st {};
            if (::stat(outputs_[i].file.target.c_str(), &st) != 0) continue;
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
        if (o.file.handle >= 0) ::close(o.file.handle);
        o.file.handle = -1;
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
