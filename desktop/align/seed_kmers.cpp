#include "align/seed_kmers.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace kvr::align {

namespace {

// A nucleotide as two bits (case aside, U as T), or -1.
int BaseCode(char c) {
    switch (c | 0x20) {
        case 'a':
            return 0;
        case 'c':
            return 1;
        case 'g':
            return 2;
        case 't':
        case 'u':
            return 3;
        default:
            return -1;
    }
}

}  // namespace

std::vector<Kmer> UniqueKmers(std::string_view s, std::size_t k, Alphabet alphabet) {
    std::vector<Kmer> all;
    if (s.size() < k) return all;
    all.reserve(s.size() - k + 1);
    if (alphabet == Alphabet::Nucleotide) {
        const std::uint64_t mask = (std::uint64_t{1} << (2 * k)) - 1;
        std::uint64_t code = 0;
        std::size_t run = 0;
        for (std::size_t p = 0; p < s.size(); ++p) {
            const int base = BaseCode(s[p]);
            if (base < 0) {
                run = 0;
                continue;
            }
            code = ((code << 2) | static_cast<std::uint64_t>(base)) & mask;
            if (++run >= k) all.push_back({code, static_cast<std::int32_t>(p + 1 - k)});
        }
    } else {
        for (std::size_t p = 0; p + k <= s.size(); ++p) {
            std::uint64_t h = 1469598103934665603ull;  // FNV-1a
            for (std::size_t t = 0; t < k; ++t) {
                const auto c = static_cast<unsigned char>(s[p + t]);
                h = (h ^ (c >= 'a' && c <= 'z' ? c - 32u : c)) * 1099511628211ull;
            }
            all.push_back({h, static_cast<std::int32_t>(p)});
        }
    }
    std::sort(all.begin(), all.end());
    std::vector<Kmer> unique;
    for (std::size_t a = 0; a < all.size();) {
        std::size_t b = a + 1;
        while (b < all.size() && all[b].hash == all[a].hash) ++b;
        if (b == a + 1) unique.push_back(all[a]);
        a = b;
    }
    return unique;
}

std::shared_ptr<const std::vector<Kmer>> SeedKmerCache::UniqueKmers(std::string_view s,
                                                                    std::size_t k,
                                                                    Alphabet alphabet) {
    const std::size_t key = std::hash<std::string_view>{}(s);
    const auto [from, to] = entries_.equal_range(key);
    for (auto e = from; e != to; ++e) {
        Entry& entry = e->second;
        if (entry.k == k && entry.alphabet == alphabet && entry.sequence == s) {
            entry.used = ++clock_;
            return entry.kmers;
        }
    }
    auto kmers = std::make_shared<const std::vector<Kmer>>(align::UniqueKmers(s, k, alphabet));
    const std::size_t bytes = s.size() + kmers->size() * sizeof(Kmer) + sizeof(Entry);
    if (bytes > maxBytes_) return kmers;  // too large to keep: used once, as without a cache
    while (bytes_ + bytes > maxBytes_) {
        const auto oldest = std::min_element(
            entries_.begin(), entries_.end(),
            [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        bytes_ -= oldest->second.bytes;
        entries_.erase(oldest);
    }
    entries_.emplace(key, Entry{std::string(s), k, alphabet, kmers, ++clock_, bytes});
    bytes_ += bytes;
    return kmers;
}

}  // namespace kvr::align
