// Any file a technician may load, read both as a data file (.bin) and as a calibration document
// (.json): a file that is refused leaves the document as it was, one that loads saves back to
// the same calibration, and saving a data file over itself keeps the file byte for byte.
#include <pthread.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "datafile/CalibrationDocument.h"
#include "fuzz/FuzzSupport.h"

namespace qv::fuzz {
namespace {

// What a load must leave alone when it refuses the file.
CalibrationDocument untouched() {
    CalibrationDocument document;
    document.record.VfFreq = 0xBEEF;
    document.radio =
        RadioOrigin{.model = "untouched", .version = {}, .time = {}, .port = {}, .memory = {}};
    return document;
}

bool isUntouched(const CalibrationDocument& document) {
    return document.record == untouched().record && document.radio &&
           document.radio->model == "untouched";
}

void dataFile(std::string_view bytes) {
    const auto path = scratchFolder() / "input.bin";
    writeFile(path, bytes);
    CalibrationDocument document = untouched();
    const auto loaded = loadCalibration(path, FileKind::DataFile, document);
    if (bytes.size() < FieldRecord::kSize) {
        check(!loaded && isUntouched(document), "a short data file is refused and changes nothing");
        return;
    }
    check(loaded && !document.radio, "a data file of 118 bytes or more loads, without a radio");
    const FieldRecord::Bytes held = document.record.toBytes();
    check(std::string_view(reinterpret_cast<const char*>(held.data()), held.size()) ==
              bytes.substr(0, FieldRecord::kSize),
          "a data file loads its first 118 bytes");
    check(saveCalibration(path, FileKind::DataFile, document) && fileContents(path) == bytes,
          "saving what a data file holds over it keeps every byte");
}

void document(std::string_view text) {
    const auto path = scratchFolder() / "input.json";
    writeFile(path, text);
    CalibrationDocument loaded = untouched();
    if (!loadCalibration(path, FileKind::Document, loaded)) {
        check(isUntouched(loaded), "a refused document changes nothing");
        check(!fromJson(text), "a document refused from its file is refused as text");
        return;
    }
    const std::string written = toJson(loaded);
    const auto again = fromJson(written);
    check(again.has_value(), "a written document reads back");
    const auto& reread = *again;
    check(reread.record == loaded.record && toJson(reread) == written,
          "a document reads back as it was written");
}

// Runs the reader on a stack of 256 KiB: a recursion that a document of a megabyte could drive
// past the tool's 8 MiB stack shows on inputs of a few kilobytes.
void onSmallStack(void (*read)(std::string_view), std::string_view bytes) {
    struct Job {
        void (*read)(std::string_view);
        std::string_view bytes;
    } job{read, bytes};
    pthread_attr_t small;
    pthread_attr_init(&small);
    pthread_attr_setstacksize(&small, std::size_t{256} * 1024);
    pthread_t thread;
    check(pthread_create(
              &thread, &small,
              [](void* job) -> void* {
                  static_cast<Job*>(job)->read(static_cast<Job*>(job)->bytes);
                  return nullptr;
              },
              &job) == 0,
          "a thread to read on");
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&small);
}

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qv::fuzz::dataFile(bytes);
    qv::fuzz::onSmallStack(qv::fuzz::document, bytes);
    return 0;
}
