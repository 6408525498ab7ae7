#pragma once
// Client files in the client's own formats, for test fixtures, the demo's
// sample client directory and the stand-in client. Each writer returns the
// whole file as bytes: 8-bit text, lines ended by a line feed alone, keys in
// the order the client writes them. Every field has a realistic default, so
// a test sets only what it is about. Needs nothing of Skyvane itself.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sample {

// "version.sah": major_version and minor_version (3 and 3: a 3.03 client).
std::string VersionFile(int major = 3, int minor = 3);

struct WorkUnitSpec {
    std::string name = "12mr01aa.31054.4098.683214.82";
    double startRa = 7.4;    // hours
    double startDec = 21.3;  // degrees
    double endRa = 7.6;
    double endDec = 21.2;
    double angleRange = 0.4;              // degrees swept during the recording
    double timeRecorded = 2451981.3562;   // Julian date
    double subbandBase = 1418741455;      // Hz
    double subbandSampleRate = 9765.625;  // Hz
    int fftLen = 2048;
    int ifftLen = 8;
    int subbandNumber = 173;
    std::string receiver = "ao1420";
    std::int64_t nsamples = 1048576;
    int tapeVersion = 2;
    int numPositions = 3;          // coordN lines along the sweep
    std::size_t dataBytes = 2048;  // encoded data after end_seti_header
};

// A work unit: its header, "end_seti_header" and some encoded data.
std::string WorkUnitFile(const WorkUnitSpec& unit = {});

struct UserSpec {
    std::int64_t id = 2718281;
    std::string key = "31415926";
    std::string email = "ann.lovell@example.org";
    std::string name = "Ann Lovell";
    std::string url = "http://www.example.org/~ann";
    std::string country = "Netherlands";
    std::string postalCode = "1012 AB";
    bool showName = true;
    bool showEmail = false;
    double registerTime = 2451387.6043;  // Julian date
    double lastWuTime = 2451981.3671;
    double lastResultTime = 2451980.9125;
    std::int64_t nwus = 312;
    std::int64_t nresults = 298;
    double totalCpu = 3218765.438;  // seconds
};

// "user_info": the user's account and totals.
std::string UserInfoFile(const UserSpec& user = {});

struct StateSpec {
    int ncfft = 41633;               // chirp/fft pairs done
    double cr = 8.517978;            // drift rate reached, Hz/s
    int fl = 8;                      // fft length in progress
    double cpu = 540.268719;         // CPU seconds on this work unit
    double prog = 0.21317534;        // fraction done
    std::int64_t outfilepos = 1436;  // bytes of outfile written
    int pulsePotBins = 500;          // bp_pot, 2 hex digits a bin
    int tripletPotBins = 256;        // bt_pot, 4 hex digits a bin
};

// "state": the progress and the best signal of each kind, about 4 KB.
std::string StateFile(const StateSpec& state = {});

// "Wed Jul 12 00:33:42 2000" for a Julian date (UTC), as the client writes
// dates in words beside Julian dates.
std::string JulianDateWords(double julianDate);

// Creates `directory` (and its parents) and writes a live client directory:
// version.sah, work_unit.sah, user_info.sah and state.sah with the defaults.
// Throws std::runtime_error when a file cannot be written.
void WriteSampleClientDir(const std::string& directory);

}  // namespace sample
