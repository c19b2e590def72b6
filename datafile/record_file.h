// Reading a recording: whole blocks of a record at byte offsets, little-endian, checked against the
// file length, and the decoding of one record into its work arrays.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "datafile/record_format.h"
#include "platform/result.h"
#include "platform/system_files.h"

namespace hg {

// An open recording, read only. Reads are positioned and never go past the file's end.
class RecordFile {
  public:
    // Refuses what is not a regular file (a FIFO or a device is never waited on).
    static Result<RecordFile> open(const std::string& path);

    uint64_t size() const { return size_; }
    const std::string& path() const { return path_; }
    // Whole records in the file (a trailing partial record is ignored).
    int64_t recordCount(int64_t recordLength) const;

    // Reads `bytes` bytes at `offset` in one read; false when any of them lies past the end or the
    // read fails.
    bool read(uint64_t offset, void* destination, std::size_t bytes) const;

  private:
    RecordFile() = default;
    sys::ReadOnlyFile file_;
    uint64_t size_ = 0;
    std::string path_;
};

// The kind of the open recording `file` named `fileName`: kindFromName with the file's length.
// An "hn" file whose length is a whole number of records in both forms is told by its stamps: the
// second record's stamp is read at both lengths, and the form whose stamp is a real date and time
// not before the first record's is taken; when both or neither are, the file is refused.
Result<FileKind> recordingKind(std::string_view fileName, const RecordFile& file);

// One record's values, sized for a layout: the work arrays the load and the writers share.
// Channel rows run 0..C, row C being the spare slot for the combined (composite) current.
struct RecordValues {
    float date = 0;
    int16_t time = 0;
    std::vector<float> V;       // (N+1)
    std::vector<float> I;       // (C+1) x (N+1), row-major by channel
    std::vector<int16_t> A;     // (C+1) x (N+1)
    std::vector<int16_t> VR;    // (N+1); short "hn": values j at 2j, the rest 0
    std::vector<int16_t> IR;    // (N+1)
    float Vp[3] = {0, 0, 0};    // Vuv, Vvw, Vuw
    std::vector<float> Ip;      // (C+1) x 3
    int16_t Ia[3] = {0, 0, 0};  // Iu, Iv, Iw angles
    int orders = 0;             // N+1
    int channels = 0;           // C

    void size(const RecordLayout& layout);
    float& current(int ch, int k) { return I[static_cast<std::size_t>(ch * orders + k)]; }
    int16_t& angle(int ch, int k) { return A[static_cast<std::size_t>(ch * orders + k)]; }
    float current(int ch, int k) const { return I[static_cast<std::size_t>(ch * orders + k)]; }
    int16_t angle(int ch, int k) const { return A[static_cast<std::size_t>(ch * orders + k)]; }
};

// Little-endian decoding of a block (memcpy on little-endian machines).
void decodeFloats(const uint8_t* source, float* destination, std::size_t count);
void decodeInt16s(const uint8_t* source, int16_t* destination, std::size_t count);
float decodeFloat(const uint8_t* source);
int16_t decodeInt16(const uint8_t* source);

// Decodes every block the layout carries from a record's bytes (recordLength of them) into the
// work arrays; the combined row C is left untouched.
void decodeRecord(const uint8_t* record, const RecordLayout& layout, RecordValues& out);

// Reads record n whole (one read) and decodes it; false past the last whole record.
bool readRecord(const RecordFile& file, const RecordLayout& layout, int64_t n,
                std::vector<uint8_t>& buffer, RecordValues& out);

// Reads the date and time numbers of record n; false past the last whole record.
bool readStamp(const RecordFile& file, const RecordLayout& layout, int64_t n, float& date,
               int16_t& time);

}  // namespace hg
