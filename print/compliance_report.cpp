#include "print/compliance_report.h"

#include <algorithm>
#include <cmath>

#include "platform/dates.h"

namespace hg {

namespace {

constexpr double kHeaderLine = 46;
constexpr double kChartTop = 560;
constexpr double kChartHeight = 480;
constexpr double kChartLeft = 140;
constexpr double kChartWidth = kReportPageWidth - kChartLeft - 20;
constexpr double kTableTop = 1160;
constexpr double kRowHeight = 30;
constexpr int kPass = 2;   // green
constexpr int kOver = 12;  // light red
constexpr int kFrame = 0;  // black
constexpr int kGrid = 7;   // light grey

std::string statisticLabel(LimitStatistic s) {
    switch (s) {
        case LimitStatistic::P95:
            return "95%値";
        case LimitStatistic::P99:
            return "99%値";
        case LimitStatistic::Max:
            return "最大値";
        case LimitStatistic::Mean:
            return "平均値";
    }
    return "95%値";
}

std::string unitOf(const ComplianceReport& r) {
    return r.set.quantity == LimitQuantity::CurrentPerKw ? "mA/kW" : "%";
}

int decimalsOf(const ComplianceReport& r) {
    return r.set.quantity == LimitQuantity::CurrentPerKw ? 3 : 2;
}

void textRight(Canvas& canvas, double right, double y, const std::string& text) {
    canvas.text(right - canvas.textWidth(text), y, text);
}

void drawHeader(Canvas& canvas, const ComplianceReport& r) {
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.setFont(kGothicFont, 16, true);
    canvas.text(0, 0, "高調波適合判定");
    canvas.setFont(kGothicFont, 9, false);
    std::vector<std::string> lines = {
        "ファイル：" + r.file,
        "期間：" + formatYyMmDdHhMm(r.start) + " ～ " + formatYyMmDdHhMm(r.end) + "（" +
            std::to_string(r.records) + " レコード）",
        "チャンネル：" + (r.set.quantity == LimitQuantity::CurrentPerKw
                              ? channelName(r.options.channel, r.channels)
                              : std::string("－（電圧）")),
        "限度値：" + r.set.name + "　" + r.set.title,
        "出典：" + r.set.source,
        "版：" + r.set.edition + "（最新版と照合してください）",
        "判定に使う統計量：" + statisticLabel(r.set.statistic) +
            "（最近順位法）。基本波がなく 0 と記録されたレコードも値として数えています。"};
    if (r.set.quantity == LimitQuantity::CurrentPerKw) {
        const double measured = r.options.measuredKv.value_or(r.set.receivingKv);
        lines.push_back("契約電力：" + reportNumber(r.options.contractKw.value_or(0), 0) +
                        " kW　測定点の電圧：" + reportNumber(measured, 2) + " kV　受電電圧：" +
                        reportNumber(r.set.receivingKv, 2) + " kV（電圧比で受電電圧に換算）");
    }
    double y = 90;
    for (const std::string& line : lines) {
        // A line too long for the page is set smaller until it fits.
        canvas.setFontSize(9);
        while (canvas.textWidth(line) > kReportPageWidth && canvas.font().size > 5)
            canvas.setFontSize(canvas.font().size - 0.5);
        canvas.text(0, y, line);
        y += kHeaderLine;
    }
}

// A value axis top that holds every bar and limit: 1, 2 or 5 times a power of ten.
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

void drawChart(Canvas& canvas, const ComplianceReport& r, const std::vector<std::size_t>& rows) {
    // Only finite figures size the axis or reach the page: a value that is not a number draws
    // no bar (the rows refuse such values; the sheet stands even when one slips through).
    const auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    double largest = 0;
    for (const std::size_t i : rows)
        largest = std::max({largest, finite(r.rows[i].value), finite(r.rows[i].limit.value_or(0))});
    const double top = axisTop(largest);
    const double bottom = kChartTop + kChartHeight;
    const auto yOf = [&](double v) {
        return bottom - std::clamp(finite(v) / top, 0.0, 1.0) * kChartHeight;
    };
    canvas.setFont(kGothicFont, 8, false);
    canvas.setForeColor(Colour::palette(kFrame));
    canvas.text(0, kChartTop - 60,
                statisticLabel(r.set.statistic) + "と限度値（" + unitOf(r) + "）");
    // Five steps of 0.2, 0.4 or 1 times a power of ten.
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(top / 5) + 1e-9)));
    for (int t = 0; t <= 5; ++t) {
        const double v = top * t / 5, y = yOf(v);
        canvas.line(kChartLeft, y, kChartLeft + kChartWidth, y, Colour::palette(kGrid));
        textRight(canvas, kChartLeft - 10, y - 15, reportNumber(v, decimals));
    }
    canvas.box(kChartLeft, kChartTop, kChartLeft + kChartWidth, bottom, Colour::palette(kFrame));
    if (rows.empty()) return;
    const double slot = kChartWidth / static_cast<double>(rows.size());
    const std::size_t labelEvery = rows.size() > 30 ? 2 : 1;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const ComplianceRow& row = r.rows[rows[n]];
        const double x = kChartLeft + slot * static_cast<double>(n);
        const int colour = row.pass && !*row.pass ? kOver : kPass;
        // The bar: its outline, filled with close vertical strokes.
        canvas.box(x + slot * 0.2, bottom, x + slot * 0.8, yOf(row.value), Colour::palette(colour));
        for (double bx = x + slot * 0.2 + 3; bx < x + slot * 0.8; bx += 3)
            canvas.line(bx, bottom, bx, yOf(row.value), Colour::palette(colour));
        if (row.limit) {
            canvas.setLineStyle(LineStyle::DashDot);
            canvas.line(x + slot * 0.05, yOf(*row.limit), x + slot * 0.95, yOf(*row.limit),
                        Colour::palette(kFrame));
            canvas.setLineStyle(LineStyle::Solid);
        }
        if (n % labelEvery == 0) {
            const std::string label = row.order == 0 ? "総合" : std::to_string(row.order);
            canvas.text(x + (slot - canvas.textWidth(label)) / 2, bottom + 8, label);
        }
    }
}

struct TableColumn {
    const char* title;
    double right;  // right edge of the column's texts
};

void drawTable(Canvas& canvas, const ComplianceReport& r, const std::vector<std::size_t>& rows) {
    const int d = decimalsOf(r);
    // Appends, not a joined temporary: GCC 12 misreads the join as an overlapping copy.
    std::string unit = "(";
    unit += unitOf(r);
    unit += ")";
    const std::string valueTitle = statisticLabel(r.set.statistic) + unit;
    const std::string maxTitle = "最大値" + unit;
    const std::string limitTitle = "限度値" + unit;
    const TableColumn columns[] = {{"次数", 120},
                                   {valueTitle.c_str(), 400},
                                   {maxTitle.c_str(), 660},
                                   {"最大の時刻", 960},
                                   {limitTitle.c_str(), 1220},
                                   {"余裕", 1420},
                                   {"余裕(%)", 1620},
                                   {"判定", 1800}};
    canvas.setFont(kGothicFont, 7.5, false);
    canvas.setForeColor(Colour::palette(kFrame));
    for (const TableColumn& c : columns) textRight(canvas, c.right, kTableTop, c.title);
    canvas.line(0, kTableTop + kRowHeight, kReportPageWidth, kTableTop + kRowHeight,
                Colour::palette(kFrame));
    const std::size_t fit =
        static_cast<std::size_t>((kReportPageHeight - kTableTop - 2 * kRowHeight) / kRowHeight);
    double y = kTableTop + kRowHeight + 6;
    for (std::size_t n = 0; n < rows.size() && n < fit; ++n, y += kRowHeight) {
        const std::size_t i = rows[n];
        const ComplianceRow& row = r.rows[i];
        const auto margin = marginOf(row);
        const auto percent = marginPercentOf(row);
        const std::string texts[] = {
            orderName(row),
            reportNumber(row.value, d),
            reportNumber(row.max, d),
            row.maxSlot >= 0 && i < r.maxTimes.size() ? formatYyMmDdHhMm(r.maxTimes[i]) : "－",
            row.limit ? reportNumber(*row.limit, d) : "－",
            marginText(margin, d),
            marginText(percent, 1),
            verdictText(row)};
        for (std::size_t c = 0; c < std::size(columns); ++c) {
            canvas.setForeColor(Colour::palette(c == 7 && row.pass && !*row.pass ? kOver : kFrame));
            textRight(canvas, columns[c].right, y, texts[c]);
        }
    }
    canvas.setForeColor(Colour::palette(kFrame));
    if (rows.size() > fit)
        canvas.text(0, y,
                    "ほか " + std::to_string(rows.size() - fit) +
                        " 行は CSV または JSON で出力してください");
}

}  // namespace

void drawComplianceReport(Canvas& canvas, const ComplianceReport& report) {
    canvas.setScale(kReportPageWidth, kReportPageHeight);
    canvas.clear();
    const std::vector<std::size_t> rows = judgedRows(report);
    drawHeader(canvas, report);
    drawChart(canvas, report, rows);
    drawTable(canvas, report, rows);
}

}  // namespace hg
