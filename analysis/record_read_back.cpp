#include "analysis/record_read_back.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/quantities.h"
#include "datafile/record_file.h"

namespace hg {

namespace {
constexpr int64_t kChunkBytes = 1 << 18;  // records read back together
constexpr unsigned kMaxThreads = 8;
constexpr int32_t kSlotsPerThread = 256;
}  // namespace

unsigned readBackParts(int32_t slots) {
    return std::clamp<unsigned>(std::min<unsigned>(std::thread::hardware_concurrency(),
                                                   static_cast<unsigned>(slots / kSlotsPerThread)),
                                1, kMaxThreads);
}

std::string runReadBackParts(
    int32_t slots, unsigned parts,
    const std::function<std::string(unsigned t, int32_t first, int32_t last)>& part) {
    std::vector<std::string> failures(parts);
    const auto run = [&](unsigned t) {
        failures[t] = part(t, static_cast<int32_t>(int64_t{slots} * t / parts),
                           static_cast<int32_t>(int64_t{slots} * (t + 1) / parts));
    };
    {
        std::vector<std::jthread> workers;  // joined before the failures are looked at
        for (unsigned t = 1; t < parts; ++t) {
            try {
                workers.emplace_back(run, t);
            } catch (const std::system_error&) {
                run(t);  // no thread to be had: this one does the part
            }
        }
        run(0);
    }
    for (const std::string& failure : failures)
        if (!failure.empty()) return failure;
    return {};
}

std::string readBackRecords(const PowerSource& source, int32_t first, int32_t last,
                            std::string_view what,
                            const std::function<bool(int32_t slot, RecordValues& values)>& take) {
    const RecordLayout& layout = *source.layout;
    const std::vector<int64_t>& records = *source.slotRecord;
    const int64_t length = layout.recordLength;
    const int64_t chunk = std::max<int64_t>(1, kChunkBytes / length);
    const auto K = static_cast<std::size_t>(layout.orders);
    const auto row = static_cast<std::size_t>(layout.channels) * K;
    std::vector<uint8_t> buffer(static_cast<std::size_t>(chunk * length));
    RecordValues rv;
    rv.size(layout);
    const std::string changed = "記録ファイルが読み込んだ後に変わったため、" + std::string(what) +
                                "（実行からやり直してください）: " + source.file->path();
    for (int32_t slot = first; slot < last;) {
        int32_t n = 1;  // a run of consecutive records
        while (slot + n < last && n < chunk &&
               records[static_cast<std::size_t>(slot + n)] ==
                   records[static_cast<std::size_t>(slot)] + n)
            ++n;
        const int64_t record = records[static_cast<std::size_t>(slot)];
        if (!source.file->read(static_cast<uint64_t>(record) * static_cast<uint64_t>(length),
                               buffer.data(), static_cast<std::size_t>(n * length)))
            return changed;
        for (int32_t i = 0; i < n; ++i, ++slot) {
            decodeRecord(buffer.data() + static_cast<std::size_t>(i * length), layout, rv);
            (void)zeroNonFinite(rv.V.data(), K);
            (void)zeroNonFinite(rv.I.data(), row);
            if (layout.hasPhaseValues())
                (void)zeroNonFinite(rv.Ip.data(), static_cast<std::size_t>(layout.channels) * 3);
            if (!take(slot, rv)) return changed;
        }
    }
    return {};
}

}  // namespace hg
