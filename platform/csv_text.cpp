#include "platform/csv_text.h"

#include "platform/dates.h"

namespace hg {

void CsvText::separate() {
    if (inLine_) text_ += ',';
    inLine_ = true;
}

CsvText& CsvText::text(std::string_view field) {
    separate();
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        text_ += field;
        return *this;
    }
    text_ += '"';
    for (const char c : field) {
        if (c == '"') text_ += '"';
        text_ += c;
    }
    text_ += '"';
    return *this;
}

CsvText& CsvText::number(float value) {
    separate();
    appendFileNumber(text_, value);
    return *this;
}

CsvText& CsvText::integer(long long value) {
    separate();
    text_ += plainInteger(value);
    return *this;
}

CsvText& CsvText::dateTime(double when) {
    separate();
    appendCsvTimestamp(text_, when);
    return *this;
}

CsvText& CsvText::endLine() {
    text_ += "\r\n";
    inLine_ = false;
    return *this;
}

Result<std::string> CsvText::fileBytes(TextEncoding encoding) const {
    auto encoded = encodeText(text_, encoding);
    if (!encoded) return Error{encoded.error()};
    encoded->insert(0, fileStartBytes(encoding));
    return encoded;
}

Status writeCsvFile(const std::string& target, const CsvText& csv, TextEncoding encoding,
                    OutputLayer& layer) {
    auto bytes = csv.fileBytes(encoding);
    if (!bytes) return Error{bytes.error()};
    return writeWholeFile(target, *bytes, layer);
}

}  // namespace hg
