#include "ViewFrm/logic/DepthBudget.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

// A picture 1000 pixels wide drawn one to one on a screen of 0.5 mm pixels, 500 mm wide: the
// viewer 800 mm away, a budget of 800 / 30 mm. Rows: disparities near and far, then the rules.
struct Rule {
    double near, far;
    bool diverges, overBudget;
};

TEST(DepthBudget, WarnsWhereTheEyesWouldDivergeOrTheDepthIsTooMuch) {
    const DepthViewing viewing{1000, 0, 1.0, 0.5, 500, 65};
    for (const Rule& rule :
         {Rule{0, 40, false, false}, Rule{-10, 40, false, false}, Rule{-20, 40, false, true},
          Rule{100, 140, true, false}, Rule{120, 131, true, false}, Rule{-40, 131, true, true}}) {
        const DepthReadout r = depthReadout(rule.near, rule.far, viewing);
        EXPECT_EQ(r.diverges, rule.diverges) << rule.near << " " << rule.far;
        EXPECT_EQ(r.overBudget, rule.overBudget) << rule.near << " " << rule.far;
    }
    // Without the screen's size only the shares of the width are known: no warning.
    const DepthReadout unknown = depthReadout(-40, 400, {1000, 0, 1.0, 0.0, 0, 65});
    EXPECT_FALSE(unknown.farMm || unknown.diverges || unknown.overBudget);
}

} // namespace
} // namespace duoptic
