// The Configure dialog told that its place has another density, against the
// simulated desktop (host) and the real backend (run under Wine, which has
// one density for every monitor and never tells a window of a change: the
// test tells it as Windows 10 does).
#include <gtest/gtest.h>

#include <memory>

#include "conformance/dialog_target.h"
#include "conformance/layout_check.h"
#include "platform/dispatch.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

TEST(DensityConformance, TheDialogIsLaidOutAgainAtEachNewDensityAndBack) {
    std::unique_ptr<platform::Form> form =
        Dialogs().runtime().CreateForm(ConfigureDialogDescription(), {});
    platform::Form& dialog = *form;
    const platform::TwipsRect design = dialog.description().client;
    Dialogs().RunModal(dialog, [&] {
        for (int dpi : {120, 144, 192, 96}) {
            EXPECT_TRUE(Dialogs().ChangeDensity(dpi)) << "the size suggested, at " << dpi;
            const platform::ClientArea client = Dialogs().ClientSize();
            // Its size in twips, at the new density.
            EXPECT_EQ(client.width, platform::TwipsToPixels(design.width, dpi));
            EXPECT_EQ(client.height, platform::TwipsToPixels(design.height, dpi));
            ExpectLaidOutAt(dialog, Dialogs().Shown(), client.width, client.height, dpi);
        }
        dialog.Unload();
    });
}

}  // namespace
}  // namespace quorvel::testing
