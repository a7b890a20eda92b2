#include "state/save_dialog.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(WithSuffix, TheSuffixIsNeverDoubled) {
    const struct {
        const char *chosen, *suffix, *path;
    } cases[] = {
        {"/d/figure", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.svg", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.SVG", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure_mat.svg", "_mat.svg", "/d/figure_mat.svg"},
        {"/d/figure.png", "_mat.svg", "/d/figure.png_mat.svg"},  // another format: kept
        {"/d/run", ".kvr", "/d/run.kvr"},
        {"/d/run.kvr", ".kvr", "/d/run.kvr"},
        {"/d/scores.txt", "_col.txt", "/d/scores_col.txt"},
        {"/d/.kvr", ".kvr", "/d/.kvr"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithSuffix(c.chosen, c.suffix), c.path) << c.chosen;
}

}  // namespace
}  // namespace kvr
