// The settings record and the archive counter, both written by this program
// but open to any editor and any disk fault. Whatever is read must write
// back to bytes that read the same.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "history/ArchiveCounter.h"
#include "history/SettingsRecord.h"
#include "support/MemoryFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    std::string record(input.substr(0, history::kSettingsRecordSize));
    record.resize(history::kSettingsRecordSize, '\0');
    history::HasCurrentSettingsVersion(input);
    const history::TSettingsRec values = history::DecodeSettingsRecord(record);
    const std::string encoded = history::EncodeSettingsRecord(values);
    if (encoded.size() != history::kSettingsRecordSize) std::abort();
    if (!(history::DecodeSettingsRecord(encoded) == values)) std::abort();

    testsupport::MemoryFiles files;
    files.AddFile("/mem/program/old/seti3.txt", "x");
    const history::CounterReading counter =
        history::ParseArchiveCounter(files, "/mem/program/", input);
    if (counter.count) {
        if (*counter.count < 0 || !counter.error.empty()) std::abort();
        const history::CounterReading again = history::ParseArchiveCounter(
            files, "/mem/program/", history::ArchiveCounterText(*counter.count));
        if (again.count != counter.count) std::abort();
    } else if (counter.error.empty()) {
        std::abort();
    }
    return 0;
}
