// The Configure dialog told that its place has another density, against the
// simulated desktop (host) and the real backend (run under Wine, which has
// one density for every monitor and never tells a window of a change: the
// test tells it as Windows 10 does, and the backend lays the dialog out at
// the density told).
#include <gtest/gtest.h>

#include <memory>

#include "conformance/dialog_target.h"
#include "conformance/layout_check.h"
#include "platform/twips.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

TEST(DensityConformance, TheDialogIsLaidOutAgainAtEachNewDensityAndBack) {
    std::unique_ptr<platform::Form> form =
        Dialogs().runtime().CreateForm(ConfigureDialogDescription(), {});
    platform::Form& dialog = *form;
    const platform::TwipsRect design = dialog.description().client;
    Dialogs().RunModal(dialog, [&] {
        // From 96 to each and back, as Windows asks when the dialog is
        // dragged to a monitor of that scale and back again.
        for (int there : {120, 144, 192}) {
            for (int dpi : {there, 96}) {
                SCOPED_TRACE(::testing::Message() << "from " << there << " to " << dpi);
                EXPECT_TRUE(Dialogs().ChangeDensity(dpi)) << "the size it asked for";
                const platform::ClientArea client = Dialogs().ClientSize();
                // At least its size in twips at the new density, so that
                // every control fits. Exactly that where the window system
                // draws the frame at the window's density too (the simulated
                // desktop has no frame; see density_test.cpp); the real one
                // here keeps the frame of the density the window really has,
                // which a told move does not change (Wine 8 has one for every
                // window), so the client area is what the frame of the new
                // density would leave.
                EXPECT_GE(client.width, platform::TwipsToPixels(design.width, dpi));
                EXPECT_GE(client.height, platform::TwipsToPixels(design.height, dpi));
                ExpectLaidOutAt(dialog, Dialogs().Shown(), client.width, client.height, dpi);
            }
        }
        dialog.Unload();
    });
}

}  // namespace
}  // namespace quorvel::testing
