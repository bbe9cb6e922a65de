// The DLL's editor in a host's window: what it shows, held to the picture the Linux editor
// draws, and what a drag on a knob and a click on the preset bar do to the effect.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "win32_plugin_host.h"

namespace {

using namespace wintest;

constexpr VstInt32 kDecay = 2;
// The Decay knob's centre, the rocker's halves and the band above the knobs, which holds
// artwork only, no text.
constexpr int kDecayX = 72, kDecayY = 93;
constexpr int kRockerLeftX = 236, kRockerRightX = 254, kRockerY = 241;
constexpr int kTitleBandHeight = 50;
// Text is drawn by each system's font rasteriser: pixels may differ by this much in a
// channel, and this share of them by more.
constexpr int kChannelTolerance = 40;
constexpr double kDifferingShareAllowed = 0.01;

// A PNG file through GDI+, as opaque 0xRRGGBB pixels; empty when it cannot be read.
Pixels readPng(const std::filesystem::path& path) {
    Pixels pixels;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return pixels;
    {
        Gdiplus::Bitmap bitmap(path.c_str());
        Gdiplus::BitmapData data{};
        Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap.GetWidth()), static_cast<INT>(bitmap.GetHeight()));
        if (bitmap.GetLastStatus() == Gdiplus::Ok &&
            bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
            pixels.width = all.Width;
            pixels.height = all.Height;
            for (int y = 0; y < all.Height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                                          y * data.Stride);
                for (int x = 0; x < all.Width; ++x) pixels.rgb.push_back(row[x] & 0xFFFFFFu);
            }
            bitmap.UnlockBits(&data);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return pixels;
}

int largestChannelDifference(std::uint32_t a, std::uint32_t b) {
    int largest = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int channelA = static_cast<int>((a >> shift) & 0xFF), channelB = static_cast<int>((b >> shift) & 0xFF);
        largest = std::max(largest, std::abs(channelA - channelB));
    }
    return largest;
}

class LastAutomation : public host::CAutomationListener {
public:
    void parameterAutomated(VstInt32 index, float value) override {
        this->index = index;
        this->value = value;
    }
    VstInt32 index = -1;
    float value = -1.0f;
};

class DllEditor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window.handle(), nullptr);
        ASSERT_TRUE(openEditor(plugin, window));
        editor = window.editor();
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override { plugin.dispatch(effEditClose); }

    host::CPluginInstance plugin{pluginPath()};  // in the run's settings sandbox: the factory presets
    EditorHostWindow window;
    HWND editor = nullptr;
};

// The picture on screen against the one the Linux editor draws at the same scale.
void expectTheLinuxPicture(const Pixels& shown, const char* referenceName, int width, int height) {
    const std::filesystem::path path = std::filesystem::path(CHORDWELL_TEST_DATA) / referenceName;
    const Pixels reference = readPng(path);
    ASSERT_EQ(reference.width, width) << path;
    ASSERT_EQ(reference.height, height) << path;
    ASSERT_EQ(shown.width, width);
    ASSERT_EQ(shown.height, height);
    const int titleBandPixels = kTitleBandHeight * (height / kEditorHeight) * width;
    int differing = 0, largest = 0, differingInTitle = 0;
    for (std::size_t i = 0; i < shown.rgb.size(); ++i) {
        const int difference = largestChannelDifference(shown.rgb[i], reference.rgb[i]);
        largest = std::max(largest, difference);
        differing += difference > kChannelTolerance;
        differingInTitle += difference != 0 && static_cast<int>(i) < titleBandPixels;
    }
    std::cout << differing << " of " << shown.rgb.size() << " pixels differ by more than " << kChannelTolerance
              << " in a channel; the largest difference is " << largest << "\n";
    EXPECT_LT(differing, static_cast<int>(kDifferingShareAllowed * static_cast<double>(shown.rgb.size())));
    EXPECT_EQ(differingInTitle, 0) << "the artwork itself differs";
}

TEST_F(DllEditor, ShowsWhatTheLinuxEditorDraws) {
    pumpMessages(200);  // every control painted at least once
    expectTheLinuxPicture(capture(editor), "editor_default.png", kEditorWidth, kEditorHeight);
}

// Told 200 % by the host before it opens (the hosts' 'PreS' call), the editor opens at twice
// the size and shows what the Linux editor draws at 200 %.
TEST(DllEditorScaled, OpensAtTwiceTheSizeWithTheLinuxPicture) {
    host::CPluginInstance plugin{pluginPath()};
    constexpr VstInt32 kScaleRequest = 0x50726553;
    constexpr VstIntPtr kScaleSelector = 0x41654373;
    ASSERT_EQ(plugin.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, 2.0f), 1);
    EditorHostWindow window(2 * kEditorWidth, 2 * kEditorHeight);
    ASSERT_TRUE(openEditor(plugin, window, 2 * kEditorWidth, 2 * kEditorHeight));
    pumpMessages(200);
    expectTheLinuxPicture(capture(window.editor()), "editor_200.png", 2 * kEditorWidth, 2 * kEditorHeight);
    plugin.dispatch(effEditClose);
}

TEST_F(DllEditor, DraggingAKnobUpRaisesItsParameterAndTellsTheHost) {
    plugin.setParameter(kDecay, 0.3f);
    plugin.dispatch(effEditIdle);
    LastAutomation automation;
    plugin.setAutomationListener(&automation);
    mouseDrag(editor, kDecayX, kDecayY, kDecayX, kDecayY - 40);  // 40 pixels of the knob's 200
    plugin.setAutomationListener(nullptr);
    EXPECT_NEAR(plugin.getParameter(kDecay), 0.5f, 1e-6f);
    EXPECT_EQ(automation.index, kDecay);
    EXPECT_EQ(automation.value, plugin.getParameter(kDecay));
}

TEST_F(DllEditor, TheRockerStepsThroughThePresets) {
    const std::string first = plugin.text(effGetProgramNameIndexed, 0);
    const std::string second = plugin.text(effGetProgramNameIndexed, 1);
    ASSERT_NE(first, second);
    ASSERT_EQ(plugin.text(effGetProgramName), first);
    mouseClick(editor, kRockerRightX, kRockerY);
    EXPECT_EQ(plugin.text(effGetProgramName), second);
    mouseClick(editor, kRockerLeftX, kRockerY);
    EXPECT_EQ(plugin.text(effGetProgramName), first);
}

// What the host does while the save dialog runs its message loop, from a thread timer of its
// own: with `closing`, it closes the editor, closes the effect and unloads the library; then
// the user names a file and presses Save.
namespace hostDuringDialog {

host::CPluginInstance* plugin = nullptr;
bool closing = false;
std::wstring answer;
std::wstring title;
int ticks = 0;

void CALLBACK act(HWND, UINT, UINT_PTR timer, DWORD) {
    constexpr int kPatience = 400;  // ticks of 50 ms
    HWND dialog = FindWindowW(L"#32770", nullptr);
    if (!dialog && ++ticks < kPatience) return;
    KillTimer(nullptr, timer);
    if (!dialog) return;
    wchar_t text[64] = {};
    GetWindowTextW(dialog, text, 64);
    title = text;
    if (closing) {
        plugin->dispatch(effEditClose);
        delete plugin;  // effClose, and the library unloaded
        plugin = nullptr;
    }
    SetDlgItemTextW(dialog, cmb13, answer.c_str());
    SetDlgItemTextW(dialog, edt1, answer.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// Clicks the save arrow, which returns once the dialog has closed; true when the file was saved.
bool saveThroughTheDialog(HWND editor, const std::filesystem::path& file, bool closing) {
    constexpr int kSavePresetX = 17, kSavePresetY = 233;
    hostDuringDialog::closing = closing;
    answer = file.wstring();
    title.clear();
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &act);
    if (timer == 0) return false;
    mouseClick(editor, kSavePresetX, kSavePresetY);
    pumpMessages(100);
    return std::filesystem::exists(file);
}

}  // namespace hostDuringDialog

TEST(DllFileDialog, AHostClosingAndUnloadingThePluginDuringTheDialogFindsTheAnswerIgnored) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "chordwell-dialog-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    EditorHostWindow window;
    hostDuringDialog::plugin = new host::CPluginInstance(pluginPath());
    ASSERT_TRUE(openEditor(*hostDuringDialog::plugin, window));

    EXPECT_TRUE(hostDuringDialog::saveThroughTheDialog(window.editor(), folder / "kept.qza", false));
    EXPECT_EQ(hostDuringDialog::title, L"Save preset");
    EXPECT_FALSE(hostDuringDialog::saveThroughTheDialog(window.editor(), folder / "ignored.qza", true));
    EXPECT_EQ(hostDuringDialog::title, L"Save preset");
    EXPECT_EQ(hostDuringDialog::plugin, nullptr);

    delete hostDuringDialog::plugin;  // left only when no dialog came
    std::filesystem::remove_all(folder);
}

}  // namespace
