#include "datafile/CalibrationDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "datafile/Backups.h"
#include "tests/datafile/Scratch.h"

namespace qv {
namespace {

using Json = nlohmann::json;

TEST(CalibrationDocument, HoldsEveryByteOfADataFileAndOfTheRadio) {
    CalibrationDocument document{.record = distinctive(), .radio = RadioOrigin{}};
    document.radio->model = "QV-4120";
    document.radio->version = "01.02";
    document.radio->port = "/dev/ttyUSB0";
    for (std::size_t k = 0; k < CalibrationRecord::kMemorySize; ++k) {
        document.radio->memory.setByte(k, static_cast<std::uint8_t>(255 - k));
    }
    const std::string text = toJson(document);
    const Json json = Json::parse(text);
    EXPECT_EQ(json["fields"][68], (Json{{"index", 68},
                                        {"page", "S-Meter"},
                                        {"caption", "UL SQ 1"},
                                        {"value", document.record.UlSq[0]}}));
    EXPECT_EQ(json["memory"][7].get<std::string>().substr(0, 8), "8F 8E 8D");
    const auto read = fromJson(text);
    ASSERT_TRUE(read) << read.error().reason;
    const CalibrationDocument& again = *read;
    EXPECT_EQ(again.record, document.record);
    ASSERT_TRUE(again.radio);
    EXPECT_EQ(again.radio->model, "QV-4120");
    EXPECT_EQ(again.radio->port, "/dev/ttyUSB0");
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(again.radio->memory.byte(k), document.radio->memory.byte(k)) << k;
    }
}

// Whatever bytes a radio sends for its model and version, its document is JSON, names them
// escaped, and gives them back; its backup is named by them escaped, in safe characters only.
TEST(CalibrationDocument, AnyBytesARadioSendsAreKeptEscaped) {
    const ScratchFolder dir("document");
    struct Case {
        std::string model;
        std::string version;
        std::string written;   // the model in the document
        std::string fileName;  // of its backup
    };
    const Case cases[] = {
        {"QV\xFF-4120", "01.02", R"(QV\xFF-4120)", "QV_xFF-4120_01.02_20261207T093000Z_read.json"},
        {"\x1B]0;t\a", "\xC3\xA9.\x80", R"(\x1B]0;t\x07)",
         "_x1B_0_t_x07__xC3_xA9._x80_20261207T093000Z_read.json"},
        {"C:\\a/b", "01.02", R"(C:\\a/b)", "C___a_b_01.02_20261207T093000Z_read.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        CalibrationDocument document{.record = distinctive(), .radio = RadioOrigin{}};
        document.radio->model = c.model;
        document.radio->version = c.version;
        document.radio->time = "2026-12-07T09:30:00Z";
        document.radio->port = "/dev/tty\xFF";
        const Json json = Json::parse(toJson(document));
        EXPECT_EQ(json["radio"]["model"], c.written);
        EXPECT_EQ(json["radio"]["port"], R"(/dev/tty\xFF)");
        ASSERT_TRUE(writeDocument(dir / "radio.json", document));
        CalibrationDocument read;
        ASSERT_TRUE(readDocument(dir / "radio.json", read));
        ASSERT_TRUE(read.radio);
        EXPECT_EQ(read.radio->model, c.model);
        EXPECT_EQ(read.radio->version, c.version);
        const auto kept = keepBackup(dir.path(), *document.radio, "read");
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->filename(), c.fileName);
    }
}

// Each edit of a good document, and the reason the tool gives for refusing it.
TEST(CalibrationDocument, ABadDocumentIsRefusedNamingWhatIsWrong) {
    const Json good = Json::parse(toJson({.record = distinctive(), .radio = std::nullopt}));
    const std::pair<std::function<void(Json&)>, std::string> cases[] = {
        {[](Json& j) { j = Json::array(); }, "not a JSON document"},
        {[](Json& j) { j["format"] = "other"; }, "not a calibration document"},
        {[](Json& j) { j["version"] = 2; }, "version 2"},
        {[](Json& j) { j["fields"].erase(5); },
         "field 5 \"FM LOW POWER\" on page \"FM\" is missing"},
        {[](Json& j) { j["fields"][5]["value"] = 256; },
         "field 5 \"FM LOW POWER\" on page \"FM\" holds 256"},
        {[](Json& j) { j["fields"][60]["value"] = -1; }, "field 60"},
        {[](Json& j) { j["fields"][0]["value"] = "12"; }, "field 0"},
        {[](Json& j) { j["fields"][0]["value"] = 1.5; }, "field 0"},
        {[](Json& j) { j["fields"][1]["index"] = 0; },
         "field 0 \"VF FRQ\" on page \"FREQ\" is listed twice"},
        {[](Json& j) { j["fields"][1]["index"] = 78; }, "no index from 0 to 77"},
        {[](Json& j) { j["reserved"] = "00 11"; }, "\"reserved\" is not 6 bytes"},
        {[](Json& j) { j["memory"] = "0G"; }, "\"memory\" is not 128 bytes"},
    };
    for (const auto& [edit, reason] : cases) {
        Json bad = good;
        edit(bad);
        const auto read = fromJson(bad.dump());
        ASSERT_FALSE(read) << reason;
        EXPECT_NE(read.error().reason.find(reason), std::string::npos) << read.error().reason;
    }
    const auto notJson = fromJson(std::string(118, '\x80'));
    EXPECT_EQ(notJson.error().reason, "not a JSON document");
    Json extra = good;
    extra["note"] = "calibrated on bench 3";
    extra["fields"][0]["unit"] = "Hz";
    EXPECT_TRUE(fromJson(extra.dump()));
}

// A good document with `extra` as the value of a key of its own.
std::string withExtra(const std::string& extra) {
    std::string text = toJson({.record = distinctive(), .radio = std::nullopt});
    return text.insert(text.rfind('}'), R"(, "note": )" + extra);
}

// Lists and objects count as levels wherever they are, brackets inside strings do not; the
// document itself is the first level.
TEST(CalibrationDocument, ADocumentNestedTooDeepIsRefusedBeforeParsing) {
    const auto nested = [](std::size_t levels, const std::string& open, char close) {
        std::string text;
        for (std::size_t k = 0; k < levels; ++k) {
            text += open;
        }
        return text + "1" + std::string(levels, close);
    };
    const std::pair<std::string, bool> cases[] = {
        {nested(60000, "[", ']'), false},
        {nested(16, R"({"a":)", '}'), false},
        {nested(15, "[", ']'), true},
        {'"' + std::string(100, '[') + R"(\\\"{{{{{{{{{{{{{{{{{{{{")", true},
    };
    for (const auto& [extra, loads] : cases) {
        const auto read = fromJson(withExtra(extra));
        EXPECT_EQ(read.has_value(), loads) << extra.substr(0, 40);
        if (!loads) {
            EXPECT_EQ(read.error().reason, "nested deeper than 16 levels");
        }
    }
}

}  // namespace
}  // namespace qv
