// The system utilities: key state, tick count, message box and beeps.
#include <gtest/gtest.h>

#include "app/system.h"
#include "platform/headless.h"
#include "tests/support/app_fixture.h"

namespace {

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }
};

TEST_F(SystemTest, KeyDownReportsAPressOnceAndTheHeldStateAlways) {
    headless::TapKey(VK_SPACE);
    EXPECT_TRUE(KeyDown(VK_SPACE));   // pressed since the last query
    EXPECT_FALSE(KeyDown(VK_SPACE));  // up, and no new press
    headless::KeyDown('Q');
    EXPECT_TRUE(KeyDown('Q'));
    EXPECT_TRUE(KeyDown('Q'));  // held
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState('Q')), 0x8000u);
    headless::KeyUp('Q');
    EXPECT_FALSE(KeyDown('Q'));
    EXPECT_FALSE(KeyDown(-1));
    EXPECT_FALSE(KeyDown(256));
}

TEST_F(SystemTest, MouseButtonsHaveKeyStateToo) {
    headless::PressLeft(nullptr, 0, 0);
    EXPECT_EQ(static_cast<unsigned short>(GetAsyncKeyState(VK_LBUTTON)), 0x8001u);
    headless::ReleaseLeft(nullptr, 0, 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
}

TEST_F(SystemTest, TickCountFollowsTheClockAndDifferencesSurviveTheWrap) {
    headless::AdvanceClock(0xFFFFFFF0u - headless::Now());
    uint32_t before = TickCount();
    SleepMs(0x20);
    uint32_t after = TickCount();
    EXPECT_LT(after, before);  // wrapped
    EXPECT_EQ(after - before, 0x20u);
}

TEST_F(SystemTest, ShowMessageAndBeeps) {
    ShowMessage("50% done");
    auto boxes = headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "50% done");
    EXPECT_EQ(boxes[0].caption, "Message Log");
    EXPECT_EQ(boxes[0].type, static_cast<unsigned>(MB_OK));

    uint32_t start = TickCount();
    BeepAndWait();
    EXPECT_EQ(headless::Beeps(), 1);
    EXPECT_EQ(TickCount() - start, 500u);
}

}  // namespace
