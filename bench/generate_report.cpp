// Writes a synthetic frequency-response report for benchmarking quarvel.
//
// The report has the same layout as examples/plate.rpt: one acceleration
// block per frequency of the sweep, then one bar stress block per frequency,
// then the closing warnings line. The values come from a small modal model
// (a handful of damped modes excited through the base) with a little random
// noise on top, so they vary smoothly with frequency and node like a real
// run does. The output depends only on the options: the same options give
// the same bytes with any compiler and standard library.
//
//   generate_report [--output FILE] [--megabytes M] [--seed N] [--nodes N]
//                   [--elements N] [--crlf]

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using Complex = std::complex<double>;

constexpr std::string_view kTitle =
    "     BRACKET ASSEMBLY - SYNTHETIC BASE EXCITATION SWEEP                     "
    "JANUARY  14, 2027    PAGE ";
constexpr std::string_view kBlank = " ";
constexpr std::string_view kFrequencyLead =
    "     FORCED RESPONSE   SUBCASE 1   AT FREQUENCY ";
constexpr std::string_view kAccelerationHeader =
    "                             C O M P L E X   A C C E L E R A T I O N S";
constexpr std::string_view kStressHeader =
    "                 C O M P L E X   S T R E S S E S   I N   B A R   E L E M E N T S";
constexpr std::string_view kRealImaginary =
    "                                                (REAL/IMAGINARY)";
constexpr std::string_view kAccelerationColumns =
    "      POINT ID.   CODE      T1             T2             T3             R1"
    "             R2             R3";
constexpr std::string_view kStressColumns =
    "    ELEMENT       END-A S1       END-A S2       END-A S3       END-A S4"
    "         AXIAL       END-B S1       END-B S2       END-B S3";
constexpr std::string_view kStressIdColumn = "      ID.";
constexpr std::string_view kMaximumLine =
    "      MAXIMUM      END-A   0.000000E+00    END-B   0.000000E+00";
constexpr std::string_view kClosingLine = "     TOTAL WARNINGS =     0";

constexpr int kDofs = 6;         // T1 T2 T3 R1 R2 R3
constexpr int kStressValues = 8; // END-A S1..S4, AXIAL, END-B S1..S3
constexpr int kModes = 8;
constexpr int kFirstElementId = 101;
constexpr int kNodeCode = 1;
constexpr std::size_t kNumberWidth = 15;        // one space and "%14.6E"
constexpr std::size_t kNodeLead = 21;           // "   %10d %7d"
constexpr std::size_t kElementLead = 11;        // "   %8d"
constexpr double kSweepSpanHz = 2000.0;         // aimed-for last frequency

// ---------------------------------------------------------------------------
// Output buffer. Lines are assembled in a large block of memory and handed to
// fwrite whole, which keeps the generator well ahead of the disk.

class Writer {
public:
    Writer(std::FILE* file, bool crlf) : file_(file), crlf_(crlf), buffer_(kCapacity) {}

    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Room for at least `bytes` more characters, then a pointer to them.
    char* reserve(std::size_t bytes) {
        if (used_ + bytes > buffer_.size()) {
            flush();
            if (bytes > buffer_.size()) buffer_.resize(bytes);
        }
        return buffer_.data() + used_;
    }
    void commit(std::size_t bytes) { used_ += bytes; }

    void text(std::string_view s) {
        char* out = reserve(s.size());
        std::memcpy(out, s.data(), s.size());
        commit(s.size());
    }
    std::string_view line_end() const { return crlf_ ? std::string_view("\r\n") : std::string_view("\n"); }
    void end_line() { text(line_end()); }
    void line(std::string_view s) {
        text(s);
        end_line();
    }

    // A record of two lines of `length` characters, committed with their
    // line ends and with the second line's first `lead` characters blank:
    // the caller fills in the rest of both lines.
    struct LinePair {
        char* first;
        char* second;
    };
    LinePair line_pair(std::size_t length, std::size_t lead) {
        const std::string_view eol = line_end();
        char* p = reserve(2 * (length + eol.size()));
        char* q = p + length + eol.size();
        std::memset(q, ' ', lead);
        std::memcpy(p + length, eol.data(), eol.size());
        std::memcpy(q + length, eol.data(), eol.size());
        commit(2 * (length + eol.size()));
        return {p, q};
    }

    void flush() {
        if (used_ == 0) return;
        if (std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
        written_ += used_;
        used_ = 0;
    }

    bool failed() const { return failed_; }
    std::uint64_t written() const { return written_ + used_; }

private:
    static constexpr std::size_t kCapacity = std::size_t{8} << 20;
    std::FILE* file_;
    bool crlf_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

// ---------------------------------------------------------------------------
// Number fields.

constexpr std::array<double, 23> kExactPowers = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// value * 10^shift, dividing for negative shifts so that small values stay
// accurate (10^-k is not exact in binary, 10^k is for k <= 22).
double scale_by_power_of_ten(double value, int shift) {
    while (shift > 22) {
        value *= 1e22;
        shift -= 22;
    }
    while (shift < -22) {
        value /= 1e22;
        shift += 22;
    }
    return shift >= 0 ? value * kExactPowers[static_cast<std::size_t>(shift)]
                      : value / kExactPowers[static_cast<std::size_t>(-shift)];
}

// Writes `value` exactly as printf("%14.6E") would: 14 characters, right
// aligned.
// Magnitudes are kept below 1e100 and those under 1e-99 print as zero, so
// the exponent always has two digits.
void put_e14(char* out, double value) {
    const bool negative = std::signbit(value);
    double magnitude = std::fabs(value);
    if (!(magnitude < 1e99)) magnitude = 9.999999e98;

    std::uint64_t mantissa = 0; // seven digits, 1000000..9999999
    int exponent = 0;
    if (magnitude >= 1e-99) {
        exponent = static_cast<int>(std::floor(std::log10(magnitude)));
        double scaled = scale_by_power_of_ten(magnitude, 6 - exponent);
        if (scaled < 999999.5) { // log10 rounded up just below a power of ten
            --exponent;
            scaled = scale_by_power_of_ten(magnitude, 6 - exponent);
        }
        // Scaling may be off by an ulp or two, which only matters when the
        // eighth digit is a 5 and nothing follows; leave those to printf.
        if (std::fabs(scaled - std::floor(scaled) - 0.5) < 1e-6) {
            char exact[32];
            std::snprintf(exact, sizeof exact, "%14.6E", value);
            std::memcpy(out, exact, 14);
            return;
        }
        mantissa = static_cast<std::uint64_t>(std::llround(scaled));
        if (mantissa >= 10000000) { // rounded up to the next power of ten
            mantissa /= 10;
            ++exponent;
        }
    }

    char digits[7];
    for (int i = 6; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + mantissa % 10);
        mantissa /= 10;
    }
    const unsigned exponent_digits = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);

    out[0] = ' ';
    out[1] = negative ? '-' : ' ';
    out[2] = digits[0];
    out[3] = '.';
    std::memcpy(out + 4, digits + 1, 6);
    out[10] = 'E';
    out[11] = exponent < 0 ? '-' : '+';
    out[12] = static_cast<char>('0' + exponent_digits / 10);
    out[13] = static_cast<char>('0' + exponent_digits % 10);
}

// One column of a record: a separating space and the value in "%14.6E".
void put_field(char* out, double value) {
    out[0] = ' ';
    put_e14(out + 1, value);
}

// Writes `value` right-aligned in `width` characters, like printf("%*d").
void put_int(char* out, std::size_t width, std::uint64_t value) {
    std::memset(out, ' ', width);
    std::size_t i = width;
    do {
        out[--i] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && i > 0);
}

std::size_t decimal_width(std::uint64_t value) {
    std::size_t width = 1;
    while (value >= 10) {
        value /= 10;
        ++width;
    }
    return width;
}

// ---------------------------------------------------------------------------
// Random numbers. Only the raw engine output is used (its sequence is fixed by
// the standard); the distributions below are written out here because the
// standard library ones differ between implementations.

class Noise {
public:
    explicit Noise(std::uint64_t seed) : engine_(seed) {}

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Roughly bell-shaped in (-1, 1): the mean of two uniforms, centred.
    double jitter() { return uniform() + uniform() - 1.0; }

private:
    std::mt19937_64 engine_;
};

// ---------------------------------------------------------------------------
// The modal model.

struct Mode {
    double frequency;
    double damping;
};

struct Model {
    std::vector<Mode> modes;
    std::array<double, kDofs> base{};  // base acceleration, real, per dof
    // participation[(node * kDofs + dof) * kModes + mode]
    std::vector<double> participation;
    // static stress and modal participation of each element value
    std::vector<double> static_stress;        // [element * kStressValues + value]
    std::vector<double> stress_participation; // [(element * kStressValues + value) * kModes + mode]
};

constexpr double kPi = 3.14159265358979323846;

Model build_model(Noise& noise, int nodes, int elements) {
    Model model;

    // Natural frequencies spread over the sweep, lightly damped.
    double frequency = noise.uniform(35.0, 60.0);
    for (int k = 0; k < kModes; ++k) {
        model.modes.push_back({frequency, noise.uniform(0.01, 0.05)});
        frequency *= noise.uniform(1.35, 1.75);
    }

    // Mostly vertical base shake with some cross-axis content.
    model.base = {noise.uniform(-0.05, 0.05), noise.uniform(-0.05, 0.05), 1.0,
                  noise.uniform(-3e-3, 3e-3), noise.uniform(-3e-3, 3e-3), noise.uniform(-1e-3, 1e-3)};

    // Mode shapes along the structure, clamped at node 1 (the base), with a
    // different mix of each mode in every direction.
    std::array<double, kDofs * kModes> weight{};
    for (double& w : weight) w = noise.uniform(-1.0, 1.0);
    const std::size_t node_count = static_cast<std::size_t>(nodes);
    model.participation.resize(node_count * kDofs * kModes);
    for (std::size_t n = 0; n < node_count; ++n) {
        const double x = nodes > 1 ? static_cast<double>(n) / static_cast<double>(nodes - 1) : 0.0;
        for (int d = 0; d < kDofs; ++d) {
            for (int k = 0; k < kModes; ++k) {
                const double shape = std::sin((static_cast<double>(k) + 0.5) * kPi * x);
                const double fade = 1.0 / (1.0 + 0.4 * static_cast<double>(k));
                model.participation[(n * kDofs + static_cast<std::size_t>(d)) * kModes +
                                    static_cast<std::size_t>(k)] =
                    weight[static_cast<std::size_t>(d * kModes + k)] * shape * fade;
            }
        }
    }

    // Bar stresses: bending at the four recovery points of each end has the
    // pattern +a, +a/2, -a/2, -a; the axial stress is a fraction of it.
    const std::size_t element_count = static_cast<std::size_t>(elements);
    model.static_stress.resize(element_count * kStressValues);
    model.stress_participation.resize(element_count * kStressValues * kModes);
    constexpr std::array<double, kStressValues> pattern = {1.0, 0.5, -0.5, -1.0, 0.1, 0.9, 0.45, -0.45};
    for (std::size_t e = 0; e < element_count; ++e) {
        // Element centres along the structure; none sits exactly at the free
        // end, where the dynamic bending would vanish.
        const double x = (static_cast<double>(e) + 0.5) / static_cast<double>(elements);
        const double magnitude = noise.uniform(20.0, 400.0);
        const double level = noise.uniform() < 0.5 ? -magnitude : magnitude;
        std::array<double, kModes> share{};
        for (int k = 0; k < kModes; ++k) {
            share[static_cast<std::size_t>(k)] =
                std::cos((static_cast<double>(k) + 0.5) * kPi * x) * noise.uniform(0.3, 1.5) /
                (1.0 + 0.3 * static_cast<double>(k));
        }
        for (std::size_t v = 0; v < kStressValues; ++v) {
            const double end_b = v >= 5 ? noise.uniform(0.7, 1.0) : 1.0;
            model.static_stress[e * kStressValues + v] = level * pattern[v] * end_b;
            for (std::size_t k = 0; k < kModes; ++k) {
                model.stress_participation[(e * kStressValues + v) * kModes + k] =
                    share[k] * (v == 4 ? noise.uniform(0.5, 2.0) : 1.0);
            }
        }
    }
    return model;
}

// Dynamic amplification of each mode at `frequency`: zero at rest, a peak of
// about 1/(2 zeta) at resonance with a quarter-turn of phase.
std::array<Complex, kModes> modal_response(const Model& model, double frequency) {
    std::array<Complex, kModes> h{};
    for (std::size_t k = 0; k < kModes; ++k) {
        const double r = frequency / model.modes[k].frequency;
        const Complex denominator(1.0 - r * r, -2.0 * model.modes[k].damping * r);
        h[k] = (r * r) / denominator;
    }
    return h;
}

// ---------------------------------------------------------------------------
// Report pages.

struct Layout {
    int nodes;
    int elements;
    bool crlf;
};

std::size_t page_width(std::uint64_t pages) { return std::max<std::size_t>(5, decimal_width(pages)); }

void write_page_top(Writer& out, std::uint64_t page, std::size_t width, double frequency) {
    char* p = out.reserve(kTitle.size() + width);
    std::memcpy(p, kTitle.data(), kTitle.size());
    put_int(p + kTitle.size(), width, page);
    out.commit(kTitle.size() + width);
    out.end_line();
    out.line(kBlank);
    out.text(kFrequencyLead);
    char* f = out.reserve(14);
    put_e14(f, frequency);
    out.commit(14);
    out.end_line();
    out.line(kBlank);
}

void write_acceleration_block(Writer& out, const Model& model, Noise& noise, const Layout& layout,
                              std::uint64_t page, std::size_t width, double frequency) {
    write_page_top(out, page, width, frequency);
    out.line(kAccelerationHeader);
    out.line(kRealImaginary);
    out.line(kBlank);
    out.line(kAccelerationColumns);
    out.line(kBlank);

    const std::array<Complex, kModes> h = modal_response(model, frequency);
    const std::size_t line_length = kNodeLead + kDofs * kNumberWidth;
    for (int node = 1; node <= layout.nodes; ++node) {
        std::array<Complex, kDofs> value{};
        const double* share = &model.participation[static_cast<std::size_t>(node - 1) * kDofs * kModes];
        for (std::size_t d = 0; d < kDofs; ++d) {
            Complex sum(1.0, 0.0);
            for (std::size_t k = 0; k < kModes; ++k) sum += share[d * kModes + k] * h[k];
            const double a = model.base[d];
            // One statement per draw: the order of function arguments is
            // unspecified and the report must not depend on the compiler.
            const double real_noise = 1.0 + 2e-3 * noise.jitter();
            const double imaginary_noise = 1.0 + 2e-3 * noise.jitter();
            value[d] = Complex(a * sum.real() * real_noise, a * sum.imag() * imaginary_noise);
        }

        const auto [p, q] = out.line_pair(line_length, kNodeLead);
        std::memcpy(p, "   ", 3);
        put_int(p + 3, 10, static_cast<std::uint64_t>(node));
        p[13] = ' ';
        put_int(p + 14, 7, kNodeCode);
        for (std::size_t d = 0; d < kDofs; ++d) {
            put_field(p + kNodeLead + d * kNumberWidth, value[d].real());
            put_field(q + kNodeLead + d * kNumberWidth, value[d].imag());
        }
    }
    out.line(kBlank);
}

void write_stress_block(Writer& out, const Model& model, Noise& noise, const Layout& layout,
                        std::uint64_t page, std::size_t width, double frequency) {
    write_page_top(out, page, width, frequency);
    out.line(kStressHeader);
    out.line(kRealImaginary);
    out.line(kBlank);
    out.line(kStressColumns);
    out.line(kStressIdColumn);

    const std::array<Complex, kModes> h = modal_response(model, frequency);
    const std::size_t line_length = kElementLead + kStressValues * kNumberWidth;
    for (int e = 0; e < layout.elements; ++e) {
        const std::size_t base = static_cast<std::size_t>(e) * kStressValues;
        const auto [p, q] = out.line_pair(line_length, kElementLead);
        std::memcpy(p, "   ", 3);
        put_int(p + 3, 8, static_cast<std::uint64_t>(kFirstElementId + e));
        for (std::size_t v = 0; v < kStressValues; ++v) {
            const double* share = &model.stress_participation[(base + v) * kModes];
            Complex sum(1.0, 0.0);
            for (std::size_t k = 0; k < kModes; ++k) sum += share[k] * h[k];
            const double s = model.static_stress[base + v];
            put_field(p + kElementLead + v * kNumberWidth, s * sum.real() * (1.0 + 2e-3 * noise.jitter()));
            put_field(q + kElementLead + v * kNumberWidth, s * sum.imag() * (1.0 + 2e-3 * noise.jitter()));
        }
    }
    out.line(kMaximumLine);
    out.line(kBlank);
}

// Bytes of one acceleration block plus one stress block (page numbers of
// `width` digits).
std::uint64_t bytes_per_frequency(const Layout& layout, std::size_t width) {
    const std::uint64_t eol = layout.crlf ? 2 : 1;
    const auto l = [eol](std::size_t length) { return static_cast<std::uint64_t>(length) + eol; };
    const std::uint64_t top = l(kTitle.size() + width) + l(kBlank.size()) +
                              l(kFrequencyLead.size() + 14) + l(kBlank.size());
    const std::uint64_t acceleration =
        top + l(kAccelerationHeader.size()) + l(kRealImaginary.size()) + l(kBlank.size()) +
        l(kAccelerationColumns.size()) + l(kBlank.size()) +
        2 * static_cast<std::uint64_t>(layout.nodes) * l(kNodeLead + kDofs * kNumberWidth) + l(kBlank.size());
    const std::uint64_t stress =
        top + l(kStressHeader.size()) + l(kRealImaginary.size()) + l(kBlank.size()) +
        l(kStressColumns.size()) + l(kStressIdColumn.size()) +
        2 * static_cast<std::uint64_t>(layout.elements) * l(kElementLead + kStressValues * kNumberWidth) +
        l(kMaximumLine.size()) + l(kBlank.size());
    return acceleration + stress;
}

// The round frequency step (1, 2, 2.5 or 5 times a power of ten) nearest to
// `wanted`, so the printed frequencies look like a requested sweep.
double round_step(double wanted) {
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    double best = decade;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        const double step = factor * decade;
        if (std::fabs(std::log(step / wanted)) < std::fabs(std::log(best / wanted))) best = step;
    }
    return best;
}

// ---------------------------------------------------------------------------
// Command line.

struct Options {
    std::string output = "-";
    double megabytes = 1024.0;
    std::uint64_t seed = 1;
    int nodes = 400;
    int elements = 300;
    bool crlf = false;
};

void usage(std::FILE* to) {
    std::fputs(
        "usage: generate_report [options]\n"
        "  --output FILE     write the report to FILE (default: standard output)\n"
        "  --megabytes M     approximate size in MiB with LF line ends (default 1024);\n"
        "                    --crlf writes the same sweep, about 1% larger\n"
        "  --seed N          random seed (default 1)\n"
        "  --nodes N         nodes per acceleration block (default 400)\n"
        "  --elements N      bar elements per stress block (default 300)\n"
        "  --crlf            end lines with CR LF\n",
        to);
}

template <typename T>
bool parse_number(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto next = [&](std::string_view& value) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "generate_report: %s needs a value\n", argv[i]);
                return false;
            }
            value = argv[++i];
            return true;
        };
        std::string_view value;
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            std::exit(0);
        } else if (arg == "--crlf") {
            options.crlf = true;
        } else if (arg == "--output" || arg == "-o") {
            if (!next(value)) return false;
            options.output = std::string(value);
        } else if (arg == "--megabytes") {
            // from_chars for double is not in every standard library yet.
            if (!next(value)) return false;
            char* end = nullptr;
            const std::string copy(value);
            options.megabytes = std::strtod(copy.c_str(), &end);
            if (end == copy.c_str() || *end != '\0' || !(options.megabytes > 0.0) ||
                options.megabytes > 1e7) {
                std::fprintf(stderr, "generate_report: bad --megabytes '%s'\n", copy.c_str());
                return false;
            }
        } else if (arg == "--seed") {
            if (!next(value) || !parse_number(value, options.seed)) {
                std::fprintf(stderr, "generate_report: bad --seed\n");
                return false;
            }
        } else if (arg == "--nodes") {
            if (!next(value) || !parse_number(value, options.nodes) || options.nodes < 1 ||
                options.nodes > 99'999'999) {
                std::fprintf(stderr, "generate_report: bad --nodes (1..99999999)\n");
                return false;
            }
        } else if (arg == "--elements") {
            if (!next(value) || !parse_number(value, options.elements) || options.elements < 1 ||
                options.elements > 99'999'999 - kFirstElementId) {
                std::fprintf(stderr, "generate_report: bad --elements\n");
                return false;
            }
        } else {
            std::fprintf(stderr, "generate_report: unknown option '%s'\n", argv[i]);
            usage(stderr);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) return 2;

    const Layout layout{options.nodes, options.elements, options.crlf};
    const double target = options.megabytes * 1024.0 * 1024.0;

    // Two pages per frequency; the page number field widens past 99999. The
    // size is aimed at with LF line ends, so that --crlf gives the same
    // sweep, only with longer lines.
    const Layout lf_layout{options.nodes, options.elements, false};
    std::uint64_t frequencies = 1;
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t width = page_width(2 * frequencies);
        const double per_frequency = static_cast<double>(bytes_per_frequency(lf_layout, width));
        frequencies = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::llround(target / per_frequency)));
    }
    const std::size_t width = page_width(2 * frequencies);
    const double step = frequencies > 1 ? round_step(kSweepSpanHz / static_cast<double>(frequencies - 1)) : 0.0;

    std::FILE* file = stdout;
    if (options.output != "-") {
        file = std::fopen(options.output.c_str(), "wb");
        if (file == nullptr) {
            std::perror(options.output.c_str());
            return 1;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    Noise noise(options.seed);
    const Model model = build_model(noise, options.nodes, options.elements);

    Writer out(file, options.crlf);
    std::uint64_t page = 1;
    for (std::uint64_t i = 0; i < frequencies; ++i) {
        write_acceleration_block(out, model, noise, layout, page++, width, static_cast<double>(i) * step);
    }
    for (std::uint64_t i = 0; i < frequencies; ++i) {
        write_stress_block(out, model, noise, layout, page++, width, static_cast<double>(i) * step);
    }
    out.line(kClosingLine);
    out.flush();

    bool ok = !out.failed();
    if (file != stdout) {
        if (std::fclose(file) != 0) ok = false;
    } else if (std::fflush(stdout) != 0) {
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "generate_report: write failed\n");
        return 1;
    }

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr,
                 "generate_report: %llu bytes, %llu frequencies (0 to %g Hz), %d nodes, %d elements, "
                 "%s line ends, %.2f s\n",
                 static_cast<unsigned long long>(out.written()), static_cast<unsigned long long>(frequencies),
                 static_cast<double>(frequencies - 1) * step, options.nodes, options.elements,
                 options.crlf ? "CR LF" : "LF", seconds);
    return 0;
}
