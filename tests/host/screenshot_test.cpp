// chordwell screenshot: our editor drawn with no X server at all, into a PNG file.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "host_test_support.h"
#include "pictures.h"

using namespace hosttest;

namespace {

constexpr int kEditorWidth = 320;
constexpr int kEditorHeight = 257;
// The Bypass lamp, lit only while Bypass is on.
constexpr int kLampLeft = 155, kLampTop = 135, kLampRight = 165, kLampBottom = 145;

class Screenshot : public ::testing::Test {
protected:
    // No X server for the child, and settings of its own, so the factory presets apply.
    ChildResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {CHORDWELL_EXE, "screenshot"});
        return runChild(args, {{"DISPLAY", std::nullopt}, {"XDG_CONFIG_HOME", config.path().string()}});
    }

    CTempDir config;
    CTempDir dir;
};

}  // namespace

TEST_F(Screenshot, DrawsTheEditorWithoutAnXServerAndShowsBypassOnTheLamp) {
    const std::string plain = (dir / "plain.png").string();
    const ChildResult first = run({plain});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("wrote "), std::string::npos) << first.out;
    const Picture normal = readPng(plain);
    ASSERT_EQ(normal.width, kEditorWidth);
    ASSERT_EQ(normal.height, kEditorHeight);

    const std::string bypassed = (dir / "bypassed.png").string();
    const ChildResult second = run({bypassed, "--param", "Bypass=1"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const Picture lit = readPng(bypassed);
    ASSERT_EQ(lit.width, kEditorWidth);
    ASSERT_EQ(lit.height, kEditorHeight);
    EXPECT_GT(differingShare(normal, lit, kLampLeft, kLampTop, kLampRight, kLampBottom), 0.0);
    // The title band does not depend on Bypass.
    EXPECT_EQ(differingShare(normal, lit, 0, 0, kEditorWidth, 50), 0.0);

    // The same settings draw the same picture; only the two outputs are left in the folder.
    const ChildResult again = run({plain});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(readPng(plain).pixels, normal.pixels);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"bypassed.png", "plain.png"}));
}

TEST_F(Screenshot, RefusesBadArgumentsAndLeavesExistingFilesAlone) {
    const ChildResult badParameter = run({(dir / "new.png").string(), "--param", "Nope=1"});
    EXPECT_EQ(badParameter.exitCode, 1);
    EXPECT_NE(badParameter.err.find("unknown parameter \"Nope\""), std::string::npos) << badParameter.err;
    EXPECT_TRUE(dir.entries().empty());

    // A failed run leaves a file already there untouched.
    const std::filesystem::path kept = dir / "kept.png";
    { std::ofstream(kept) << "earlier"; }
    const ChildResult badPreset = run({kept.string(), "--preset", "Nowhere"});
    EXPECT_EQ(badPreset.exitCode, 1);
    EXPECT_NE(badPreset.err.find("unknown preset"), std::string::npos) << badPreset.err;
    std::ifstream in(kept);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "earlier");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"kept.png"}));

    const ChildResult notPng = run({(dir / "picture.jpg").string()});
    EXPECT_EQ(notPng.exitCode, 2);
    EXPECT_NE(notPng.err.find(".png"), std::string::npos) << notPng.err;
    const ChildResult noOutput = run({});
    EXPECT_EQ(noOutput.exitCode, 2);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"kept.png"}));
}
