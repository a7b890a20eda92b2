// The 96 feature columns that the model reads, in the order it receives them, with the mean and
// scale that standardise each column: value becomes (value - mean) / scale in single precision.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tolven {

struct RequiredColumn {
    std::string_view name;
    float mean;
    float scale;
};

inline constexpr std::size_t kFeatureCount = 96;

// 32 statistics in three variants each, always ending "1", "2", "3" in that order.
// clang-format off
inline constexpr std::array<RequiredColumn, kFeatureCount> kRequiredColumns{{
    {"ListCorr(A)1", 93.6483f, 77.81936f},
    {"ListCorr(A)2", 94.97878f, 78.615005f},
    {"ListCorr(A)3", 94.98503f, 78.49932f},
    {"SimScoreB(A)1", 0.16522826f, 0.3313539f},
    {"SimScoreB(A)2", 0.13167895f, 0.3302249f},
    {"SimScoreB(A)3", 0.12618144f, 0.33013326f},
    {"SimScore(A)1", 0.34391448f, 0.47501296f},
    {"SimScore(A)2", 0.293112f, 0.45518938f},
    {"SimScore(A)3", 0.29008946f, 0.45380345f},
    {"PhPrScore(A)1", 0.4035286f, 0.43516055f},
    {"PhPrScore(A)2", 0.46924517f, 0.4198326f},
    {"PhPrScore(A)3", 0.47907478f, 0.42051524f},
    {"PhPrScore2(A)1", 0.3407273f, 0.4245292f},
    {"PhPrScore2(A)2", 0.39561144f, 0.40729272f},
    {"PhPrScore2(A)3", 0.40074658f, 0.40618443f},
    {"PhPrScore3(A)1", 0.33788967f, 0.42237544f},
    {"PhPrScore3(A)2", 0.39265826f, 0.40565562f},
    {"PhPrScore3(A)3", 0.39667264f, 0.40395665f},
    {"SubScore(A)1", 8.534188f, 9.182152f},
    {"SubScore(A)2", 8.138416f, 8.876859f},
    {"SubScore(A)3", 8.035f, 8.799407f},
    {"SSDist(A)1", 0.14400886f, 0.29372746f},
    {"SSDist(A)2", 0.135663f, 0.2900433f},
    {"SSDist(A)3", 0.13233651f, 0.2824604f},
    {"OUIndexA(A)1", 0.2948106f, 0.4559576f},
    {"OUIndexA(A)2", 0.26937708f, 0.44363618f},
    {"OUIndexA(A)3", 0.2641328f, 0.44087034f},
    {"SubPhPrScore(A)1", 0.49313048f, 0.27690232f},
    {"SubPhPrScore(A)2", 0.4578035f, 0.27243036f},
    {"SubPhPrScore(A)3", 0.4528006f, 0.2725343f},
    {"SubScore2(A)1", 1.9242274f, 2.3095536f},
    {"SubScore2(A)2", 1.8578602f, 2.2620866f},
    {"SubScore2(A)3", 1.8517205f, 2.2580545f},
    {"SubPhPrScore2(A)1", 0.41068983f, 0.29305205f},
    {"SubPhPrScore2(A)2", 0.381404f, 0.2930084f},
    {"SubPhPrScore2(A)3", 0.37870535f, 0.29317704f},
    {"RCompat(A)1", 2.2910259f, 2.6241255f},
    {"RCompat(A)2", 2.5652986f, 2.66208f},
    {"RCompat(A)3", 2.6910582f, 2.7514498f},
    {"RCompat2(A)1", 0.018529402f, 0.23280591f},
    {"RCompat2(A)2", 0.019362547f, 0.23614036f},
    {"RCompat2(A)3", 0.019504635f, 0.2375467f},
    {"RCompat3(A)1", 0.08913359f, 0.71210974f},
    {"RCompat3(A)2", 0.09324119f, 0.7317378f},
    {"RCompat3(A)3", 0.098453194f, 0.76329213f},
    {"RCompat4(A)1", 0.00243485f, 0.105888925f},
    {"RCompat4(A)2", 0.0024413085f, 0.106041156f},
    {"RCompat4(A)3", 0.002473601f, 0.10734189f},
    {"RCompatS(A)1", 2.2972648f, 2.591072f},
    {"RCompatS(A)2", 2.575109f, 2.6309981f},
    {"RCompatS(A)3", 2.7048988f, 2.7164016f},
    {"RCompatS2(A)1", 0.015687667f, 0.22258118f},
    {"RCompatS2(A)2", 0.015687667f, 0.22258118f},
    {"RCompatS2(A)3", 0.015687667f, 0.22258118f},
    {"RCompatS3(A)1", 0.11023347f, 0.7824096f},
    {"RCompatS3(A)2", 0.1172151f, 0.8119051f},
    {"RCompatS3(A)3", 0.12358317f, 0.85185176f},
    {"RCompatS4(A)1", 0.0023056802f, 0.09563661f},
    {"RCompatS4(A)2", 0.0023056802f, 0.09563661f},
    {"RCompatS4(A)3", 0.0023056802f, 0.09563661f},
    {"RCompatC(A)1", 0.2794265f, 0.98819727f},
    {"RCompatC(A)2", 0.30316788f, 1.0430957f},
    {"RCompatC(A)3", 0.3143088f, 1.0647942f},
    {"RCompatD(A)1", 0.2900184f, 1.0070431f},
    {"RCompatD(A)2", 0.31255853f, 1.0517981f},
    {"RCompatD(A)3", 0.32375756f, 1.0738343f},
    {"TrpScore(A)1", 7.34176f, 9.919447f},
    {"TrpScore(A)2", 7.0250874f, 9.849521f},
    {"TrpScore(A)3", 6.924849f, 9.675159f},
    {"BadDists(A)1", 1.1292925f, 1.59626f},
    {"BadDists(A)2", 1.2199632f, 1.606194f},
    {"BadDists(A)3", 1.3192043f, 1.695653f},
    {"OUList(A)1", 1.0061291f, 0.79266334f},
    {"OUList(A)2", 0.9959505f, 0.82650906f},
    {"OUList(A)3", 0.9979204f, 0.8297646f},
    {"ListCorr2(A)1", 0.39678392f, 0.22446628f},
    {"ListCorr2(A)2", 0.39191f, 0.22453971f},
    {"ListCorr2(A)3", 0.39125672f, 0.22425348f},
    {"ListCorr3(A)1", 0.18867359f, 0.12584293f},
    {"ListCorr3(A)2", 0.19180022f, 0.12653409f},
    {"ListCorr3(A)3", 0.19278556f, 0.12659368f},
    {"OuCheck(A)1", -11.044021f, 56.66741f},
    {"OuCheck(A)2", -13.168644f, 56.567146f},
    {"OuCheck(A)3", -13.399354f, 56.605415f},
    {"SetTot(0:A)1", 3.1540155f, 5.2931976f},
    {"SetTot(0:A)2", 3.2257047f, 5.516125f},
    {"SetTot(0:A)3", 3.4838376f, 5.782016f},
    {"RankF(A:0)1", 61.81171f, 47.38166f},
    {"RankF(A:0)2", 60.488934f, 47.118187f},
    {"RankF(A:0)3", 60.48406f, 47.635376f},
    {"RankF(A:1)1", 60.04446f, 47.81972f},
    {"RankF(A:1)2", 58.99272f, 47.484863f},
    {"RankF(A:1)3", 58.86758f, 47.608513f},
    {"dMax(A)1", 0.5285497f, 0.21678954f},
    {"dMax(A)2", 0.5111503f, 0.21445225f},
    {"dMax(A)3", 0.50759894f, 0.2143008f},
}};
// clang-format on

}  // namespace tolven
