// Limit sets: the shipped files load and hold the published values; bad files are refused with
// a message naming the file and the field while the others load; the user's folder adds sets
// and replaces a set of the same name.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "compliance/limits.h"
#include "compliance/sha256.h"
#include "support_scratch.h"

namespace hg {
namespace {

const LimitCatalogue& shipped() {
    static const LimitCatalogue catalogue = loadLimitSets({HARMO_LIMITS_DIR});
    return catalogue;
}

TEST(LimitSets, ShippedSetsLoad) {
    const LimitCatalogue& c = shipped();
    EXPECT_TRUE(c.problems.empty()) << c.problems.front();
    std::vector<std::string> names;
    for (const LimitSet& s : c.sets) {
        names.push_back(s.name);
        EXPECT_EQ(s.statistic,
                  s.name == "ieee519-current" ? LimitStatistic::P99 : LimitStatistic::P95)
            << s.name;
        EXPECT_EQ(s.window, s.name.starts_with("jp-") ? WindowSpan::Period : WindowSpan::Week)
            << s.name;
        EXPECT_FALSE(s.edition.empty()) << s.name;
        EXPECT_NE(s.check.find("current edition"), std::string::npos) << s.name;
        EXPECT_NE(s.file.find(s.name + ".json"), std::string::npos) << s.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "en50160", "iec61000-2-2", "ieee519-1to69kV", "ieee519-69to161kV",
                         "ieee519-current", "ieee519-gt161kV", "ieee519-le1kV", "jp-env-6.6kV",
                         "jp-env-ehv", "jp-guideline-22kV", "jp-guideline-6.6kV"}));
}

TEST(LimitSets, ShippedValues) {
    // Per set, "order=limit" with 0 for the total and "-" where the set has no limit.
    const std::pair<const char*, const char*> cases[] = {
        {"jp-env-6.6kV", "0=5 5=-"},
        {"en50160",
         "0=8 2=2 3=5 4=1 5=6 6=0.5 7=5 9=1.5 11=3.5 13=3 15=0.5 17=2 19=1.5 21=0.5 "
         "23=1.5 24=0.5 25=1.5 26=-"},
        {"jp-env-ehv", "0=3"},
        {"iec61000-2-2",
         "0=8 5=6 7=5 11=3.5 13=3 3=5 9=1.5 15=0.4 21=0.3 27=0.2 45=0.2 2=2 4=1 6=0.5 51=-"},
        {"ieee519-le1kV", "0=8 2=5 50=5 51=-"},
        {"ieee519-1to69kV", "0=5 7=3"},
        {"ieee519-69to161kV", "0=2.5 11=1.5"},
        {"ieee519-gt161kV", "0=1.5 13=1"},
        {"jp-guideline-6.6kV", "5=3.5 7=2.5 11=1.6 13=1.3 17=1.0 19=0.90 23=0.76 25=0.70 3=-"},
        {"jp-guideline-22kV", "5=1.8 7=1.3 11=0.82 13=0.69 17=0.53 19=0.47 23=0.39 29=0.36"},
    };
    for (const auto& [name, limits] : cases) {
        const LimitSet* s = shipped().find(name);
        ASSERT_NE(s, nullptr) << name;
        std::istringstream in(limits);
        int order = 0;
        char eq = 0;
        std::string value;
        while (in >> order >> eq >> value) {
            const std::optional<double> got = order == 0 ? s->total : s->limitFor(order);
            const std::optional<double> want =
                value == "-" ? std::nullopt : std::optional<double>(std::stod(value));
            EXPECT_EQ(got, want) << name << " order " << order;
        }
        EXPECT_TRUE(in.eof()) << name;  // every pair read
    }
    // The formulas of the low-voltage compatibility levels.
    const LimitSet& iec = *shipped().find("iec61000-2-2");
    for (int h = 17; h <= 49; h += 2) {
        if (h % 3 == 0) continue;
        EXPECT_NEAR(*iec.limitFor(h), 2.27 * 17.0 / h - 0.27, 1e-6) << h;
    }
    for (int h = 8; h <= 50; h += 2)
        EXPECT_NEAR(*iec.limitFor(h), 0.25 * 10.0 / h + 0.25, 1e-6) << h;
    EXPECT_EQ(shipped().find("jp-guideline-6.6kV")->receivingKv, 6.6);
    EXPECT_EQ(shipped().find("jp-guideline-22kV")->receivingKv, 22);
    EXPECT_EQ(shipped().find("jp-guideline-22kV")->quantity, LimitQuantity::CurrentPerKw);
}

constexpr const char* kGood =
    R"({"name": "mine", "title": "t", "source": "s", "edition": "e", "check": "c",
        "quantity": "voltage_distortion", "total": 4, "orders": {"5": 3, "7-9": 2, "11-": 1}})";

TEST(LimitSets, OrderKeys) {
    auto s = parseLimitSet(kGood, "mine.json");
    ASSERT_TRUE(s) << s.error();
    EXPECT_EQ(s->limitFor(5), 3);
    EXPECT_EQ(s->limitFor(7), 2);
    EXPECT_EQ(s->limitFor(9), 2);
    EXPECT_EQ(s->limitFor(10), std::nullopt);
    EXPECT_EQ(s->limitFor(256), 1);
    EXPECT_EQ(s->total, 4);
}

TEST(LimitSets, BadFilesNameFileAndField) {
    struct Case {
        std::string text;
        const char* field;  // in the message
    };
    const std::string head =
        R"({"name": "x", "title": "t", "source": "s", "edition": "e", "check": "c", )";
    const Case cases[] = {
        {"{not json", "JSON"},
        {"[1, 2]", "オブジェクト"},
        {R"({"title": "t"})", "\"name\""},
        {head + R"("quantity": "power", "total": 5})", "\"quantity\""},
        {head + R"("quantity": "voltage_distortion", "statistic": "p90", "total": 5})",
         "\"statistic\""},
        {head + R"("quantity": "voltage_distortion", "total": -5})", "\"total\""},
        {head + R"("quantity": "voltage_distortion", "total": "5"})", "\"total\""},
        {head + R"("quantity": "voltage_distortion", "orders": {"x": 1}})", "\"orders.x\""},
        {head + R"("quantity": "voltage_distortion", "orders": {"9-5": 1}})", "\"orders.9-5\""},
        {head + R"("quantity": "voltage_distortion", "orders": {"0": 1}})", "\"orders.0\""},
        {head + R"("quantity": "voltage_distortion", "orders": {"5": 0}})", "\"orders.5\""},
        {head + R"("quantity": "voltage_distortion", "orders": [1]})", "\"orders\""},
        // Two entries holding one order, and fields no set has, are named, never guessed at.
        {head + R"("quantity": "voltage_distortion", "orders": {"5": 1.0, "3-49": 5}})",
         "\"3-49\" と \"5\" は同じ次数"},
        {head + R"("quantity": "voltage_distortion", "orders": {"24-": 1, "30-40": 2}})",
         "\"24-\" と \"30-40\""},
        {head + R"("quantity": "voltage_distortion", "total": 5, "totl": 4, "windw": 1})",
         "\"totl\", \"windw\""},
        {head + R"("quantity": "voltage_distortion", "total": 5, "conditions": [{"statistic":)"
                R"( "p95", "factr": 1}]})",
         "\"conditions.factr\""},
        {head + R"("quantity": "voltage_distortion"})", "\"orders\""},
        {head + R"("quantity": "current_per_kw", "orders": {"5": 1}})", "\"receiving_kv\""},
        {head +
             R"("quantity": "current_per_kw", "receiving_kv": 6.6, "total": 1, "orders": {"5": 1}})",
         "\"total\""},
        // Beyond physical reason: a distortion over 100 %, a current per kW of 1e308.
        {head + R"("quantity": "voltage_distortion", "orders": {"5": 101}})", "100 以下"},
        {head + R"("quantity": "current_per_kw", "receiving_kv": 6.6, "orders": {"5": 1e308}})",
         "\"orders.5\""},
        {head + R"("quantity": "current_per_kw", "receiving_kv": 1e6, "orders": {"5": 1}})",
         "\"receiving_kv\""},
        // Past 1 MB, or nesting past 16 levels, is refused before anything is parsed.
        {std::string(1'000'000, '['), "入れ子"},
        {std::string(5'000'000, '['), "大きすぎます"},
        {head + R"("quantity": "voltage_distortion", "total": 5, "x": )" + std::string(17, '[') +
             std::string(17, ']') + "}",
         "入れ子"},
    };
    for (const Case& c : cases) {
        auto s = parseLimitSet(c.text, "bad.json");
        ASSERT_FALSE(s) << c.text;
        EXPECT_NE(s.error().find("bad.json"), std::string::npos) << s.error();
        EXPECT_NE(s.error().find(c.field), std::string::npos) << s.error();
    }
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(LimitSets, UserFolderAddsAndReplaces) {
    const std::string user = test::scratchPath("user-limits");
    std::filesystem::create_directories(user);
    std::string replaced = kGood;
    replaced.replace(replaced.find("\"mine\""), 6, "\"jp-env-6.6kV\"");
    writeText(user + "/a.json", kGood);
    writeText(user + "/b.json", replaced);
    writeText(user + "/c.json", "{broken");
    writeText(user + "/notes.txt", "not a set");
    // Only regular files of at most 1 MB are read: a FIFO would block the run, a link to an
    // endless device would feed it for ever.
    for (const char* name : {"/d.json", "/e.json"}) std::filesystem::remove(user + name);
    ASSERT_EQ(::mkfifo((user + "/d.json").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", user + "/e.json");
    writeText(user + "/f.json", std::string((1 << 20) + 1, ' '));
    const LimitCatalogue c =
        loadLimitSets({HARMO_LIMITS_DIR, user, test::scratchPath("no-such-folder")});
    ASSERT_EQ(c.problems.size(), 4u);
    for (const auto& [n, part] : {std::pair{0, "c.json: は JSON"},
                                  {1, "d.json: は通常のファイルでは"},
                                  {2, "e.json: は通常のファイルでは"},
                                  {3, "f.json: は大きすぎます"}})
        EXPECT_NE(c.problems[static_cast<std::size_t>(n)].find(part), std::string::npos)
            << c.problems[static_cast<std::size_t>(n)];
    EXPECT_EQ(c.sets.size(), shipped().sets.size() + 1);
    ASSERT_NE(c.find("mine"), nullptr);
    EXPECT_EQ(c.find("jp-env-6.6kV")->total, 4);
    EXPECT_EQ(c.find("jp-env-6.6kV")->file, user + "/b.json");
    EXPECT_EQ(c.find("jp-env-ehv")->total, 3);
}

TEST(LimitSets, BrokenReplacementRefusesTheSet) {
    // A user file replacing a shipped set that cannot be read: the set is refused with the
    // reason, never judged with the shipped limits; a later good file takes the name back.
    const std::string user = test::scratchPath("broken-limits");
    const std::string later = test::scratchPath("later-limits");
    for (const std::string& f : {user, later}) std::filesystem::create_directories(f);
    writeText(user + "/jp-env-ehv.json", "{broken");  // claimed by its file name
    writeText(user + "/other.json", R"({"name": "iec61000-2-2", "total": 8})");  // by its field
    LimitCatalogue c = loadLimitSets({HARMO_LIMITS_DIR, user});
    for (const char* name : {"jp-env-ehv", "iec61000-2-2"}) {
        EXPECT_EQ(c.find(name), nullptr) << name;
        auto chosen = c.choose(name);
        ASSERT_FALSE(chosen) << name;
        EXPECT_NE(chosen.error().find("判定しません"), std::string::npos) << chosen.error();
    }
    EXPECT_TRUE(c.choose("jp-env-6.6kV"));
    std::string ehv = kGood;
    ehv.replace(ehv.find("\"mine\""), 6, "\"jp-env-ehv\"");
    writeText(later + "/ehv.json", ehv);
    c = loadLimitSets({HARMO_LIMITS_DIR, user, later});
    ASSERT_TRUE(c.choose("jp-env-ehv"));
    EXPECT_EQ((*c.choose("jp-env-ehv"))->total, 4);
}

TEST(LimitSets, FileHash) {
    // Published test vectors, and the hash of a set being that of its file's bytes.
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    const auto set = parseLimitSet(kGood, "mine.json");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->sha256, sha256Hex(kGood));
}

TEST(LimitSets, Folders) {
    const auto folders = limitFolders("/opt/hg/bin/harmograph");
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], "/opt/hg/share/harmograph/limits");
    EXPECT_EQ(folders[1], "/opt/hg/bin/limits");
}

}  // namespace
}  // namespace hg
