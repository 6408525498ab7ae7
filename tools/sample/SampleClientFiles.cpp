#include "sample/SampleClientFiles.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace sample {

namespace {

// Numbers are written with to_chars so that the files never follow the
// locale of the program that writes them: the client always writes ".".
std::string Fixed(double x, int decimals) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                   std::chars_format::fixed, decimals);
    if (ec != std::errc{}) return "0";
    return std::string(buffer.data(), end);
}

// As short as the value allows: "9765.625", "1418741455".
std::string Shortest(double x) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x);
    if (ec != std::errc{}) return "0";
    return std::string(buffer.data(), end);
}

std::string Scientific(double x, int decimals) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                   std::chars_format::scientific, decimals);
    if (ec != std::errc{}) return "0";
    return std::string(buffer.data(), end);
}

std::string Line(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    line += '\n';
    return line;
}

std::string Line(std::string_view key, std::int64_t value) {
    return Line(key, std::to_string(value));
}

// A Julian date line: "key= 2451981.35620 (Mon Mar 12 20:32:55 2001)".
std::string DateLine(std::string_view key, double julianDate) {
    return Line(key, JulianDateValue(julianDate));
}

// Deterministic noise, the same on every machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() % 1000000) / 1000000.0; }

private:
    std::uint32_t state_;
};

std::string Hex(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return text;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::string JulianDateWords(double julianDate) {
    using namespace std::chrono;
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    // Julian date 2440587.5 is 1970-01-01 00:00 UTC.
    const auto unixSeconds =
        static_cast<std::int64_t>(std::floor((julianDate - 2440587.5) * 86400 + 0.5));
    const sys_seconds moment{seconds{unixSeconds}};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss<seconds> time{moment - day};
    auto two = [](long n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    std::string words = kDays[weekday{day}.c_encoding()];
    words += ' ';
    words += kMonths[static_cast<unsigned>(date.month()) - 1];
    words += ' ' + two(static_cast<unsigned>(date.day()));
    words += ' ' + two(time.hours().count()) + ':' + two(time.minutes().count()) + ':' +
             two(time.seconds().count());
    words += ' ' + std::to_string(static_cast<int>(date.year()));
    return words;
}

std::string VersionFile(int major, int minor) {
    return Line("major_version", major) + Line("minor_version", minor);
}

std::string WorkUnitFile(const WorkUnitFields& unit) {
    std::string text;
    text += Line("type", "work unit");
    text += Line("name", unit.name);
    text += Line("start_ra", Fixed(unit.startRa, 6));
    text += Line("start_dec", Fixed(unit.startDec, 6));
    text += Line("end_ra", Fixed(unit.endRa, 6));
    text += Line("end_dec", Fixed(unit.endDec, 6));
    text += Line("angle_range", Fixed(unit.angleRange, 6));
    text += DateLine("time_recorded", unit.timeRecorded);
    text += Line("subband_center", Shortest(unit.subbandBase + unit.subbandSampleRate / 2));
    text += Line("subband_base", Shortest(unit.subbandBase));
    text += Line("subband_sample_rate", Shortest(unit.subbandSampleRate));
    text += Line("fft_len", unit.fftLen);
    text += Line("ifft_len", unit.ifftLen);
    text += Line("subband_number", unit.subbandNumber);
    text += Line("receiver", unit.receiver);
    text += Line("nsamples", unit.nsamples);
    text += Line("tape_version", unit.tapeVersion);
    text += Line("num_positions", unit.numPositions);
    // The telescope's pointing along the recording: time, RA, Dec.
    const double seconds = static_cast<double>(unit.nsamples) / unit.subbandSampleRate;
    for (int i = 0; i < unit.numPositions; ++i) {
        const double t =
            unit.numPositions > 1 ? static_cast<double>(i) / (unit.numPositions - 1) : 0;
        text += Line("coord" + std::to_string(i),
                     Fixed(unit.timeRecorded + t * seconds / 86400, 6) + " " +
                         Fixed(unit.startRa + t * (unit.endRa - unit.startRa), 6) + " " +
                         Fixed(unit.startDec + t * (unit.endDec - unit.startDec), 6));
    }
    text += "end_seti_header\n";

    // The samples, six bits a character, 64 characters a line.
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    Noise noise(0x5e71u);
    for (std::size_t i = 0; i < unit.dataBytes; ++i)
        text += (i % 65 == 64) ? '\n' : kAlphabet[noise.Next() % 64];
    if (unit.dataBytes > 0) text += '\n';
    return text;
}

std::string UserInfoFile(const UserFields& user) {
    std::string text;
    text += Line("id", user.id);
    text += Line("key", user.key);
    text += Line("email_addr", user.email);
    text += Line("name", user.name);
    text += Line("url", user.url);
    text += Line("country", user.country);
    text += Line("postal_code", user.postalCode);
    text += Line("show_name", user.showName ? "yes" : "no");
    text += Line("show_email", user.showEmail ? "yes" : "no");
    text += DateLine("register_time", user.registerTime);
    text += DateLine("last_wu_time", user.lastWuTime);
    text += DateLine("last_result_time", user.lastResultTime);
    text += Line("nwus", user.nwus);
    text += Line("nresults", user.nresults);
    text += Line("total_cpu", Fixed(user.totalCpu, 6));
    return text;
}

std::string StateFile(const StateFields& state) {
    Noise noise(0xa11cu);
    std::string text;
    text += Line("ncfft", state.ncfft);
    text += Line("cr", Scientific(state.cr, 6));
    text += Line("fl", state.fl);
    text += Line("cpu", Fixed(state.cpu, 6));
    text += Line("prog", Fixed(state.prog, 8));
    text += Line("potfreq", -1);
    text += Line("potactivity", 0);
    text += Line("outfilepos", state.outfilepos);

    const BestSpike& spike = state.bestSpike;
    text += Line("bs_power", Fixed(spike.power, 6));
    text += Line("bs_score", Fixed(spike.score, 6));
    text += Line("bs_bin", spike.bin);
    text += Line("bs_fft_ind", spike.fftInd);
    text += Line("bs_chirp_rate", Fixed(spike.chirpRate, 6));
    text += Line("bs_fft_len", spike.fftLen);

    // Best gaussian, with its power over time.
    const BestGaussian& gaussian = state.bestGaussian;
    text += Line("bg_score", Fixed(gaussian.score, 6));
    text += Line("bg_sigma", Fixed(gaussian.sigma, 6));
    text += Line("bg_power", Fixed(gaussian.power, 6));
    text += Line("bg_true_mean", Fixed(gaussian.trueMean, 6));
    text += Line("bg_chisq", Fixed(gaussian.chisq, 6));
    text += Line("bg_bin", gaussian.bin);
    text += Line("bg_fft_ind", gaussian.fftInd);
    text += Line("bg_chirp_rate", Fixed(gaussian.chirpRate, 6));
    text += Line("bg_fft_len", gaussian.fftLen);
    for (int i = 0; i < 64; ++i) {
        double pot = 0;
        if (gaussian.pot.empty()) {
            const double x = (i - 31.5) / 13.215874;
            pot = 1 + 1.7 * std::exp(-x * x / 2) + 0.4 * (noise.Unit() - 0.5);
        } else if (static_cast<std::size_t>(i) < gaussian.pot.size()) {
            pot = gaussian.pot[static_cast<std::size_t>(i)];
        }
        text += Line("bg_pot " + std::to_string(i), Fixed(pot, 6));
    }

    // Best pulse: its power over time, one byte a bin.
    const BestPulse& pulse = state.bestPulse;
    text += Line("bp_score", Fixed(pulse.score, 6));
    text += Line("bp_power", Fixed(pulse.power, 6));
    text += Line("bp_mean", Fixed(pulse.mean, 6));
    text += Line("bp_period", Fixed(pulse.period, 6));
    text += Line("bp_freq_bin", pulse.freqBin);
    text += Line("bp_time_bin", pulse.timeBin);
    text += Line("bp_chirp_rate", Fixed(pulse.chirpRate, 6));
    text += Line("bp_fft_len", pulse.fftLen);
    std::string pot;
    if (pulse.pot.empty()) {
        for (int i = 0; i < state.pulsePotBins; ++i)
            pot += Hex(40 + noise.Next() % 60, 2);
    } else {
        pot.reserve(pulse.pot.size() * 2);
        for (const std::uint8_t bin : pulse.pot)
            pot += Hex(bin, 2);
    }
    text += Line("bp_pot", pot);

    // Best triplet: three pulses in a row, two bytes a bin.
    const BestTriplet& triplet = state.bestTriplet;
    text += Line("bt_score", Fixed(triplet.score, 6));
    text += Line("bt_power", Fixed(triplet.power, 6));
    text += Line("bt_mean", Fixed(triplet.mean, 6));
    text += Line("bt_period", Fixed(triplet.period, 6));
    text += Line("bt_bperiod", Fixed(triplet.bperiod, 6));
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 2; ++j) {
            text += Line("bt_tpotind" + std::to_string(i) + "_" + std::to_string(j),
                         triplet.tpotind[i][j]);
        }
    }
    text += Line("bt_freq_bin", triplet.freqBin);
    text += Line("bt_time_bin", triplet.timeBin);
    text += Line("bt_chirp_rate", Fixed(triplet.chirpRate, 6));
    text += Line("bt_scale", Fixed(triplet.scale, 6));
    text += Line("bt_fft_len", triplet.fftLen);
    pot.clear();
    if (triplet.pot.empty()) {
        for (int i = 0; i < state.tripletPotBins; ++i)
            pot += Hex(600 + noise.Next() % 1800, 4);
    } else {
        pot.reserve(triplet.pot.size() * 4);
        for (const std::uint16_t bin : triplet.pot)
            pot += Hex(bin, 4);
    }
    text += Line("bt_pot", pot);
    return text;
}

std::string JulianDateValue(double julianDate) {
    return " " + Fixed(julianDate, 5) + " (" + JulianDateWords(julianDate) + ")";
}

double JulianDateOfUnixTime(double unixSeconds) {
    return unixSeconds / 86400 + 2440587.5;
}

std::string SpikeLine(const SpikeSignal& spike) {
    return "spike: power=" + Fixed(spike.power, 6) + " ra=" + Fixed(spike.ra, 6) +
           " dec=" + Fixed(spike.dec, 6) + " time=" + Fixed(spike.time, 6) +
           " freq=" + Fixed(spike.freq, 6) + " fft_len=" + std::to_string(spike.fftLen) +
           " chirp_rate=" + Fixed(spike.chirpRate, 6) + "\n";
}

std::string GaussianLine(const GaussianSignal& gaussian) {
    std::string line = "gaussian: peak=" + Fixed(gaussian.peak, 6) +
                       " mean=" + Fixed(gaussian.mean, 6) + " ra=" + Fixed(gaussian.ra, 6) +
                       " dec=" + Fixed(gaussian.dec, 6) + " time=" + Fixed(gaussian.time, 6) +
                       " freq=" + Fixed(gaussian.freq, 6) + " sigma=" + Fixed(gaussian.sigma, 6) +
                       " chisqr=" + Fixed(gaussian.chisqr, 6) +
                       " fft_len=" + std::to_string(gaussian.fftLen) +
                       " chirprate=" + Fixed(gaussian.chirpRate, 6);
    if (gaussian.withPot) {
        line += " maxpow=" + Fixed(gaussian.maxPower, 6) + " pot=";
        // Always 64 samples: a short vector is padded with zeros.
        for (std::size_t i = 0; i < 64; ++i)
            line += Hex(i < gaussian.pot.size() ? gaussian.pot[i] : 0, 2);
    }
    line += '\n';
    return line;
}

std::string TripletLine(const TripletSignal& triplet) {
    return "triplet: power=" + Fixed(triplet.power, 6) + " mean=" + Fixed(triplet.mean, 6) +
           " period=" + Fixed(triplet.period, 6) + " ra=" + Fixed(triplet.ra, 6) +
           " dec=" + Fixed(triplet.dec, 6) + " time=" + Fixed(triplet.time, 6) +
           " freq=" + Fixed(triplet.freq, 6) + " fft_len=" + std::to_string(triplet.fftLen) +
           " chirp_rate=" + Fixed(triplet.chirpRate, 6) + "\n";
}

std::string PulseLine(const PulseSignal& pulse) {
    std::string line = "pulse: power=" + Fixed(pulse.power, 6) + " mean=" + Fixed(pulse.mean, 6) +
                       " period=" + Fixed(pulse.period, 6) + " ra=" + Fixed(pulse.ra, 6) +
                       " dec=" + Fixed(pulse.dec, 6) + " time=" + Fixed(pulse.time, 6) +
                       " freq=" + Fixed(pulse.freq, 6) +
                       " fft_len=" + std::to_string(pulse.fftLen) +
                       " chirp_rate=" + Fixed(pulse.chirpRate, 6) + " snr=" + Fixed(pulse.snr, 6) +
                       " thresh=" + Fixed(pulse.thresh, 6) +
                       " len_prof=" + std::to_string(pulse.prof.size()) + " prof=";
    line.reserve(line.size() + pulse.prof.size() * 2 + 1);
    for (const std::uint8_t sample : pulse.prof)
        line += Hex(sample, 2);
    line += '\n';
    return line;
}

std::string ResultFile(std::string_view workUnit, int major, int minor, std::string_view state,
                       std::string_view signalLines) {
    std::string text(kResultFirstLine);
    text += VersionFile(major, minor);
    // The header's lines after "type", through "end_seti_header"; a work unit
    // without that line gives all of its lines.
    std::size_t pos = 0;
    bool first = true;
    while (pos < workUnit.size()) {
        std::size_t end = workUnit.find('\n', pos);
        end = end == std::string_view::npos ? workUnit.size() : end + 1;
        const std::string_view line = workUnit.substr(pos, end - pos);
        pos = end;
        if (first && line.starts_with("type=")) {
            first = false;
            continue;
        }
        first = false;
        text += line;
        if (!line.empty() && line.back() != '\n') text += '\n';
        if (line.starts_with("end_seti_header")) break;
    }
    text += state;
    text += signalLines;
    return text;
}

std::string ResultFile(const WorkUnitFields& unit, const StateFields& state,
                       std::string_view signalLines) {
    WorkUnitFields header = unit;
    header.dataBytes = 0;
    return ResultFile(WorkUnitFile(header), 3, 3, StateFile(state), signalLines);
}

std::string ConfigBinFile(std::uint8_t flag) {
    std::string record(kConfigBinSize, '\0');
    record[16] = static_cast<char>(flag);
    return record;
}

void WriteSampleClientDir(const std::string& directory) {
    const std::filesystem::path dir(directory);
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) throw std::runtime_error("cannot create " + directory + ": " + error.message());
    WriteBytes(dir / "version.sah", VersionFile());
    WriteBytes(dir / "work_unit.sah", WorkUnitFile());
    WriteBytes(dir / "user_info.sah", UserInfoFile());
    WriteBytes(dir / "state.sah", StateFile());
}

}  // namespace sample
