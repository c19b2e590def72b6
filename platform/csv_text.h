// The CSV text of every file the program writes for spreadsheets, one rule each: fields separated
// by commas; a text field quoted when it holds a comma, a double quote or a line end (its quotes
// doubled); numbers in the file form (" 0.5 ", "-170 "); time stamps as "yyyy/mm/dd H:mm:ss";
// lines ending CR LF; the file in code page 932, or in UTF-8 starting with its byte-order mark.
//
// The conversion writes its record lines straight into its output buffers through the inline
// writers below (the hot path: a number field is a comma and writeFileNumber); every other CSV
// is assembled as a CsvText, encoded once and written whole through the checked outputs, so a
// failed write leaves an earlier file of that name as it was.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/numtext.h"
#include "platform/output.h"
#include "platform/result.h"
#include "platform/textcode.h"

namespace hg {

// Room a number field takes at most: its comma and the number.
constexpr std::size_t kCsvNumberFieldRoom = 1 + kFileNumberRoom;
// Room the line end takes.
constexpr std::size_t kCsvLineEndRoom = 2;

// A number field after the line's first field, written at `out`; returns the end.
inline char* writeCsvNumberField(char* out, float value) {
    *out++ = ',';
    return writeFileNumber(out, value);
}

// The end of a line, written at `out`; returns the end.
inline char* writeCsvLineEnd(char* out) {
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

// A CSV text being assembled line by line, held in UTF-8.
class CsvText {
  public:
    // A text field, quoted when it needs to be.
    CsvText& text(std::string_view field);
    // A number field in the file form.
    CsvText& number(float value);
    // A whole number as plain digits ("12", "-3").
    CsvText& integer(long long value);
    // A date-time field "yyyy/mm/dd H:mm:ss" (the date alone at exactly midnight).
    CsvText& dateTime(double when);
    // Ends the line (an empty line when it has no field).
    CsvText& endLine();

    const std::string& utf8() const { return text_; }
    // The file's bytes in `encoding`: the start bytes, then the encoded text. Refuses a
    // character code page 932 cannot hold.
    Result<std::string> fileBytes(TextEncoding encoding) const;

  private:
    void separate();
    std::string text_;
    bool inLine_ = false;
};

// Writes `csv` in `encoding` as the whole new content of `target` through `layer`.
Status writeCsvFile(const std::string& target, const CsvText& csv, TextEncoding encoding,
                    OutputLayer& layer = diskOutput());

}  // namespace hg
