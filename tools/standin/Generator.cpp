#include "standin/Generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace standin {

namespace {

// Values are rounded to the six decimals the files show before anything is
// derived from them, so that what the state file says about the best signal
// agrees with what a reader computes from the signal's line.
double Round6(double x) {
    return std::round(x * 1e6) / 1e6;
}

std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
    Random random(a ^ (b * 0x9e3779b97f4a7c15ull));
    random.Next();
    return random.Next();
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool ToDouble(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end != text.data();
}

// An RA that stays within [0, 24) hours.
double WrapRa(double ra) {
    ra = std::fmod(ra, 24.0);
    return ra < 0 ? ra + 24.0 : ra;
}

// Where the telescope pointed at a moment of the recording.
struct SkyPoint {
    double ra;
    double dec;
};

SkyPoint PointAt(const WorkUnitInfo& unit, double seconds) {
    const double total = unit.Seconds();
    const double f = total > 0 ? std::clamp(seconds / total, 0.0, 1.0) : 0.0;
    double deltaRa = unit.endRa - unit.startRa;
    if (deltaRa > 12) deltaRa -= 24;
    if (deltaRa < -12) deltaRa += 24;
    return {Round6(WrapRa(unit.startRa + f * deltaRa)),
            Round6(unit.startDec + f * (unit.endDec - unit.startDec))};
}

// The figures every signal has: when and where in the recording, at which
// frequency and drift rate.
struct Where {
    double seconds;  // into the recording
    double julian;
    SkyPoint sky;
    double freq;
    double chirpRate;
};

class Planner {
public:
    Planner(std::uint64_t seed, std::string_view workUnit, ClientVersion version)
        : random_(Mix(seed, HashBytes(WorkUnitHeader(workUnit)))) {
        plan_.unit = ParseWorkUnit(workUnit);
        plan_.version = version;
    }

    UnitPlan Run() {
        const int range = plan_.version.DriftRange();
        plan_.totalCpu = Round6(random_.Between(4 * 3600.0, 12 * 3600.0));
        plan_.totalPairs = static_cast<std::int64_t>(range) * 3900 + random_.Below(400);

        const auto spikes = 20 + random_.Below(100);
        const auto gaussians = 3 + random_.Below(28);
        const auto triplets = 2 + random_.Below(40);
        const auto pulses = 3 + random_.Below(35);
        for (std::int64_t i = 0; i < spikes; ++i)
            AddSpike(NextPosition());
        for (std::int64_t i = 0; i < gaussians; ++i)
            AddGaussian(NextPosition());
        for (std::int64_t i = 0; i < triplets; ++i)
            AddTriplet(NextPosition());
        for (std::int64_t i = 0; i < pulses; ++i)
            AddPulse(NextPosition());
        // Now and then a unit full of terrestrial interference: a burst of
        // spikes right at the start of the search, at drift rates near 0.
        if (random_.Chance(0.04)) {
            const double end = 0.04 / range;
            const auto burst = 90 + random_.Below(40);
            for (std::int64_t i = 0; i < burst; ++i)
                AddSpike(random_.Between(end / 100, end));
        }
        std::stable_sort(
            plan_.signals.begin(), plan_.signals.end(),
            [](const FoundSignal& a, const FoundSignal& b) { return a.position < b.position; });
        return std::move(plan_);
    }

private:
    double NextPosition() { return 1.0 - random_.Unit(); }  // (0, 1]

    Where Place(double position) {
        const WorkUnitInfo& unit = plan_.unit;
        Where where{};
        where.seconds = random_.Between(0, unit.Seconds());
        where.julian = Round6(unit.timeRecorded + where.seconds / 86400);
        where.sky = PointAt(unit, where.seconds);
        where.freq = Round6(unit.subbandBase + random_.Unit() * unit.subbandSampleRate);
        where.chirpRate = Round6(DriftRate(position, plan_.version.DriftRange()));
        return where;
    }

    std::int64_t Bin(const Where& where, int fftLen) const {
        const double width = plan_.unit.subbandSampleRate / fftLen;
        return static_cast<std::int64_t>((where.freq - plan_.unit.subbandBase) / width);
    }

    std::int64_t FftIndex(double seconds, int fftLen) const {
        return static_cast<std::int64_t>(seconds * plan_.unit.subbandSampleRate / fftLen);
    }

    void Add(double position, SignalKind kind, std::string line, double rank,
             decltype(FoundSignal::best) best) {
        FoundSignal signal;
        signal.position = position;
        signal.kind = kind;
        signal.line = std::move(line);
        signal.rank = rank;
        signal.best = std::move(best);
        plan_.signals.push_back(std::move(signal));
    }

    void AddSpike(double position) {
        const Where where = Place(position);
        sample::SpikeSignal spike;
        spike.fftLen = 1 << (10 + random_.Below(8));  // 1024 .. 131072
        // Power relative to the longest-FFT scale; every reported spike is
        // above the threshold of 20 there.
        double scaled = 20.5 + random_.Exponential(9);
        if (random_.Chance(0.01)) scaled *= 8;
        const double factor = spike.fftLen / 16384.0;
        spike.power = Round6(scaled * factor);
        spike.ra = where.sky.ra;
        spike.dec = where.sky.dec;
        spike.time = where.julian;
        spike.freq = where.freq;
        spike.chirpRate = where.chirpRate;
        const double shown = spike.power / factor;

        sample::BestSpike best;
        best.power = Round6(shown * 8);
        best.score = Round6(shown / 18.25);
        best.bin = Bin(where, spike.fftLen);
        best.fftInd = FftIndex(where.seconds, spike.fftLen);
        best.chirpRate = spike.chirpRate;
        best.fftLen = spike.fftLen;
        Add(position, SignalKind::Spike, sample::SpikeLine(spike), shown, best);
    }

    void AddGaussian(double position) {
        const Where where = Place(position);
        const double seconds = plan_.unit.Seconds();
        sample::GaussianSignal gaussian;
        // Gaussians worth a second look are rare: about one work unit in
        // ten has one.
        const bool striking = random_.Chance(0.003);
        const double power = striking ? 5.5 + random_.Exponential(2) : 2 + random_.Exponential(0.9);
        gaussian.mean = Round6(random_.Between(0.95, 1.05));
        gaussian.peak = Round6(power * gaussian.mean);
        gaussian.sigma = Round6(std::min(3 + random_.Exponential(6), 30.0));
        gaussian.chisqr = Round6(striking ? random_.Between(1, 4) : 0.8 + random_.Exponential(2.5));
        gaussian.fftLen = 64;
        // The peak lies where the beam crossed the source, well inside the
        // recording.
        const double margin = std::min(2 * gaussian.sigma, seconds / 4);
        const double t0 = random_.Between(margin, seconds - margin);
        gaussian.time = Round6(plan_.unit.timeRecorded + t0 / 86400);
        const SkyPoint sky = PointAt(plan_.unit, t0);
        gaussian.ra = sky.ra;
        gaussian.dec = sky.dec;
        gaussian.freq = where.freq;
        gaussian.chirpRate = where.chirpRate;

        // 64 power samples over the recording, in units of the mean: the
        // bell the fit describes, on noise.
        const double shownPower = gaussian.peak / gaussian.mean;
        std::vector<double> samples(64);
        double maxPower = 0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = (static_cast<double>(i) + 0.5) * seconds / 64;
            const double x = (t - t0) / (2 * gaussian.sigma);
            const double v = 1 + shownPower * std::exp(-x * x) + 0.3 * random_.Normal();
            samples[i] = Round6(std::max(v, 0.05));
            maxPower = std::max(maxPower, samples[i] * gaussian.mean);
        }
        gaussian.maxPower = Round6(maxPower);
        gaussian.pot.resize(samples.size());
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double level = samples[i] * gaussian.mean / maxPower * 255;
            gaussian.pot[i] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
        }
        gaussian.withPot = plan_.version.GaussianPots();

        const double score = shownPower / gaussian.chisqr;
        sample::BestGaussian best;
        best.score = Round6(score);
        best.sigma = gaussian.sigma;
        best.power = gaussian.peak;
        best.trueMean = gaussian.mean;
        best.chisq = gaussian.chisqr;
        best.bin = Bin(where, gaussian.fftLen);
        best.fftInd = FftIndex(t0, gaussian.fftLen);
        best.chirpRate = gaussian.chirpRate;
        best.fftLen = gaussian.fftLen;
        best.pot = std::move(samples);
        Add(position, SignalKind::Gaussian, sample::GaussianLine(gaussian), score, best);
    }

    void AddTriplet(double position) {
        const Where where = Place(position);
        const double seconds = plan_.unit.Seconds();
        sample::TripletSignal triplet;
        triplet.fftLen = 1 << (3 + random_.Below(12));  // 8 .. 16384
        triplet.power = Round6(7.5 + random_.Exponential(3.5));
        triplet.mean = Round6(random_.Between(0.97, 1.03));
        // Three pulses a period apart, all inside the recording.
        triplet.period = Round6(std::exp(random_.Between(std::log(0.1), std::log(seconds / 2.5))));
        const double middle = random_.Between(triplet.period, seconds - triplet.period);
        triplet.time = Round6(plan_.unit.timeRecorded + middle / 86400);
        const SkyPoint sky = PointAt(plan_.unit, middle);
        triplet.ra = sky.ra;
        triplet.dec = sky.dec;
        triplet.freq = where.freq;
        triplet.chirpRate = where.chirpRate;

        sample::BestTriplet best;
        best.score = triplet.power;
        best.power = triplet.power;
        best.mean = triplet.mean;
        best.period = triplet.period;
        const double binSeconds = seconds / 256;
        best.bperiod = Round6(triplet.period / binSeconds);
        for (int k = 0; k < 3; ++k) {
            const double at = (middle + (k - 1) * triplet.period) / binSeconds;
            const int bin = std::clamp(static_cast<int>(at), 0, 255);
            const int next = std::min(bin + static_cast<int>(random_.Below(2)), 255);
            best.tpotind[static_cast<std::size_t>(k)] = {bin, next};
        }
        best.freqBin = Bin(where, triplet.fftLen);
        best.timeBin = FftIndex(middle, triplet.fftLen);
        best.chirpRate = triplet.chirpRate;
        best.scale = Round6(random_.Between(0.01, 0.05));
        best.fftLen = triplet.fftLen;
        best.pot.resize(256);
        for (auto& bin : best.pot)
            bin = static_cast<std::uint16_t>(600 + random_.Below(1800));
        for (const auto& peak : best.tpotind) {
            for (const int bin : peak)
                best.pot[static_cast<std::size_t>(bin)] =
                    static_cast<std::uint16_t>(9000 + random_.Below(20000));
        }
        Add(position, SignalKind::Triplet, sample::TripletLine(triplet), triplet.power, best);
    }

    void AddPulse(double position) {
        const Where where = Place(position);
        const double seconds = plan_.unit.Seconds();
        sample::PulseSignal pulse;
        pulse.fftLen = 1 << (3 + random_.Below(10));  // 8 .. 4096
        pulse.thresh = Round6(10 + random_.Between(0, 14));
        pulse.snr = Round6(pulse.thresh * (1 + random_.Exponential(0.09)));
        pulse.power = Round6(pulse.snr * random_.Between(0.15, 0.45));
        pulse.mean = Round6(random_.Between(0.97, 1.03));
        pulse.period = Round6(std::exp(random_.Between(std::log(0.2), std::log(seconds / 3))));
        pulse.time = where.julian;
        pulse.ra = where.sky.ra;
        pulse.dec = where.sky.dec;
        pulse.freq = where.freq;
        pulse.chirpRate = where.chirpRate;

        // The folded profile: noise with one pulse in it. Now and then a long
        // fold that readers leave without a plot.
        const std::size_t length =
            random_.Chance(0.02) ? 512 : std::size_t{8} << random_.Below(6);  // 8 .. 256
        const std::size_t phase =
            static_cast<std::size_t>(random_.Below(static_cast<std::int64_t>(length)));
        const std::size_t width =
            1 + static_cast<std::size_t>(random_.Below(static_cast<std::int64_t>(length / 8 + 1)));
        const double height = random_.Between(100, 190);
        pulse.prof.resize(length);
        for (std::size_t i = 0; i < length; ++i) {
            double level = 50 + 25 * random_.Unit();
            const std::size_t distance =
                std::min((i + length - phase) % length, (phase + length - i) % length);
            if (distance < width)
                level += height * (1 - static_cast<double>(distance) / static_cast<double>(width));
            pulse.prof[i] = static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
        }

        const double score = pulse.snr / pulse.thresh;
        sample::BestPulse best;
        best.score = Round6(score);
        best.power = pulse.power;
        best.mean = pulse.mean;
        best.period = pulse.period;
        best.freqBin = Bin(where, pulse.fftLen);
        best.timeBin = FftIndex(where.seconds, pulse.fftLen);
        best.chirpRate = pulse.chirpRate;
        best.fftLen = pulse.fftLen;
        // Power over the recording: the pulse train, a period apart.
        best.pot.resize(500);
        const double periodBins = std::max(pulse.period / seconds * 500, 1.0);
        const double start = random_.Between(0, periodBins);
        for (std::size_t i = 0; i < best.pot.size(); ++i) {
            const double cycle = std::fmod(static_cast<double>(i) + periodBins - start, periodBins);
            const bool onPulse = cycle < 1 || periodBins - cycle < 1;
            const double level = onPulse ? random_.Between(150, 250) : random_.Between(40, 100);
            best.pot[i] = static_cast<std::uint8_t>(level);
        }
        Add(position, SignalKind::Pulse, sample::PulseLine(pulse), score, best);
    }

    Random random_;
    UnitPlan plan_;
};

// The state file's figures before anything of a kind has been found: zeros,
// with the pot runs at full length, so the file keeps its size and shape.
sample::BestSpike NoSpike() {
    sample::BestSpike none;
    none.power = none.score = none.chirpRate = 0;
    none.bin = none.fftInd = 0;
    none.fftLen = 0;
    return none;
}

sample::BestGaussian NoGaussian() {
    sample::BestGaussian none;
    none.score = none.sigma = none.power = none.trueMean = none.chisq = none.chirpRate = 0;
    none.bin = none.fftInd = 0;
    none.fftLen = 0;
    none.pot.assign(64, 0.0);
    return none;
}

sample::BestPulse NoPulse() {
    sample::BestPulse none;
    none.score = none.power = none.mean = none.period = none.chirpRate = 0;
    none.freqBin = none.timeBin = 0;
    none.fftLen = 0;
    none.pot.assign(500, 0);
    return none;
}

sample::BestTriplet NoTriplet() {
    sample::BestTriplet none;
    none.score = none.power = none.mean = none.period = none.bperiod = 0;
    none.chirpRate = none.scale = 0;
    none.tpotind = {};
    none.freqBin = none.timeBin = 0;
    none.fftLen = 0;
    none.pot.assign(256, 0);
    return none;
}

}  // namespace

bool ParseVersion(std::string_view text, ClientVersion& version) {
    const std::size_t dot = text.find('.');
    const std::string_view majorText = text.substr(0, dot);
    const std::string_view minorText =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    int major = 0;
    auto [end, ec] = std::from_chars(majorText.data(), majorText.data() + majorText.size(), major);
    if (ec != std::errc{} || end != majorText.data() + majorText.size() || major < 0) return false;
    if (dot != std::string_view::npos && (minorText.empty() || minorText.size() > 2)) return false;
    int minor = 0;
    for (const char c : minorText) {
        if (c < '0' || c > '9') return false;
        minor = minor * 10 + (c - '0');
    }
    if (minorText.size() == 1) minor *= 10;  // "2.7" is 2.70
    version = {major, minor};
    return true;
}

std::uint64_t Random::Next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

double Random::Unit() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double Random::Between(double low, double high) {
    return low + (high - low) * Unit();
}

std::int64_t Random::Below(std::int64_t n) {
    if (n <= 1) return 0;
    return static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(n));
}

double Random::Exponential(double mean) {
    return -mean * std::log(1.0 - Unit());
}

double Random::Normal() {
    const double u = 1.0 - Unit();  // (0, 1]: the logarithm stays finite
    const double v = Unit();
    return std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * v);
}

std::uint64_t HashBytes(std::string_view bytes, std::uint64_t basis) {
    std::uint64_t hash = basis;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

double WorkUnitInfo::Seconds() const {
    return subbandSampleRate > 0 ? static_cast<double>(nsamples) / subbandSampleRate : 0;
}

WorkUnitInfo ParseWorkUnit(std::string_view text) {
    WorkUnitInfo info;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.starts_with("end_seti_header")) break;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals);
        std::string_view value = Trim(line.substr(equals + 1));
        double number = 0;
        if (key == "name") {
            info.name = std::string(value);
        } else if (key == "time_recorded") {
            // The Julian date, then the date in words.
            value = value.substr(0, value.find(' '));
            if (ToDouble(value, number)) info.timeRecorded = number;
        } else if (key == "nsamples") {
            if (ToDouble(value, number) && number > 0)
                info.nsamples = static_cast<std::int64_t>(number);
        } else if (ToDouble(value, number)) {
            if (key == "start_ra") info.startRa = number;
            if (key == "start_dec") info.startDec = number;
            if (key == "end_ra") info.endRa = number;
            if (key == "end_dec") info.endDec = number;
            if (key == "angle_range") info.angleRange = number;
            if (key == "subband_base") info.subbandBase = number;
            if (key == "subband_sample_rate" && number > 0) info.subbandSampleRate = number;
        }
    }
    return info;
}

sample::WorkUnitFields GenerateWorkUnitFields(std::uint64_t seed, std::uint64_t index) {
    Random random(Mix(seed, index + 1));
    sample::WorkUnitFields unit;
    // Recorded some time in 1999 to 2002, as the units handed out then.
    unit.timeRecorded = Round6(2451179.5 + random.Between(0, 1460));

    // "12mr01aa.31054.4098.683214.82": day, month, year of the recording, the
    // tape, then the tape's position and the sub-band.
    static constexpr const char* kMonths[] = {"ja", "fe", "mr", "ap", "my", "jn",
                                              "jl", "au", "se", "oc", "no", "de"};
    static constexpr std::string_view kMonthWords = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const std::string words = sample::JulianDateWords(unit.timeRecorded);  // "Mon Mar 12 ..."
    const std::size_t month = kMonthWords.find(words.substr(4, 3)) / 3;
    const std::string day = words.substr(8, 2);
    const std::string year = words.substr(words.size() - 2);
    unit.subbandNumber = static_cast<int>(random.Below(256));
    std::string name = day + kMonths[month % 12] + year;
    name += static_cast<char>('a' + random.Below(26));
    name += static_cast<char>('a' + random.Below(26));
    name += "." + std::to_string(10000 + random.Below(90000));
    name += "." + std::to_string(1000 + random.Below(9000));
    name += "." + std::to_string(100000 + random.Below(900000));
    name += "." + std::to_string(unit.subbandNumber % 100);
    unit.name = name;

    // A drift scan: the sky slides through the beam along a nearly straight
    // path of `angleRange` degrees.
    unit.angleRange = Round6(std::min(0.2 + random.Exponential(0.35), 6.0));
    unit.startRa = Round6(random.Between(0, 24));
    unit.startDec = Round6(random.Between(-1.2, 37.8));
    const double direction =
        random.Between(-0.3, 0.3) + (random.Chance(0.5) ? 0 : std::numbers::pi);
    const double cosDec = std::cos(unit.startDec * std::numbers::pi / 180);
    unit.endRa = Round6(WrapRa(unit.startRa + unit.angleRange * std::cos(direction) / 15 / cosDec));
    unit.endDec = Round6(unit.startDec + unit.angleRange * std::sin(direction));

    // 256 sub-bands of 9765.625 Hz across 2.5 MHz around the hydrogen line.
    unit.subbandSampleRate = 9765.625;
    unit.subbandBase = 1418750000 + unit.subbandNumber * unit.subbandSampleRate;
    unit.numPositions = 8 + static_cast<int>(random.Below(13));
    unit.dataBytes = 262144;
    return unit;
}

std::string GenerateWorkUnit(std::uint64_t seed, std::uint64_t index) {
    return sample::WorkUnitFile(GenerateWorkUnitFields(seed, index));
}

std::string_view WorkUnitHeader(std::string_view workUnit) {
    static constexpr std::string_view kEnd = "end_seti_header\n";
    std::size_t pos = 0;
    while (pos < workUnit.size()) {
        if (workUnit.substr(pos).starts_with(kEnd)) return workUnit.substr(0, pos + kEnd.size());
        const std::size_t end = workUnit.find('\n', pos);
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    return workUnit;
}

std::string GenerateResult(std::uint64_t seed, std::uint64_t index, ClientVersion version) {
    sample::WorkUnitFields unit = GenerateWorkUnitFields(seed, index);
    unit.dataBytes = 0;
    const std::string header = sample::WorkUnitFile(unit);
    return PlanUnit(seed, header, version).ResultText(header);
}

double DriftRate(double progress, int range) {
    progress = std::clamp(progress, 0.0, 1.0);
    if (progress < 0.5) return range * progress * 2;
    const double rate = -range * (progress - 0.5) * 2;
    return rate == 0 ? 0.0 : rate;  // no "-0" at the turn
}

std::size_t UnitPlan::FoundBy(double progress) const {
    const auto end =
        std::upper_bound(signals.begin(), signals.end(), progress,
                         [](double p, const FoundSignal& signal) { return p < signal.position; });
    return static_cast<std::size_t>(end - signals.begin());
}

std::string UnitPlan::SignalLines(std::size_t count) const {
    count = std::min(count, signals.size());
    std::string lines;
    for (std::size_t i = 0; i < count; ++i)
        lines += signals[i].line;
    return lines;
}

std::string UnitPlan::StateText(double progress, std::size_t found,
                                std::int64_t outfileBytes) const {
    progress = std::clamp(progress, 0.0, 1.0);
    sample::StateFields state;
    state.ncfft = static_cast<int>(std::llround(progress * static_cast<double>(totalPairs)));
    state.cr = DriftRate(progress, version.DriftRange());
    state.fl = 1 << (3 + state.ncfft % 15);
    state.cpu = totalCpu * progress;
    state.prog = progress;
    state.outfilepos = outfileBytes;
    state.bestSpike = NoSpike();
    state.bestGaussian = NoGaussian();
    state.bestPulse = NoPulse();
    state.bestTriplet = NoTriplet();

    // The first of equals stays the best.
    double bestRank[4] = {0, 0, 0, 0};
    found = std::min(found, signals.size());
    for (std::size_t i = 0; i < found; ++i) {
        const FoundSignal& signal = signals[i];
        const auto kind = static_cast<std::size_t>(signal.kind);
        if (signal.rank <= bestRank[kind]) continue;
        bestRank[kind] = signal.rank;
        switch (signal.kind) {
            case SignalKind::Spike:
                state.bestSpike = std::get<sample::BestSpike>(signal.best);
                break;
            case SignalKind::Gaussian:
                state.bestGaussian = std::get<sample::BestGaussian>(signal.best);
                break;
            case SignalKind::Triplet:
                state.bestTriplet = std::get<sample::BestTriplet>(signal.best);
                break;
            case SignalKind::Pulse:
                state.bestPulse = std::get<sample::BestPulse>(signal.best);
                break;
        }
    }
    return sample::StateFile(state);
}

std::string UnitPlan::ResultText(std::string_view workUnit) const {
    const std::string lines = SignalLines(signals.size());
    const std::string state =
        StateText(1.0, signals.size(), static_cast<std::int64_t>(lines.size()));
    return sample::ResultFile(workUnit, version.major, version.minor, state, lines);
}

bool UnitPlan::OwnsState(std::string_view stateText) const {
    const std::string_view prefix = "\ncpu=";
    const std::string_view progKey = "\nprog=";
    const std::size_t cpuAt = stateText.find(prefix);
    const std::size_t progAt = stateText.find(progKey);
    if (cpuAt == std::string_view::npos || progAt == std::string_view::npos) return false;
    double cpu = 0;
    double progress = 0;
    const char* cpuText = stateText.data() + cpuAt + prefix.size();
    const char* progText = stateText.data() + progAt + progKey.size();
    const char* end = stateText.data() + stateText.size();
    if (std::from_chars(cpuText, end, cpu).ec != std::errc{} ||
        std::from_chars(progText, end, progress).ec != std::errc{}) {
        return false;
    }
    // The files carry six decimals of CPU time and eight of progress.
    return std::abs(cpu - totalCpu * progress) <= 2e-3 + 1e-8 * totalCpu;
}

UnitPlan PlanUnit(std::uint64_t seed, std::string_view workUnit, ClientVersion version) {
    return Planner(seed, workUnit, version).Run();
}

}  // namespace standin
