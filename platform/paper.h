// The papers a sheet can be printed on, and the page set-up of the print dialog: the paper and
// its orientation. Each paper has the name the command line takes, the caption the page set-up
// shows, its size and the media name a print job carries for it.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace hg {

enum class Paper { A4, A3, B4, B5, Letter };

struct PaperInfo {
    Paper paper;
    std::string_view name;     // "A4", "letter": what `print --paper` takes
    std::string_view caption;  // "B4 (JIS)": what the page set-up shows
    std::string_view media;    // "jis_b4_257x364mm": the job's media option
    double widthMm;            // the short side
    double heightMm;           // the long side
};

const std::array<PaperInfo, 5>& paperList();
const PaperInfo& paperInfo(Paper paper);
// The paper of a command-line name, in any case; none for another name.
std::optional<Paper> paperNamed(std::string_view name);

// How large letters and lines are drawn on the paper, relative to an A4 sheet: the ratio of the
// paper's sides to A4's (the smaller of the two, so that the layout fits either way).
double paperScale(Paper paper);

struct PageSetup {
    Paper paper = Paper::A4;
    bool landscape = false;
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

}  // namespace hg
