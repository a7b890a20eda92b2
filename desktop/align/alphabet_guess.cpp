// The set's alphabet, and MUSCLE's alphabet guess. Its pseudo-random generator (a
// multiply-with-carry generator seeded through a linear congruential one, seed 1) is reproduced so
// that the same 100 positions are drawn; a fresh generator per pair, as every MUSCLE run starts
// with one.
#include <cstdint>

#include "align/align.h"

namespace kvr::align {

namespace {

class MuscleRandom {
  public:
    MuscleRandom() {
        std::uint32_t lcg = 1;
        const auto lcgNext = [&lcg] { return lcg = lcg * 214013u + 2531011u; };
        for (int k = 0; k < 10; ++k) lcgNext();
        for (auto& v : x_) v = lcgNext();
        for (int k = 0; k < 100; ++k) Step();
    }
    std::uint32_t Next() {
        Step();
        return x_[0];
    }

  private:
    void Step() {
        const std::uint64_t sum =
            2111111111ull * x_[3] + 1492ull * x_[2] + 1776ull * x_[1] + 5115ull * x_[0] + x_[4];
        x_[3] = x_[2];
        x_[2] = x_[1];
        x_[1] = x_[0];
        x_[4] = static_cast<std::uint32_t>(sum >> 32);
        x_[0] = static_cast<std::uint32_t>(sum);
    }
    std::uint32_t x_[5];
};

bool IsNucleotideLetter(char c) {
    switch (c) {
        case 'A':
        case 'C':
        case 'G':
        case 'T':
        case 'U':
        case 'a':
        case 'c':
        case 'g':
        case 't':
        case 'u':
            return true;
        default:
            return false;
    }
}

// A base or an IUPAC code for several; X (any residue, of a protein too) is not.
bool IsNucleotideOrAmbiguity(char c) {
    return IsNucleotideLetter(c) || (IsAmbiguityCode(c) && (c | 0x20) != 'x');
}

}  // namespace

Alphabet SetAlphabet(const std::vector<std::string_view>& sequences) {
    std::uint64_t residues = 0, nucleotides = 0;
    for (const std::string_view s : sequences) {
        residues += s.size();
        for (const char c : s) nucleotides += IsNucleotideOrAmbiguity(c);
    }
    return residues == 0 || 4 * nucleotides > 3 * residues ? Alphabet::Nucleotide
                                                           : Alphabet::Protein;
}

Alphabet GuessAlphabet(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return Alphabet::Nucleotide;
    MuscleRandom random;
    int nucleotides = 0;
    for (int k = 0; k < 100; ++k) {
        const std::string_view s = random.Next() % 2 == 0 ? a : b;
        if (IsNucleotideLetter(s[random.Next() % s.size()])) ++nucleotides;
    }
    return nucleotides > 75 ? Alphabet::Nucleotide : Alphabet::Protein;
}

}  // namespace kvr::align
