// Writes the fuzzers' starting corpora from the sample client files: a
// sound client directory with its archive, signal files of every kind, the
// settings record and the counter. Usage: skyvane_fuzz_seeds DIR

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "history/ArchiveCounter.h"
#include "history/SettingsRecord.h"
#include "sample/SampleClientFiles.h"

namespace {

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string SignalLines() {
    return sample::SpikeLine({}) + sample::GaussianLine({}) + sample::TripletLine({}) +
           sample::PulseLine({.prof = {1, 2, 3, 4, 5, 6, 7, 8}}) + sample::SpikeLine({.power = 40});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: skyvane_fuzz_seeds DIR\n";
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::string lines = SignalLines();
    const std::string result = sample::ResultFile({}, {}, lines);

    // The part order of ClientDirInput.h.
    const std::vector<std::string> live = {sample::WorkUnitFile(), sample::StateFile(), lines, "",
                                           sample::VersionFile(), sample::UserInfoFile(),
                                           history::ArchiveCounterText(2), result, result};
    std::vector<std::string> finished = live;
    finished[3] = result;
    for (const char* harness : {"clientdir", "readers"}) {
        Write(root / harness / "live", fuzzing::JoinParts(live));
        Write(root / harness / "finished", fuzzing::JoinParts(finished));
    }

    const std::string seed(8, '\x5a');
    Write(root / "resultfile" / "lines", seed + lines);
    Write(root / "resultfile" / "result", seed + result);

    // A flags byte, then archives: a name line and the file's bytes. The
    // second seed's last part stands in for archive 2.
    const std::string flat(1, '\0');
    Write(root / "totals" / "archives",
          flat + fuzzing::JoinParts({"seti1.txt\n" + result, "seti2.txt\n" + result,
                                     "SETI7.TXT\n" + result, "seti12.txt\nname=damaged\n" + lines}));
    Write(root / "totals" / "standin",
          std::string(1, static_cast<char>(4 | 2 << 3)) +
              fuzzing::JoinParts({"seti1.txt\n" + result, "seti3.txt\n" + result, "", "", "",
                                  result}));

    Write(root / "settings" / "record", history::EncodeSettingsRecord({}));
    Write(root / "settings" / "counter", history::ArchiveCounterText(12));
    return 0;
}
