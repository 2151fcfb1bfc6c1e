// The demonstration's window: one frame per idle turn, and the keys that steer it.
#pragma once

#include <cstdint>

#include "win/window.h"

class MainWindow : public Window {
public:
    MainWindow();
    ~MainWindow() override;

    void OnEvent(int kind, int code, int detail) override;
    void OnIdle() override;
    void EditScene();

    bool penDown;               // the left button was already down on the previous frame
    int32_t penX;               // the last pen point
    int32_t penY;
    int32_t frameSkip;          // present every frameSkip-th frame; 0 presents every frame
    uint32_t frameSkipShownAt;  // TickCount of the last change; 0 while the text is not shown
};
