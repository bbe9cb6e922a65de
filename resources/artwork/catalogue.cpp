#include "resources/artwork/catalogue.h"

#include <algorithm>

#include "resources/artwork/about.h"
#include "resources/artwork/bypass.h"
#include "resources/artwork/knobs.h"
#include "resources/artwork/panel.h"
#include "resources/artwork/preset_bar.h"
#include "resources/artwork/stack.h"

namespace artwork {
namespace {

// A stacked control bitmap and the place in the window where its control lies.
struct PlacedControl {
    int id;
    Rect place;
    Surface stacked;
};

std::vector<PlacedControl> paintControls(cairo_surface_t* panel) {
    std::vector<PlacedControl> controls;
    controls.push_back({ids::kLamp, layout::kBypassLamp, paintLamp(panel)});
    controls.push_back({ids::kBypassButton, layout::kBypassButton, paintBypassButton(panel)});
    controls.push_back({ids::kPresetWord, layout::kPresetWord, paintPresetWordButton(panel)});
    controls.push_back({ids::kBankWord, layout::kBankWord, paintBankWordButton(panel)});
    controls.push_back({ids::kRecallA, layout::kRecallA,
                        paintArrowButton(panel, layout::kRecallA, ArrowKind::kLoad)});
    controls.push_back({ids::kRecallB, layout::kRecallB,
                        paintArrowButton(panel, layout::kRecallB, ArrowKind::kLoad)});
    controls.push_back({ids::kLoadBank, layout::kLoadBank,
                        paintArrowButton(panel, layout::kLoadBank, ArrowKind::kLoad)});
    controls.push_back({ids::kSaveBank, layout::kSaveBank,
                        paintArrowButton(panel, layout::kSaveBank, ArrowKind::kSave)});
    controls.push_back({ids::kStoreA, layout::kStoreA,
                        paintArrowButton(panel, layout::kStoreA, ArrowKind::kSave)});
    controls.push_back({ids::kStoreB, layout::kStoreB,
                        paintArrowButton(panel, layout::kStoreB, ArrowKind::kSave)});
    controls.push_back({ids::kPresetRocker, layout::kPresetRocker, paintPresetRocker(panel)});
    controls.push_back({ids::kLoadPreset, layout::kLoadPreset,
                        paintArrowButton(panel, layout::kLoadPreset, ArrowKind::kLoad)});
    controls.push_back({ids::kSavePreset, layout::kSavePreset,
                        paintArrowButton(panel, layout::kSavePreset, ArrowKind::kSave)});
    return controls;
}

// Bitmap 1128: the panel with every control shown at rest in its place, so the window
// looks whole before the controls draw and matches them pixel for pixel where they lie.
Surface paintBackground(cairo_surface_t* panel, const std::vector<PlacedControl>& controls) {
    Surface background = crop(panel, Rect{0, 0, layout::kWindowWidth, layout::kWindowHeight});
    Context context = makeContext(background.get());
    for (const PlacedControl& control : controls) {
        placeRestingFace(context.get(), control.stacked.get(), control.place);
    }
    return background;
}

}  // namespace

std::vector<Bitmap> paintAllBitmaps(double scale) {
    setScale(scale);
    const Surface panel = paintPanel();
    std::vector<PlacedControl> controls = paintControls(panel.get());

    std::vector<Bitmap> bitmaps;
    bitmaps.push_back({ids::kBackground, paintBackground(panel.get(), controls)});
    bitmaps.push_back({ids::kLargeHandle, paintLargeHandle()});
    bitmaps.push_back({ids::kSmallHandle, paintSmallHandle()});
    bitmaps.push_back({ids::kAboutPicture, paintAboutPicture()});
    for (PlacedControl& control : controls) {
        bitmaps.push_back({control.id, std::move(control.stacked)});
    }
    std::sort(bitmaps.begin(), bitmaps.end(),
              [](const Bitmap& a, const Bitmap& b) { return a.id < b.id; });
    setScale(1.0);
    return bitmaps;
}

}  // namespace artwork
