#include "compliance/compliance_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/dates.h"

namespace hg {

namespace {

std::string fixed(double v, int decimals) {
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", decimals, v);
    return b;
}

// A number in its shortest general form ("6.6", "2000").
std::string shortNumber(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

std::string spanText(WindowSpan w) {
    switch (w) {
        case WindowSpan::Day:
            return "日ごと";
        case WindowSpan::Week:
            return "7 日ごと";
        case WindowSpan::Period:
            return "期間全体";
    }
    return "期間全体";
}

std::string recordText(int minutes) {
    return std::to_string(minutes) + " 分";
}

std::string basisText(const DataBasis& b) {
    switch (b.kind) {
        case BasisKind::Aggregated:
            return "10 分値（" + recordText(b.recordMinutes) +
                   "レコードを時計の 10 分区切りで 2 乗平均平方根により集約）";
        case BasisKind::TenMinute:
            return "10 分値（10 分レコードをそのまま使用）";
        case BasisKind::Longer:
            return recordText(b.recordMinutes) + "値（10 分より長いレコードをそのまま使用、参考）";
        case BasisKind::Uneven:
            return recordText(b.recordMinutes) +
                   "値（10 分を割り切らない間隔のためそのまま使用、参考）";
    }
    return "";
}

std::string joined(const std::vector<std::string>& parts, const std::string& between) {
    std::string t;
    for (std::size_t i = 0; i < parts.size(); ++i) t += (i ? between : "") + parts[i];
    return t;
}

std::string unmeasuredText(const Assessment& a) {
    if (a.unmeasured.empty()) return "なし";
    std::vector<std::string> orders;
    for (const int h : a.unmeasured) orders.push_back(std::to_string(h));
    return joined(orders, ", ") + " 次（記録にない次数）";
}

void addInputs(const ComplianceReport& r, std::vector<std::pair<std::string, std::string>>& p) {
    const LimitSet& set = r.assessment.limits;
    if (set.quantity == LimitQuantity::VoltageDistortion) {
        if (r.options.measuredKv)
            p.emplace_back("測定点の電圧", fixed(*r.options.measuredKv, 2) + " kV");
        return;
    }
    p.emplace_back("チャンネル", channelName(r.options.channel, r.channels));
    if (set.quantity == LimitQuantity::CurrentPerKw) {
        const double measured = r.options.measuredKv.value_or(set.receivingKv);
        p.emplace_back("区分", std::string(kReferenceFromMeasurement));
        p.emplace_back("契約電力", fixed(r.options.contractKw.value_or(0), 0) + " kW");
        p.emplace_back("測定点の電圧", fixed(measured, 2) + " kV" +
                                           (r.options.measuredKv ? "" : "（受電電圧を仮定）"));
        p.emplace_back("受電電圧", fixed(set.receivingKv, 2) + " kV（電圧比で受電電圧に換算）");
        return;
    }
    p.emplace_back("最大需要電流 I_L", shortNumber(r.options.ilA.value_or(0)) + " A");
    if (r.options.iscKa) p.emplace_back("短絡電流 I_SC", shortNumber(*r.options.iscKa) + " kA");
    if (r.assessment.iscOverIl) p.emplace_back("I_SC/I_L", fixed(*r.assessment.iscOverIl, 1));
}

}  // namespace

std::vector<std::size_t> judgedRows(const AssessedWindow& w) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < w.rows.size(); ++i)
        if (w.rows[i].limit || w.rows[i].order == 0 || !w.rows[i].measured) rows.push_back(i);
    return rows;
}

std::string orderName(const ComplianceRow& row) {
    return row.order == 0 ? "総合" : std::to_string(row.order) + "次";
}

std::string verdictText(const ComplianceRow& row) {
    if (!row.measured) return "未測定";
    if (!row.pass) return row.limit ? "判定なし" : "－";
    return *row.pass ? "適合" : "超過";
}

std::string overallText(const Overall& o) {
    switch (o.verdict) {
        case OverallVerdict::Pass:
            return o.unassessable
                       ? "適合（評価不可の条件 " + std::to_string(o.unassessable) + " 件を除く）"
                       : "適合";
        case OverallVerdict::Fail:
            return "超過";
        case OverallVerdict::Indicative:
            return o.exceeded ? "参考（限度値の超過あり）" : "参考（判定した値はすべて限度値以内）";
    }
    return "参考";
}

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

std::string conditionText(const LimitSet& set, int condition) {
    const LimitCondition& c = set.conditions[static_cast<std::size_t>(condition)];
    const std::string values = c.seconds >= 60 ? std::to_string(c.seconds / 60) + " 分値"
                                               : std::to_string(c.seconds) + " 秒値";
    return spanText(c.per) + "の" + values + "の" + statisticLabel(c.statistic) + "が限度値 × " +
           fixed(c.factor, 1) + " 以下";
}

std::string quantityLabel(std::string_view q) {
    if (q == "voltage_total_distortion") return "総合電圧歪率";
    if (q == "voltage_distortion") return "電圧歪率";
    if (q == "current_per_kw") return "流出電流 (契約電力 1 kW あたり)";
    if (q == "current_total_demand_distortion") return "総合需要歪率 (TDD)";
    if (q == "current_of_demand") return "電流 (最大需要電流に対する比)";
    return std::string(q);
}

std::string unitOf(LimitQuantity q) {
    switch (q) {
        case LimitQuantity::VoltageDistortion:
            return "%";
        case LimitQuantity::CurrentPerKw:
            return "mA/kW";
        case LimitQuantity::CurrentOfDemand:
            return "% of I_L";
    }
    return "%";
}

std::string unitHeading(LimitQuantity q) {
    // Appends, not a joined temporary: GCC 12 at -O3 misreads the join as an overlapping copy.
    std::string heading = "(";
    heading += unitOf(q);
    heading += ")";
    return heading;
}

int decimalsOf(LimitQuantity q) {
    return q == LimitQuantity::CurrentPerKw ? 3 : 2;
}

std::string reportNumber(double value, int decimals) {
    if (!std::isfinite(value)) return "－";
    return fixed(value, decimals);
}

std::string marginText(std::optional<double> margin, int decimals) {
    if (!margin) return "－";
    const double step = std::pow(10.0, -decimals);
    return reportNumber(*margin < 0 ? std::min(*margin, -step) : *margin, decimals);
}

std::string fullDateTime(double t) {
    const int64_t total = std::fabs(t) < 1e9 ? std::llround(t * 1440.0) : 0;
    const int64_t day = total >= 0 ? total / 1440 : (total - 1439) / 1440;
    const auto minute = static_cast<int32_t>(total - day * 1440);
    const CivilDate d = civilDate(static_cast<double>(day));
    char b[40];
    std::snprintf(b, sizeof b, "%04d/%02d/%02d %02d:%02d", d.year, d.month, d.day, minute / 60,
                  minute % 60);
    return b;
}

std::string windowText(const ComplianceReport& r, std::size_t i) {
    const AssessedWindow& w = r.assessment.windows[i];
    std::string t = "窓 " + std::to_string(i + 1) + "：" + fullDateTime(w.start) + " ～ " +
                    fullDateTime(w.end) + "　予定 " + std::to_string(w.expected) + "・記録 " +
                    std::to_string(w.present) + "・除外 " + std::to_string(w.flagged) + "・使用 " +
                    std::to_string(w.used) + "（" + fixed(w.coverage(), 1) + " %）";
    if (!w.indicative.empty()) t += "　参考：" + joined(w.indicative, "、");
    return t;
}

std::vector<std::pair<std::string, std::string>> reportParticulars(const ComplianceReport& r) {
    const Assessment& a = r.assessment;
    const LimitSet& set = a.limits;
    std::vector<std::pair<std::string, std::string>> p;
    p.emplace_back("ファイル", r.file);
    for (const MetaField& f : kMetaFields) p.emplace_back(std::string(f.label), r.meta.*(f.member));
    p.emplace_back("期間", fullDateTime(r.start) + " ～ " + fullDateTime(r.end));
    p.emplace_back("レコード", std::to_string(r.records) + " レコード、" +
                                   recordText(a.basis.recordMinutes) +
                                   "間隔（各レコードは記録時刻から始まる間隔の値とみなします）");
    p.emplace_back("評価に使う値", basisText(a.basis));
    p.emplace_back("除外", std::to_string(a.basis.flaggedRecords) +
                               " レコード（基本波電圧が期間の中央値 " +
                               shortNumber(a.basis.medianFundamental) + " V の 10 % 未満）");
    p.emplace_back("限度値", set.name + "　" + set.title);
    p.emplace_back("出典", set.source);
    p.emplace_back("版", set.edition + "（最新版と照合してください）");
    p.emplace_back("限度値ファイル", set.file);
    p.emplace_back("SHA-256", set.sha256);
    p.emplace_back("評価方法",
                   spanText(set.window) + "の窓で判定" +
                       (set.window == WindowSpan::Week ? "（期間の始めから 7 日ずつ）" : ""));
    for (std::size_t c = 0; c < set.conditions.size(); ++c)
        p.emplace_back("条件 " + std::to_string(c + 1), conditionText(set, static_cast<int>(c)));
    for (const UnassessableCondition& u : a.unassessable)
        p.emplace_back("評価不可", "条件 " + std::to_string(u.condition + 1) + "：" + u.reason);
    if (set.quantity != LimitQuantity::CurrentPerKw)
        p.emplace_back("総合の次数", std::to_string(set.thdFrom) + "～" +
                                         std::to_string(set.thdTo) + " 次" +
                                         (a.oddOrdersOnly ? "（記録は奇数次のみ）" : ""));
    if (!set.note.empty()) p.emplace_back("注記", set.note);
    addInputs(r, p);
    p.emplace_back("未測定の次数", unmeasuredText(a));
    p.emplace_back("総合判定", overallText(a.overall));
    for (const std::string& reason : a.overall.reasons) p.emplace_back("参考の理由", reason);
    for (const std::string& w : a.warnings) p.emplace_back("警告", w);
    p.emplace_back("発行日", fullDateTime(r.issued));
    p.emplace_back("プログラム", "harmograph " + r.version);
    return p;
}

}  // namespace hg
