#include "CalibrationDocument.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <span>
#include <vector>

#include "datafile/DataFile.h"
#include "record/FieldCatalogue.h"
#include "record/PlainText.h"

namespace qv {

namespace {

using Json = nlohmann::ordered_json;

// The largest document worth reading: a real one is about 8 KiB.
constexpr std::size_t kMostDocumentBytes = 1 << 20;

// Exactly `count` bytes written as hexadecimal pairs, blanks between them allowed.
std::optional<std::vector<std::uint8_t>> fromHex(const std::string& text, std::size_t count) {
    std::vector<std::uint8_t> bytes;
    std::string pair;
    for (char c : text) {
        if (c == ' ') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        pair += c;
        if (pair.size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
            pair.clear();
        }
    }
    if (!pair.empty() || bytes.size() != count) {
        return std::nullopt;
    }
    return bytes;
}

// A value as a message quotes it, short.
std::string quoted(const Json& value) {
    constexpr std::size_t kMostChars = 120;
    const std::string text = value.dump(-1, ' ', true);
    return text.size() <= kMostChars ? text : text.substr(0, kMostChars - 3) + "...";
}

// A document nests three levels (the fields' list of objects); the JSON library builds and
// copies a value recursively, once a level, so a deeper text is refused before it is parsed.
constexpr int kMostLevels = 16;

// Whether the text opens more than `levels` lists and objects inside each other, strings
// (with their escapes) aside.
bool nestsDeeperThan(std::string_view text, int levels) {
    int depth = 0;
    bool inString = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (inString) {
            k += c == '\\' ? 1 : 0;
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > levels) {
                return true;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

// The value at `key`, or null; never a copy, since copying a crafted value recurses once a level.
const Json& valueAt(const Json& json, const char* key) {
    static const Json kNone;
    const auto it = json.find(key);
    return it != json.end() ? *it : kNone;
}

// Bytes as escapeBytes wrote them: "\\" is a backslash and "\xHH" a byte; other text stays.
std::string unescapeBytes(std::string_view text) {
    std::string bytes;
    for (std::size_t k = 0; k < text.size();) {
        const std::string_view rest = text.substr(k);
        if (rest.starts_with("\\\\")) {
            bytes += '\\';
            k += 2;
        } else if (rest.size() >= 4 && rest.starts_with("\\x") &&
                   std::isxdigit(static_cast<unsigned char>(rest[2])) &&
                   std::isxdigit(static_cast<unsigned char>(rest[3]))) {
            bytes += static_cast<char>(std::stoi(std::string(rest.substr(2, 2)), nullptr, 16));
            k += 4;
        } else {
            bytes += text[k++];
        }
    }
    return bytes;
}

std::string textOf(const Json& json, const char* key) {
    const auto it = json.find(key);
    return it != json.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::optional<std::string> readFields(const Json& fields, FieldRecord& record) {
    if (!fields.is_array()) {
        return "\"fields\" is not a list";
    }
    std::vector<bool> seen(kFieldCount, false);
    for (const Json& field : fields) {
        const auto index = field.is_object() ? field.find("index") : field.end();
        if (index == field.end() || !index->is_number_integer() || *index < 0 ||
            *index >= kFieldCount) {
            return "a field has no index from 0 to 77: " + quoted(field);
        }
        const int i = index->get<int>();
        if (seen[static_cast<std::size_t>(i)]) {
            return "the " + describeField(i) + " is listed twice";
        }
        seen[static_cast<std::size_t>(i)] = true;
        const FieldInfo& f = fieldInfo(i);
        const auto value = field.find("value");
        if (value == field.end() || !value->is_number_integer() || *value < 0 ||
            *value > f.memberMax()) {
            return "the " + describeField(i) + " holds " +
                   (value == field.end() ? std::string("no value") : quoted(*value)) +
                   ", not a whole number from 0 to " + std::to_string(f.memberMax());
        }
        record.setMember(f.offset, f.size, value->get<std::uint16_t>());
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (!seen[static_cast<std::size_t>(i)]) {
            return "the " + describeField(i) + " is missing";
        }
    }
    return std::nullopt;
}

std::optional<std::string> readRadio(const Json& json, std::optional<RadioOrigin>& radio) {
    const auto memory = json.find("memory");
    if (memory == json.end()) {
        return std::nullopt;
    }
    std::string text;
    const auto addLine = [&](const Json& line) {
        text += line.is_string() ? line.get<std::string>() + " " : std::string("?");
    };
    if (memory->is_array()) {
        std::for_each(memory->begin(), memory->end(), addLine);
    } else {
        addLine(*memory);
    }
    const auto bytes = fromHex(text, CalibrationRecord::kMemorySize);
    if (!bytes) {
        return "\"memory\" is not 128 bytes in hexadecimal";
    }
    RadioOrigin origin;
    for (std::size_t k = 0; k < bytes->size(); ++k) {
        origin.memory.setByte(k, (*bytes)[k]);
    }
    const Json& from = valueAt(json, "radio");
    origin.model = unescapeBytes(textOf(from, "model"));
    origin.version = unescapeBytes(textOf(from, "version"));
    origin.time = textOf(from, "time");
    origin.port = textOf(from, "port");
    radio = std::move(origin);
    return std::nullopt;
}

Failed notADocument(std::string reason, const std::filesystem::path& path = {}) {
    return fail({Failure::Kind::File, std::move(reason), path});
}

// Saves the document's text with `save`. Whatever the JSON library throws ends here as a
// reason, so that no document, nor anything a radio sent into it, can end the tool.
template <typename Save>
auto savedAsJson(const std::filesystem::path& path, const CalibrationDocument& document,
                 const Save& save) -> decltype(save(std::span<const std::uint8_t>())) {
    std::string text;
    try {
        text = toJson(document);
    } catch (const Json::exception& error) {
        return fail({Failure::Kind::File, error.what(), path});
    }
    return save(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// Indented like any JSON text, but a list holds one item a line, so that a change of one value
// is a change of one line under version control.
std::string layOut(const Json& json) {
    std::string text = "{";
    const char* separator = "\n";
    for (const auto& [key, value] : json.items()) {
        text += separator + std::string("  ") + Json(key).dump() + ": ";
        if (value.is_array()) {
            text += "[";
            const char* itemSeparator = "\n";
            for (const Json& item : value) {
                text += itemSeparator + std::string("    ") + item.dump(-1, ' ', false);
                itemSeparator = ",\n";
            }
            text += "\n  ]";
        } else {
            std::string nested = value.dump(2);
            for (std::size_t at = nested.find('\n'); at != std::string::npos;
                 at = nested.find('\n', at + 1)) {
                nested.insert(at + 1, "  ");
            }
            text += nested;
        }
        separator = ",\n";
    }
    return text + "\n}\n";
}

}  // namespace

std::string toJson(const CalibrationDocument& document) {
    Json json;
    json["format"] = kDocumentFormat;
    json["version"] = kDocumentVersion;
    if (document.radio) {
        // The radio's bytes kept exactly, whatever it sent; the port's name kept readable.
        json["radio"] = {{"model", escapeBytes(document.radio->model)},
                         {"version", escapeBytes(document.radio->version)},
                         {"time", escapeControls(document.radio->time)},
                         {"port", escapeControls(document.radio->port)}};
    }
    Json fields = Json::array();
    for (const FieldInfo& f : catalogue()) {
        fields.push_back({{"index", f.index},
                          {"page", pageCaption(f.page)},
                          {"caption", fieldName(f.index)},
                          {"value", document.record.member(f.offset, f.size)}});
    }
    json["fields"] = std::move(fields);
    json["reserved"] = hexText(document.record.Reserved);
    if (document.radio) {
        // One line a block, as the radio holds it.
        Json memory = Json::array();
        for (std::size_t block = 0; block < CalibrationRecord::kMemorySize; block += 16) {
            std::vector<std::uint8_t> bytes(16);
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                bytes[k] = document.radio->memory.byte(block + k);
            }
            memory.push_back(hexText(bytes));
        }
        json["memory"] = std::move(memory);
    }
    return layOut(json);
}

Result<CalibrationDocument> fromJson(std::string_view text) {
    if (nestsDeeperThan(text, kMostLevels)) {
        return notADocument("nested deeper than " + std::to_string(kMostLevels) + " levels");
    }
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return notADocument("not a JSON document");
    }
    if (textOf(json, "format") != kDocumentFormat) {
        return notADocument("not a calibration document: \"format\" is not \"" +
                            std::string(kDocumentFormat) + "\"");
    }
    const auto version = json.find("version");
    if (version == json.end() || *version != kDocumentVersion) {
        return notADocument("a document of version " +
                            (version == json.end() ? "none" : quoted(*version)) +
                            "; this tool reads version " + std::to_string(kDocumentVersion));
    }
    CalibrationDocument document;
    if (auto error = readFields(valueAt(json, "fields"), document.record)) {
        return notADocument(std::move(*error));
    }
    if (json.contains("reserved")) {
        const auto reserved =
            json["reserved"].is_string()
                ? fromHex(json["reserved"].get<std::string>(), document.record.Reserved.size())
                : std::nullopt;
        if (!reserved) {
            return notADocument("\"reserved\" is not 6 bytes in hexadecimal");
        }
        std::copy(reserved->begin(), reserved->end(), document.record.Reserved.begin());
    }
    if (auto error = readRadio(json, document.radio)) {
        return notADocument(std::move(*error));
    }
    return document;
}

Result<void> writeDocument(const std::filesystem::path& path, const CalibrationDocument& document) {
    return savedAsJson(path, document,
                       [&](std::span<const std::uint8_t> text) { return replaceFile(path, text); });
}

Result<std::filesystem::path> createDocument(const std::filesystem::path& folder,
                                             const std::function<std::string(int)>& nameOf,
                                             const CalibrationDocument& document) {
    return savedAsJson(folder, document, [&](std::span<const std::uint8_t> text) {
        return createUniqueFile(folder, nameOf, text);
    });
}

Result<void> readDocument(const std::filesystem::path& path, CalibrationDocument& document) {
    std::vector<std::uint8_t> bytes;
    if (auto read = readFile(path, kMostDocumentBytes + 1, bytes); !read) {
        return read;
    }
    if (bytes.size() > kMostDocumentBytes) {
        return notADocument("too large for a calibration document", path);
    }
    auto read =
        fromJson(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!read) {
        return notADocument(std::move(read).error().reason, path);
    }
    document = *std::move(read);
    return {};
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, text.empty() ? "%02X" : " %02X", b);
        text += digits;
    }
    return text;
}

std::optional<FileKind> fileKindOf(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bin") {
        return FileKind::DataFile;
    }
    if (extension == ".json") {
        return FileKind::Document;
    }
    return std::nullopt;
}

Result<void> loadCalibration(const std::filesystem::path& path, FileKind kind,
                             CalibrationDocument& document) {
    if (kind == FileKind::Document) {
        return readDocument(path, document);
    }
    CalibrationDocument loaded;
    if (auto read = readDataFile(path, loaded.record); !read) {
        return read;
    }
    document = std::move(loaded);
    return {};
}

Result<void> saveCalibration(const std::filesystem::path& path, FileKind kind,
                             const CalibrationDocument& document) {
    return kind == FileKind::Document ? writeDocument(path, document)
                                      : writeDataFile(path, document.record);
}

}  // namespace qv
