#include "platform/paper.h"

#include <algorithm>
#include <cctype>

namespace hg {

namespace {

constexpr std::array<PaperInfo, 5> kPapers = {{
    {Paper::A4, "A4", "A4", "iso_a4_210x297mm", 210, 297},
    {Paper::A3, "A3", "A3", "iso_a3_297x420mm", 297, 420},
    {Paper::B4, "B4", "B4 (JIS)", "jis_b4_257x364mm", 257, 364},
    {Paper::B5, "B5", "B5 (JIS)", "jis_b5_182x257mm", 182, 257},
    {Paper::Letter, "letter", "Letter", "na_letter_8.5x11in", 215.9, 279.4},
}};

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::array<PaperInfo, 5>& paperList() {
    return kPapers;
}

const PaperInfo& paperInfo(Paper paper) {
    for (const PaperInfo& p : kPapers)
        if (p.paper == paper) return p;
    return kPapers[0];
}

std::optional<Paper> paperNamed(std::string_view name) {
    for (const PaperInfo& p : kPapers)
        if (sameLetters(p.name, name)) return p.paper;
    return std::nullopt;
}

double paperScale(Paper paper) {
    const PaperInfo& p = paperInfo(paper);
    const PaperInfo& a4 = paperInfo(Paper::A4);
    return std::min(p.widthMm / a4.widthMm, p.heightMm / a4.heightMm);
}

}  // namespace hg
