#include "align/hmm_model.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <string_view>

namespace kvr::align {

namespace {

// Parameter values of MUSCLE 5 (R. C. Edgar, 2022), its default pair HMMs, as probabilities.
// They are read as double and narrowed to float, as MUSCLE reads its parameter text.
struct Probabilities {
    std::string_view letters;
    double startM, startShort, startLong;
    double mm, mShort, mLong;
    double shortShort, shortM, longLong, longM;
    const double* pairs;  // lower triangle by rows: (0,0), (1,0), (1,1), (2,0), ...
};

constexpr double kNucleotidePairs[] = {
    0.12,                       // A A
    0.044, 0.12,                // C A, C C
    0.044, 0.044, 0.12,         // G A, G C, G G
    0.044, 0.044, 0.044, 0.12,  // T A, T C, T G, T T
};

// Amino acids in the order ACDEFGHIKLMNPQRSTVWY.
constexpr double kProteinPairs[] = {
    0.023731,                                                                         // A
    0.0014551,  0.010135,                                                             // C
    0.0022355,  0.00036798, 0.019112,                                                 // D
    0.0033222,  0.00037956, 0.004968,   0.016766,                                     // E
    0.00165,    0.00052274, 0.00069041, 0.00078814, 0.01661,                          // F
    0.005979,   0.00071206, 0.0023525,  0.0021486,  0.001152,   0.040629,             // G
    0.0011435,  0.00026421, 0.00097077, 0.0013177,  0.00072545, 0.001037,   0.00868,  // H
    0.0031885,  0.0009404,  0.0010536,  0.0012421,  0.0027995,  0.0014252,  0.00059716,
    0.017783,  // I
    0.0033169,  0.00046951, 0.0025252,  0.0042842,  0.00087222, 0.0025931,  0.0012138,
    0.0015785,  0.016122,  // K
    0.0044958,  0.0013849,  0.0016197,  0.0022206,  0.0053337,  0.0021285,  0.0011175,
    0.010718,   0.0025963,  0.035839,  // L
    0.0014888,  0.00037421, 0.00047808, 0.00076105, 0.0011611,  0.00066504, 0.00042237,
    0.002241,   0.0009612,  0.0046194,  0.0040952,  // M
    0.0021023,  0.00042479, 0.0035354,  0.0022474,  0.00084658, 0.0028888,  0.001412,
    0.0010427,  0.0025731,  0.0016028,  0.00063401, 0.012819,  // N
    0.0023062,  0.00034766, 0.0012538,  0.0015155,  0.00060701, 0.001556,   0.00049078,
    0.0010377,  0.0015484,  0.0015731,  0.00046718, 0.0010028,
    0.018461,  // P
    0.002191,   0.00032102, 0.0017678,  0.0034513,  0.00059248, 0.0014243,  0.001139,
    0.0010088,  0.0031231,  0.0018055,  0.00075546, 0.0015822,  0.00090111, 0.007566,  // Q
    0.002445,   0.00044701, 0.0016166,  0.0026887,  0.00090768, 0.0019486,  0.001321,
    0.0013814,  0.0059565,  0.0024681,  0.00076734, 0.0020778,  0.0010627,  0.0025353,
    0.017751,  // R
    0.0063175,  0.00094867, 0.0028523,  0.002939,   0.0011904,  0.0038196,  0.0011642,
    0.0017357,  0.0031263,  0.0025096,  0.00087787, 0.003014,   0.0018004,  0.0019115,
    0.0022454,  0.013466,  // S
    0.0039,     0.00073798, 0.0018049,  0.0021676,  0.0010759,  0.0021484,  0.00077747,
    0.0024897,  0.0025086,  0.0030227,  0.00093371, 0.0022014,  0.0014798,  0.0015453,
    0.0018605,  0.0048729,  0.012994,  // T
    0.0053324,  0.0011915,  0.0012792,  0.001787,   0.0025616,  0.0019458,  0.00071553,
    0.01118,    0.002109,   0.0091446,  0.0019746,  0.0013661,  0.0013578,  0.0013284,
    0.0016936,  0.002416,   0.0034345,  0.020752,  // V
    0.00039119, 0.00010666, 0.00016015, 0.00023815, 0.00085751, 0.00038786, 0.00019097,
    0.00039549, 0.00028448, 0.00076736, 0.00016253, 0.00021006, 0.00015674, 0.00020592,
    0.00029139, 0.00026525, 0.00024961, 0.00038538,
    0.0056363,  // W
    0.0013184,  0.00036626, 0.00066005, 0.00092548, 0.0036874,  0.00089301, 0.0013104,
    0.0012786,  0.0010082,  0.0021971,  0.00054105, 0.0007496,  0.00047608, 0.00070192,
    0.0009943,  0.0010265,  0.00094759, 0.00148,    0.00069226, 0.0099931,  // Y
};

constexpr Probabilities kNucleotide{"ACGT", 0.6,  0.02, 0.18, 0.96, 0.012,
                                    0.008,  0.35, 0.65, 0.90, 0.10, kNucleotidePairs};
// MUSCLE 5.1 gives both models the same transition probabilities.
constexpr Probabilities kProtein{
    "ACDEFGHIKLMNPQRSTVWY", 0.6, 0.02, 0.18, 0.96, 0.012, 0.008, 0.35, 0.65, 0.90, 0.10,
    kProteinPairs};

// Logarithms are taken of the float probability in single precision.
float Log(float p) {
    return std::log(p);
}
float Narrow(double p) {
    return static_cast<float>(p);
}

HmmModel Build(const Probabilities& p) {
    HmmModel m;
    m.startM = Log(Narrow(p.startM));
    m.startShort = Log(Narrow(p.startShort));
    m.startLong = Log(Narrow(p.startLong));
    m.mm = Log(Narrow(p.mm));
    m.mShort = Log(Narrow(p.mShort));
    m.mLong = Log(Narrow(p.mLong));
    m.shortShort = Log(Narrow(p.shortShort));
    m.shortM = Log(Narrow(p.shortM));
    m.longLong = Log(Narrow(p.longLong));
    m.longM = Log(Narrow(p.longM));

    const std::size_t n = p.letters.size();
    float pair[20][20];
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j <= i; ++j) pair[i][j] = pair[j][i] = Narrow(p.pairs[k++]);

    // Symbols outside the alphabet are wildcards with uniform emission.
    const float wildcard = 1.0f / static_cast<float>(n);
    m.insert.fill(Log(wildcard));
    for (auto& row : m.match) row.fill(Log(wildcard * wildcard));

    for (std::size_t i = 0; i < n; ++i) {
        // A residue against a gap: the marginal of its pair emissions, summed in order.
        float marginal = 0;
        for (std::size_t j = 0; j < n; ++j) marginal += pair[i][j];
        const float insert = Log(marginal);
        const auto upper = static_cast<unsigned char>(std::toupper(p.letters[i]));
        const auto lower = static_cast<unsigned char>(std::tolower(p.letters[i]));
        m.insert[upper] = m.insert[lower] = insert;
        for (std::size_t j = 0; j < n; ++j) {
            const float score = Log(pair[i][j]);
            const auto upperB = static_cast<unsigned char>(std::toupper(p.letters[j]));
            const auto lowerB = static_cast<unsigned char>(std::tolower(p.letters[j]));
            m.match[upper][upperB] = m.match[upper][lowerB] = score;
            m.match[lower][upperB] = m.match[lower][lowerB] = score;
        }
    }
    if (n == 4) {
        // RNA: U scores as T.
        m.insert['U'] = m.insert['u'] = m.insert['T'];
        for (int c = 0; c < 256; ++c) {
            const float score = m.match['T'][c];
            m.match['U'][c] = m.match['u'][c] = score;
            m.match[c]['U'] = m.match[c]['u'] = score;
        }
    }
    // Symbol classes: bytes with equal insert scores and equal match rows and columns.
    std::vector<int> representative;
    for (int c = 0; c < 256; ++c) {
        int cls = 0;
        for (; cls < static_cast<int>(representative.size()); ++cls) {
            const int r = representative[static_cast<std::size_t>(cls)];
            bool same = m.insert[c] == m.insert[r];
            for (int b = 0; same && b < 256; ++b)
                same = m.match[c][b] == m.match[r][b] && m.match[b][c] == m.match[b][r];
            if (same) break;
        }
        if (cls == static_cast<int>(representative.size())) representative.push_back(c);
        m.classOf[c] = static_cast<std::uint8_t>(cls);
    }
    m.classes = static_cast<int>(representative.size());
    for (int r : representative)
        for (int b : representative) m.classMatch.push_back(m.match[r][b]);
    return m;
}

}  // namespace

const HmmModel& ModelFor(Alphabet alphabet) {
    static const HmmModel nucleotide = Build(kNucleotide);
    static const HmmModel protein = Build(kProtein);
    return alphabet == Alphabet::Protein ? protein : nucleotide;
}

}  // namespace kvr::align
