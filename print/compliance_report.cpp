#include "print/compliance_report.h"

#include <algorithm>
#include <cmath>

namespace hg {

namespace {

constexpr double kTop = 0;
constexpr double kFooter = kReportPageHeight - 50;  // the page number's line
constexpr double kLine = 40;                        // a particulars line
constexpr double kRowHeight = 30;                   // a table row
constexpr double kChartHeight = 520;
constexpr double kChartLeft = 140;
constexpr double kChartWidth = kReportPageWidth - kChartLeft - 20;
constexpr double kSignatureHeight = 260;
constexpr int kPass = 2;   // green
constexpr int kOver = 12;  // light red
constexpr int kFrame = 0;  // black
constexpr int kGrid = 7;   // light grey

enum class Part { Title, Particular, Overall, WindowLine, Chart, Caption, Head, Row, Signature };

struct Placed {
    Part part = Part::Title;
    double y = 0;
    std::size_t index = 0;  // particular, window
    std::size_t row = 0;    // row of the window
};

double heightOf(Part p) {
    switch (p) {
        case Part::Title:
            return 110;
        case Part::Overall:
            return 80;
        case Part::Chart:
            return kChartHeight + 140;
        case Part::Caption:
            return 70;
        case Part::Head:
        case Part::Row:
            return kRowHeight;
        case Part::Signature:
            return kSignatureHeight;
        default:
            return kLine;
    }
}

// Every part of the report placed on its page, in reading order: a page ends where the next
// part would reach the footer.
std::vector<std::vector<Placed>> layoutOf(const ComplianceReport& r) {
    std::vector<std::vector<Placed>> pages(1);
    double y = kTop;
    const auto place = [&](Part part, std::size_t index = 0, std::size_t row = 0) {
        if (y + heightOf(part) > kFooter - 20) {
            pages.emplace_back();
            y = kTop;
        }
        pages.back().push_back({part, y, index, row});
        y += heightOf(part);
    };
    place(Part::Title);
    place(Part::Overall);
    const std::size_t particulars = reportParticulars(r).size();
    for (std::size_t i = 0; i < particulars; ++i) place(Part::Particular, i);
    for (std::size_t w = 0; w < r.assessment.windows.size(); ++w) place(Part::WindowLine, w);
    place(Part::Chart);
    for (std::size_t w = 0; w < r.assessment.windows.size(); ++w) {
        place(Part::Caption, w);
        place(Part::Head, w);
        const auto rows = judgedRows(r.assessment.windows[w]);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (y + kRowHeight > kFooter - 20)
                place(Part::Head, w);  // the head again on a new page
            place(Part::Row, w, rows[i]);
        }
    }
    place(Part::Signature);
    return pages;
}

void textRight(Canvas& canvas, double right, double y, const std::string& text) {
    canvas.text(right - canvas.textWidth(text), y, text);
}

// A line set smaller until it fits the page's width.
void fittedText(Canvas& canvas, double x, double y, const std::string& text, double size) {
    canvas.setFontSize(size);
    while (canvas.textWidth(text) > kReportPageWidth - x && canvas.font().size > 5)
        canvas.setFontSize(canvas.font().size - 0.5);
    canvas.text(x, y, text);
}

void drawOverall(Canvas& canvas, const ComplianceReport& r, double y) {
    const Overall& o = r.assessment.overall;
    canvas.setFont(kGothicFont, 13, true);
    canvas.setForeColor(Colour::palette(o.verdict == OverallVerdict::Fail ? kOver : kFrame));
    fittedText(canvas, 0, y + 10, "総合判定：" + overallText(o), 13);
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.setFont(kGothicFont, 8.5, false);
}

}  // namespace

namespace {

// A value axis top that holds every point and the limit: 1, 2 or 5 times a power of ten.
double axisTop(double largest) {
    // Below a nano-unit every figure prints as zero anyway; the axis stays 0..1.
    if (!(largest > 1e-9) || !std::isfinite(largest)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(largest)));
    double top = 10 * power;
    for (const double step : {1.0, 2.0, 5.0})
        if (step * power >= largest * 1.05) {
            top = step * power;
            break;
        }
    // Near the largest double the next step overflows: the largest figure is the top then.
    return std::isfinite(top) ? top : largest;
}

void drawChartFrame(Canvas& canvas, double top, double y0, double bottom, const std::string& title,
                    const ComplianceReport& r) {
    canvas.setFont(kGothicFont, 8, false);
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.text(0, y0, title);
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(top / 5) + 1e-9)));
    for (int t = 0; t <= 5; ++t) {
        const double y = bottom - kChartHeight * t / 5;
        canvas.line(kChartLeft, y, kChartLeft + kChartWidth, y, Colour::palette(kGrid));
        textRight(canvas, kChartLeft - 10, y - 15, reportNumber(top * t / 5, decimals));
    }
    canvas.box(kChartLeft, bottom - kChartHeight, kChartLeft + kChartWidth, bottom,
               Colour::palette(kFrame));
    canvas.text(kChartLeft, bottom + 8, fullDateTime(r.start));
    textRight(canvas, kChartLeft + kChartWidth, bottom + 8, fullDateTime(r.end));
}

// The trend over the period: the values joined where they follow one another, the limit as a
// dash-dot line.
void drawChart(Canvas& canvas, const ComplianceReport& r, double y0) {
    const Trend& t = r.assessment.trend;
    const LimitSet& set = r.assessment.limits;
    const std::string what = t.order == 0 ? "総合" : std::to_string(t.order) + "次";
    const std::string title = "推移：" + what + "（" + unitOf(set.quantity) + "、" +
                              std::to_string(r.assessment.basis.valueMinutes) + " 分値）と限度値";
    const auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    double largest = finite(t.limit.value_or(0));
    for (const TrendPoint& p : t.points) largest = std::max(largest, finite(p.value));
    const double top = axisTop(largest), bottom = y0 + 60 + kChartHeight;
    drawChartFrame(canvas, top, y0, bottom, title, r);
    if (t.points.empty()) return;
    const double span = std::max(r.end - r.start, 1e-9);
    const double gap = 1.5 * r.assessment.basis.valueMinutes / 1440.0;
    const auto xOf = [&](double time) {
        return kChartLeft + std::clamp((time - r.start) / span, 0.0, 1.0) * kChartWidth;
    };
    const auto yOf = [&](double v) {
        return bottom - std::clamp(finite(v) / top, 0.0, 1.0) * kChartHeight;
    };
    for (std::size_t i = 0; i < t.points.size(); ++i) {
        const TrendPoint& p = t.points[i];
        if (i > 0 && p.time - t.points[i - 1].time <= gap) {
            canvas.lineTo(xOf(p.time), yOf(p.value), Colour::palette(kPass));
        } else {
            canvas.point(xOf(p.time), yOf(p.value), Colour::palette(kPass));
        }
    }
    if (t.limit) {
        canvas.setLineStyle(LineStyle::DashDot);
        canvas.line(kChartLeft, yOf(*t.limit), kChartLeft + kChartWidth, yOf(*t.limit),
                    Colour::palette(kOver));
        canvas.setLineStyle(LineStyle::Solid);
    }
}

struct TableColumn {
    std::string title;
    double right;  // right edge of the column's texts
};

std::vector<TableColumn> columnsOf(const ComplianceReport& r) {
    const std::string unit = unitHeading(r.assessment.limits.quantity);
    return {{"次数", 110},          {"条件", 330},        {"判定値" + unit, 560},
            {"最大値" + unit, 760}, {"最大の時刻", 1040}, {"限度値" + unit, 1260},
            {"余裕" + unit, 1450},  {"余裕率(%)", 1600},  {"判定", 1760}};
}

void drawHead(Canvas& canvas, const ComplianceReport& r, double y) {
    canvas.setFont(kGothicFont, 7.5, false);
    canvas.setForeColor(Colour::palette(kFrame));
    for (const TableColumn& c : columnsOf(r)) textRight(canvas, c.right, y, c.title);
    canvas.line(0, y + kRowHeight - 4, kReportPageWidth, y + kRowHeight - 4,
                Colour::palette(kFrame));
}

void drawRow(Canvas& canvas, const ComplianceReport& r, const ComplianceRow& row, double y) {
    const int d = decimalsOf(r.assessment.limits.quantity);
    const bool values = row.records > 0;
    const LimitCondition& c =
        r.assessment.limits.conditions[static_cast<std::size_t>(row.condition)];
    const std::string texts[] = {orderName(row),
                                 statisticLabel(c.statistic) + "×" + reportNumber(c.factor, 1),
                                 values ? reportNumber(row.value, d) : "－",
                                 values ? reportNumber(row.max, d) : "－",
                                 values ? fullDateTime(row.maxTime) : "－",
                                 row.limit ? reportNumber(*row.limit, d) : "－",
                                 values ? marginText(marginOf(row), d) : "－",
                                 values ? marginText(marginPercentOf(row), 1) : "－",
                                 verdictText(row)};
    canvas.setFont(kGothicFont, 7.5, false);
    const auto columns = columnsOf(r);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const bool over = i == columns.size() - 1 && row.pass && !*row.pass;
        canvas.setForeColor(Colour::palette(over ? kOver : kFrame));
        textRight(canvas, columns[i].right, y, texts[i]);
    }
    canvas.setForeColor(Colour::palette(kFrame));
}

void drawSignature(Canvas& canvas, double y) {
    canvas.setFont(kGothicFont, 9, false);
    canvas.setForeColor(Colour::palette(kFrame));
    const double width = 260, left = kReportPageWidth - 3 * width;
    const char* titles[] = {"作成", "確認", "承認"};
    for (int i = 0; i < 3; ++i) {
        const double x = left + width * i;
        canvas.box(x, y + 20, x + width, y + kSignatureHeight - 10, Colour::palette(kFrame));
        canvas.line(x, y + 70, x + width, y + 70, Colour::palette(kFrame));
        canvas.text(x + (width - canvas.textWidth(titles[i])) / 2, y + 30, titles[i]);
    }
}

void drawFooter(Canvas& canvas, const ComplianceReport& r, int page, int pages) {
    canvas.setFont(kGothicFont, 8, false);
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.text(0, kFooter,
                "発行日 " + fullDateTime(r.issued) + "　harmograph " + r.version + "　" +
                    r.assessment.limits.name);
    textRight(canvas, kReportPageWidth, kFooter,
              std::to_string(page) + "/" + std::to_string(pages));
}

void drawPart(Canvas& canvas, const ComplianceReport& r, const Placed& p,
              const std::vector<std::pair<std::string, std::string>>& particulars) {
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.setFont(kGothicFont, 8.5, false);
    switch (p.part) {
        case Part::Title:
            canvas.setFont(kGothicFont, 16, true);
            canvas.text(0, p.y, "高調波適合判定");
            break;
        case Part::Overall:
            drawOverall(canvas, r, p.y);
            break;
        case Part::Particular: {
            const auto& [label, text] = particulars[p.index];
            fittedText(canvas, 0, p.y, label + "：" + (text.empty() ? "－" : text), 8.5);
            break;
        }
        case Part::WindowLine:
            fittedText(canvas, 0, p.y, windowText(r, p.index), 8.5);
            break;
        case Part::Chart:
            drawChart(canvas, r, p.y + 20);
            break;
        case Part::Caption:
            canvas.setFont(kGothicFont, 9, true);
            fittedText(canvas, 0, p.y + 25, windowText(r, p.index), 9);
            break;
        case Part::Head:
            drawHead(canvas, r, p.y);
            break;
        case Part::Row:
            drawRow(canvas, r, r.assessment.windows[p.index].rows[p.row], p.y);
            break;
        case Part::Signature:
            drawSignature(canvas, p.y);
            break;
    }
}

}  // namespace

std::string complianceReportTitle() {
    return "harmograph \u2013 適合判定";
}

int complianceReportPages(const ComplianceReport& report) {
    return static_cast<int>(layoutOf(report).size());
}

void drawComplianceReport(Canvas& canvas, const ComplianceReport& report, int page) {
    canvas.setScale(kReportPageWidth, kReportPageHeight);
    canvas.clear();
    const auto pages = layoutOf(report);
    if (page < 1 || page > static_cast<int>(pages.size())) return;
    const auto particulars = reportParticulars(report);
    for (const Placed& p : pages[static_cast<std::size_t>(page - 1)])
        drawPart(canvas, report, p, particulars);
    drawFooter(canvas, report, page, static_cast<int>(pages.size()));
}

}  // namespace hg
