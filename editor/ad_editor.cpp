#include "editor/ad_editor.h"

#include <iterator>
#include <string>

#include "dsp/parameter_laws.h"
#include "editor/cabout.h"
#include "editor/cled.h"
#include "editor/scale_choice.h"
#include "gui/pixel_scale.h"
#include "editor/value_conversions.h"
#include "plugin/parameters.h"
#include "vst/audioeffectx.h"

namespace {

constexpr VstInt16 kFallbackWidth = 320;
constexpr VstInt16 kFallbackHeight = 257;
constexpr float kOutputDisplayMax = 20.0f;  // the readout shows the gain 4 v², up to 4

struct KnobPlace {
    VstInt32 parameter;
    CRect rect;
    CRect displayRect;
    float defaultValue;
};

// Knob and readout of each parameter, in the order they are added to the window.
const KnobPlace kKnobPlaces[] = {
    {kDecay, CRect(50, 71, 95, 116), CRect(48, 120, 98, 134), 0.5f},
    {kDamp, CRect(224, 71, 269, 116), CRect(222, 120, 272, 134), 0.5f},
    {kTranspose, CRect(149, 86, 171, 108), CRect(135, 112, 185, 126), 0.5f},
    {kTune, CRect(108, 123, 130, 145), CRect(95, 148, 145, 162), 0.5f},
    {kDetune, CRect(189, 123, 211, 145), CRect(176, 148, 226, 162), 0.0f},
    {kMix, CRect(64, 164, 86, 186), CRect(51, 189, 101, 203), 0.25f},
    {kOutput, CRect(233, 164, 255, 186), CRect(219, 189, 269, 203), 0.5f},
};

const CPoint kBypassButtonOrigin(131, 162);
const CPoint kLampOrigin(155, 135);
const CRect kAboutArea(50, 10, 280, 47);
const CRect kAboutPicture(30, 10, 290, 214);
const CPoint kVersionTextPosition(172, 80);

// The readouts show what the engine makes of a value: the Output readout the gain of its law,
// the bypass button and lamp the state the Bypass law gives.
float outputGain(float v) { return dsp::outputGainLaw(v); }
float roundedBypass(float v) { return static_cast<float>(dsp::bypassLaw(v)); }

}  // namespace

ADEditor::ADEditor(AudioEffect* effect) : CPresetSystemEditor(effect) {
    // The window's size is the background picture's. Decoding it needs no window system.
    CBitmap picture{CResourceDescription(kBackgroundBitmap)};
    rect.top = 0;
    rect.left = 0;
    rect.right = picture.isLoaded() ? static_cast<VstInt16>(picture.getWidth()) : kFallbackWidth;
    rect.bottom = picture.isLoaded() ? static_cast<VstInt16>(picture.getHeight()) : kFallbackHeight;
    baseWidth = rect.right;
    baseHeight = rect.bottom;
}

void ADEditor::setRectFor(int percent) {
    const double factor = pixel_scale::factorOf(percent);
    rect.right = static_cast<VstInt16>(rect.left + pixel_scale::toPixels(baseWidth, factor));
    rect.bottom = static_cast<VstInt16>(rect.top + pixel_scale::toPixels(baseHeight, factor));
}

bool ADEditor::getRect(ERect** outRect) {
    // While closed the size is the one the next window will take. While opening (a host may
    // ask inside its answer to the new size) it is the one the opening window settled on.
    if (!frame && !systemWindow) {
        if (!closedPercent || closedPercentChoices != scale_choice::storedChoices()) {
            closedPercentChoices = scale_choice::storedChoices();
            closedPercent = currentChoice(nullptr);
        }
        scalePercent = closedPercent;
        setRectFor(scalePercent);
    }
    return CPresetSystemEditor::getRect(outRect);
}

bool ADEditor::setContentScaleFactor(float factor) {
    if (!(factor >= 1.0f && factor <= 3.0f)) return false;
    hostPercent = pixel_scale::nearestOffered(factor * 100.0);
    closedPercent = 0;
    if (frame && !fixedPercent && !scale_choice::storedUserPercent()) applyScale(hostPercent);
    return true;
}

bool ADEditor::chooseScalePercent(int percent) {
    if (!pixel_scale::isOffered(percent)) return false;
    scale_choice::storeUserPercent(percent);
    fixedPercent = 0;
    closedPercent = 0;
    if (!frame) {
        scalePercent = percent;
        setRectFor(percent);
        return true;
    }
    return applyScale(percent);
}

bool ADEditor::setScalePercent(int percent) {
    if (!pixel_scale::isOffered(percent)) return false;
    fixedPercent = percent;
    closedPercent = 0;
    if (!frame) {
        scalePercent = percent;
        setRectFor(percent);
        return true;
    }
    return applyScale(percent);
}

int ADEditor::currentChoice(void* parentWindow) const {
    return fixedPercent ? fixedPercent : scale_choice::choose(hostPercent, parentWindow);
}

bool ADEditor::applyScale(int percent) {
    if (!frame || percent == scalePercent) return true;
    const ERect old = rect;
    setRectFor(percent);
    if (frame->isOpen()) {
        auto* fx = dynamic_cast<AudioEffectX*>(effect);
        if (!fx || !fx->sizeWindow(rect.right - rect.left, rect.bottom - rect.top)) {
            // A host that keeps the window's size gets the picture it has room for.
            rect = old;
            return false;
        }
    }
    if (!frame->setScale(pixel_scale::factorOf(percent))) {
        rect = old;
        if (auto* fx = dynamic_cast<AudioEffectX*>(effect); fx && frame->isOpen())
            fx->sizeWindow(rect.right - rect.left, rect.bottom - rect.top);
        return false;
    }
    scalePercent = percent;
    return true;
}

// A right-click on the background, away from every control, opens the size menu at the
// pointer with the current size checked.
CMouseEventResult ADEditor::backgroundPress(const CPoint& where, const CButtonState& buttons) {
    if (!frame || !(buttons & kRButton) || (buttons & kLButton)) return kMouseEventNotHandled;
    if (!sizeMenu) {
        sizeMenu = new COptionMenu(CRect(where, CPoint(1, 1)), this, kSizeMenuTag, nullptr, nullptr,
                                   kPopupStyle | kCheckStyle | kNoTextStyle | kNoDrawStyle);
        for (int percent : pixel_scale::kPercents) {
            const std::string title = "Size: " + std::to_string(percent) + " %";
            sizeMenu->addEntry(title.c_str());
        }
        frame->addView(sizeMenu);
    }
    sizeMenu->setViewSize(CRect(where, CPoint(1, 1)));
    for (int i = 0; i < sizeMenu->getNbEntries(); ++i)
        if (pixel_scale::kPercents[i] == scalePercent) sizeMenu->setCurrent(i);
    sizeMenu->popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

ADEditor::~ADEditor() { close(); }

int ADEditor::slotOf(VstInt32 parameter) {
    switch (parameter) {
        case kOutput: return kOutputSlot;
        case kMix: return kMixSlot;
        case kDecay: return kDecaySlot;
        case kDamp: return kDampSlot;
        case kTranspose: return kTransposeSlot;
        case kTune: return kTuneSlot;
        case kDetune: return kDetuneSlot;
        default: return -1;
    }
}

CKnob* ADEditor::getKnob(VstInt32 parameter) const {
    const int slot = slotOf(parameter);
    return slot < 0 ? nullptr : knobs[slot];
}

CParamDisplay* ADEditor::getDisplay(VstInt32 parameter) const {
    const int slot = slotOf(parameter);
    return slot < 0 ? nullptr : displays[slot];
}

float ADEditor::parameterValue(VstInt32 index) const { return effect ? effect->getParameter(index) : 0.0f; }

bool ADEditor::open(void* parentWindow) {
    if (frame) return true;  // already open
    if (!AEffGUIEditor::open(parentWindow)) return false;
    interfaceThread.store(std::this_thread::get_id());
    // The desktop's scale may have changed, or the window's monitor differs: the next
    // rectangle asked for while closed is found afresh.
    closedPercent = 0;
    // Every control is read afresh below; changes recorded while the window was closed are moot.
    pendingParameters.store(0);
    if (!buildWindow(parentWindow)) {
        releaseWindow();
        AEffGUIEditor::close();
        return false;
    }
    CPresetSystemEditor::open(parentWindow);
    return true;
}

bool ADEditor::buildWindow(void* parentWindow) {
    background = new CBitmap(CResourceDescription(kBackgroundBitmap));
    if (!background->isLoaded()) return false;
    // The scale the host was told by getRect, unless something decides otherwise now that the
    // parent window (and with it the monitor) is known.
    const int toldPercent = scalePercent;
    scalePercent = currentChoice(parentWindow);
    setRectFor(scalePercent);
    if (parentWindow && scalePercent != toldPercent) {
        // The host made its window for the size it was told: it is asked for the new one, and
        // a host that refuses gets the editor at the size it was told.
        auto* fx = dynamic_cast<AudioEffectX*>(effect);
        if (!fx || !fx->sizeWindow(rect.right - rect.left, rect.bottom - rect.top)) {
            scalePercent = toldPercent;
            setRectFor(scalePercent);
        }
    }
    const CRect size(rect.left, rect.top, rect.left + background->getWidth(), rect.top + background->getHeight());
    frame = new CFrame(size, this);
    frame->setScale(pixel_scale::factorOf(scalePercent));
    // A parent that is unusable, or no reachable window system: the host is told no window opened.
    if (parentWindow && !frame->open(parentWindow)) return false;
    frame->setBackground(background);
    frame->setBackgroundPressHandler(
        [this](const CPoint& where, const CButtonState& buttons) { return backgroundPress(where, buttons); });

    setKnobMode(kLinearMode);

    auto* largeHandle = new CBitmap(CResourceDescription(kLargeHandleBitmap));
    addKnobAndDisplay(kDecay, largeHandle);
    addKnobAndDisplay(kDamp, largeHandle);
    largeHandle->forget();

    auto* smallHandle = new CBitmap(CResourceDescription(kSmallHandleBitmap));
    for (VstInt32 parameter : {kTranspose, kTune, kDetune, kMix, kOutput}) addKnobAndDisplay(parameter, smallHandle);
    smallHandle->forget();

    auto* buttonBitmap = new CBitmap(CResourceDescription(kBypassBitmap));
    const CRect buttonRect(kBypassButtonOrigin, CPoint(buttonBitmap->getWidth(), buttonBitmap->getHeight() / 2));
    bypassButton = new COnOffButton(buttonRect, this, kBypass, buttonBitmap, 0);
    bypassButton->setValue(roundedBypass(parameterValue(kBypass)));
    frame->addView(bypassButton);
    buttonBitmap->forget();

    auto* aboutBitmap = new CBitmap(CResourceDescription(kAboutBitmap));
    about = new CAbout(kAboutArea, this, kAboutTag, aboutBitmap, kAboutPicture, CPoint(0, 0), kVersionTextPosition);
    frame->addView(about);
    aboutBitmap->forget();

    auto* lampBitmap = new CBitmap(CResourceDescription(kLampBitmap));
    const CRect lampRect(kLampOrigin, CPoint(lampBitmap->getWidth(), lampBitmap->getHeight() / 2));
    bypassLED = new CLED(lampRect, lampBitmap);
    bypassLED->setValue(parameterValue(kBypass));
    frame->addView(bypassLED);
    lampBitmap->forget();
    return true;
}

void ADEditor::addKnobAndDisplay(VstInt32 parameter, CBitmap* handle) {
    const KnobPlace* place = nullptr;
    for (const KnobPlace& candidate : kKnobPlaces)
        if (candidate.parameter == parameter) place = &candidate;
    const int slot = slotOf(parameter);
    const float v = parameterValue(parameter);

    auto* knob = new CKnob(place->rect, this, parameter, background, handle,
                           CPoint(place->rect.left, place->rect.top));
    knob->setValue(v);
    knob->setDefaultValue(place->defaultValue);
    frame->addView(knob);
    knobs[slot] = knob;

    auto* display = new CParamDisplay(place->displayRect, background, 0);
    display->setBackOffset(CPoint(place->displayRect.left, place->displayRect.top));
    display->setHoriAlign(kCenterText);
    display->setFont(kNormalFontVerySmall);
    display->setFontColor(kBlackCColor);
    if (parameter == kOutput) {
        display->setMax(kOutputDisplayMax);
        display->setValue(outputGain(v));
    } else {
        display->setValue(v);
    }
    display->setStringConvert(readoutConvert(kParameters[parameter].unit));
    frame->addView(display);
    displays[slot] = display;
}

void ADEditor::close() {
    CPresetSystemEditor::close();
    releaseWindow();
    AEffGUIEditor::close();
}

void ADEditor::releaseWindow() {
    bypassButton = nullptr;
    bypassLED = nullptr;
    for (int slot = 0; slot < kNumSlots; ++slot) {
        knobs[slot] = nullptr;
        displays[slot] = nullptr;
    }
    about = nullptr;
    sizeMenu = nullptr;
    if (frame) {
        frame->close();
        frame = nullptr;
    }
    if (background) {
        background->forget();
        background = nullptr;
    }
}

void ADEditor::idle() {
    if (frame) {
        const std::uint32_t changed = pendingParameters.exchange(0);
        for (VstInt32 index = 0; index < kNumParams; ++index)
            if (changed & (1u << index)) updateControls(index);
    }
    CPresetSystemEditor::idle();
}

void ADEditor::setParameter(VstInt32 index, float /*value*/) {
    if (index < 0 || index >= kNumParams) return;
    if (std::this_thread::get_id() != interfaceThread.load()) {
        pendingParameters.fetch_or(1u << index);
        return;
    }
    if (frame) updateControls(index);
}

void ADEditor::updateControls(VstInt32 index) {
    const float v = parameterValue(index);
    if (index == kBypass) {
        if (bypassButton) bypassButton->setValue(roundedBypass(v));
        if (bypassLED) bypassLED->setValue(roundedBypass(v));
        return;
    }
    const int slot = slotOf(index);
    if (knobs[slot]) knobs[slot]->setValue(v);
    if (displays[slot]) displays[slot]->setValue(index == kOutput ? outputGain(v) : v);
}

void ADEditor::valueChanged(CControl* control) {
    const std::int32_t tag = control ? control->getTag() : -1;
    CPresetSystemEditor::valueChanged(control);
    // A file command of the bar may show a modal dialog, during which the host may destroy the
    // effect and this editor: nothing of either is touched after a control of the bar (tags from
    // 1000 up), so the tag alone decides before any member is read.
    if (tag == kSizeMenuTag) {
        if (control != sizeMenu) return;
        const int index = static_cast<int>(control->getValue() + 0.5f);
        if (index >= 0 && index < static_cast<int>(std::size(pixel_scale::kPercents)))
            chooseScalePercent(pixel_scale::kPercents[index]);
        return;
    }
    if (tag < 0 || tag >= kNumParams || !effect) return;
    effect->setParameterAutomated(tag, control->getValue());
    control->setDirty();
}
