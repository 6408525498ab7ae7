#pragma once
// Client files in the client's own formats, for test fixtures, the demo's
// sample client directory and the stand-in client. Each writer returns the
// whole file as bytes: 8-bit text, lines ended by a line feed alone, keys in
// the order the client writes them. Every field has a realistic default, so
// a test sets only what it is about. Needs nothing of Skyvane itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sample {

// "version.sah": major_version and minor_version (3 and 3: a 3.03 client).
std::string VersionFile(int major = 3, int minor = 3);

struct WorkUnitFields {
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
std::string WorkUnitFile(const WorkUnitFields& unit = {});

struct UserFields {
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
std::string UserInfoFile(const UserFields& user = {});

// The best signal of each kind found so far, as the state file carries it.
// The defaults are a plausible unit a fifth of the way through.
struct BestSpike {
    double power = 193.476;  // scaled to the longest FFT: power / 8 is the shown figure
    double score = 1.325637;
    std::int64_t bin = 70134;
    std::int64_t fftInd = 3;
    double chirpRate = 2.712307;
    int fftLen = 131072;
};

struct BestGaussian {
    double score = -0.884104;
    double sigma = 13.215874;
    double power = 2.741069;  // the peak; power / trueMean is the shown power
    double trueMean = 1.012558;
    double chisq = 1.638273;
    std::int64_t bin = 4127;
    std::int64_t fftInd = 17;
    double chirpRate = -0.513044;
    int fftLen = 64;
    std::vector<double> pot;  // 64 samples in units of the mean; empty: a noisy bump
};

struct BestPulse {
    double score = 0.418822;  // snr / thresh
    double power = 3.105268;
    double mean = 1.000937;
    double period = 3.426893;
    std::int64_t freqBin = 211;
    std::int64_t timeBin = 9;
    double chirpRate = 4.100219;
    int fftLen = 256;
    std::vector<std::uint8_t> pot;  // one byte a bin; empty: pulsePotBins of noise
};

struct BestTriplet {
    double score = 0.000000;
    double power = 12.871324;
    double mean = 1.014227;
    double period = 1.245186;
    double bperiod = 15.935003;
    std::array<std::array<int, 2>, 3> tpotind = {{{12, 13}, {28, 28}, {43, 44}}};
    std::int64_t freqBin = 37;
    std::int64_t timeBin = 2;
    double chirpRate = -1.838201;
    double scale = 0.021553;
    int fftLen = 32;
    std::vector<std::uint16_t> pot;  // two bytes a bin; empty: tripletPotBins of noise
};

struct StateFields {
    int ncfft = 41633;               // chirp/fft pairs done
    double cr = 8.517978;            // drift rate reached, Hz/s
    int fl = 8;                      // fft length in progress
    double cpu = 540.268719;         // CPU seconds on this work unit
    double prog = 0.21317534;        // fraction done
    std::int64_t outfilepos = 1436;  // bytes of outfile written
    int pulsePotBins = 500;          // bp_pot, 2 hex digits a bin
    int tripletPotBins = 256;        // bt_pot, 4 hex digits a bin
    BestSpike bestSpike{};
    BestGaussian bestGaussian{};
    BestPulse bestPulse{};
    BestTriplet bestTriplet{};
};

// "state": the progress and the best signal of each kind, about 4 KB.
std::string StateFile(const StateFields& state = {});

// "Wed Jul 12 00:33:42 2000" for a Julian date (UTC), as the client writes
// dates in words beside Julian dates.
std::string JulianDateWords(double julianDate);

// The value of a date line: a blank, the Julian date with five decimals, a
// blank and the date in words in parentheses: " 2451981.35620 (Mon Mar 12
// 20:32:56 2001)".
std::string JulianDateValue(double julianDate);

// Julian date of a moment given in seconds since 1970-01-01 00:00 UTC.
double JulianDateOfUnixTime(double unixSeconds);

// Signal lines, as the client appends them to "outfile" and copies them into
// "result": one line each, ended by a line feed, keys in the client's order.
// Times are Julian dates, frequencies Hz, drift rates Hz/s, RA hours, Dec
// degrees.
struct SpikeSignal {
    double power = 24.116882;  // as the FFT gives it; grows with fftLen
    double ra = 7.5;
    double dec = 21.25;
    double time = 2451981.356829;
    double freq = 1418745210.227335;
    int fftLen = 16384;
    double chirpRate = 0.0;
};
std::string SpikeLine(const SpikeSignal& spike);

struct GaussianSignal {
    double peak = 3.166201;  // peak / mean is the gaussian's power
    double mean = 1.010428;
    double ra = 7.5;
    double dec = 21.25;
    double time = 2451981.356829;
    double freq = 1418745210.227335;
    double sigma = 8.441237;  // seconds
    double chisqr = 1.823351;
    int fftLen = 64;
    double chirpRate = 0.0;
    double maxPower = 4.012733;     // the power a pot byte of 255 stands for
    std::vector<std::uint8_t> pot;  // 64 samples over the recording
    bool withPot = true;            // older clients end the line after chirprate
};
std::string GaussianLine(const GaussianSignal& gaussian);

struct TripletSignal {
    double power = 11.207742;
    double mean = 0.998412;
    double period = 2.403412;  // seconds
    double ra = 7.5;
    double dec = 21.25;
    double time = 2451981.356829;
    double freq = 1418745210.227335;
    int fftLen = 512;
    double chirpRate = 0.0;
};
std::string TripletLine(const TripletSignal& triplet);

struct PulseSignal {
    double power = 4.625519;
    double mean = 1.002313;
    double period = 6.782301;  // seconds
    double ra = 7.5;
    double dec = 21.25;
    double time = 2451981.356829;
    double freq = 1418745210.227335;
    int fftLen = 256;
    double chirpRate = 0.0;
    double snr = 17.215537;
    double thresh = 16.084923;
    std::vector<std::uint8_t> prof;  // the folded profile; len_prof is its length
};
std::string PulseLine(const PulseSignal& pulse);

// "result": what the client leaves when a work unit is finished. A first
// line of its own (long enough that byte 20 lies inside it, where readers of
// finished results begin), the version lines, the work unit's header lines
// from "name" to "end_seti_header" (its "type" line and its data left out),
// the final state and every signal line. The version lines come first so
// that a reader walking forward finds the version before the header's name
// and time_recorded.
std::string ResultFile(std::string_view workUnit, int major, int minor, std::string_view state,
                       std::string_view signalLines);
std::string ResultFile(const WorkUnitFields& unit = {}, const StateFields& state = {},
                       std::string_view signalLines = {});

// The first line of every result file.
inline constexpr std::string_view kResultFirstLine = "type=result of work unit\n";

// "config.bin" of the windowed client: one record of 680 bytes. Byte 16 is
// the flag another program may set to 0 or 1; the rest is zero.
inline constexpr std::size_t kConfigBinSize = 680;
std::string ConfigBinFile(std::uint8_t flag = 1);

// Creates `directory` (and its parents) and writes a live client directory:
// version.sah, work_unit.sah, user_info.sah and state.sah with the defaults.
// Throws std::runtime_error when a file cannot be written.
void WriteSampleClientDir(const std::string& directory);

}  // namespace sample
