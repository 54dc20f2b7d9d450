// The fault guard: a fault inside a mode ends the mode with the guard's exit code instead of
// taking the process down, and a mode without a fault returns its own result.
#include "saver_host/saver_host.h"
#include <gtest/gtest.h>

static int ReturnContext(void* context)
{
    return *static_cast<int*>(context);
}

static int WriteThroughNull(void* context)
{
    volatile int* nowhere = static_cast<int*>(context);
    *nowhere = 1;
    return 5;
}

static LRESULT CALLBACK FaultingWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam)
{
    if (message == WM_USER) {
        volatile int* nowhere = nullptr;
        *nowhere = 2;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static int FaultInsideWindowProcedure(void*)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FaultingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FaultingClass";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("FaultingClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    PostMessageA(window, WM_USER, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0))
        DispatchMessageA(&message);
    return 6;
}

TEST(FaultGuard, PassesTheModeResultThrough)
{
    int results[] = {0, 1, -1, 12345};
    for (int result : results)
        EXPECT_EQ(RunUnderFaultGuard(ReturnContext, &result), result);
}

TEST(FaultGuard, AFaultInTheModeYieldsTheFaultExitCode)
{
    EXPECT_EQ(RunUnderFaultGuard(WriteThroughNull, nullptr), FAULT_EXIT_CODE);
    // The guard is usable again, and the thread's frame chain survived the first fault.
    EXPECT_EQ(RunUnderFaultGuard(WriteThroughNull, nullptr), FAULT_EXIT_CODE);
    int value = 3;
    EXPECT_EQ(RunUnderFaultGuard(ReturnContext, &value), 3);
}

TEST(FaultGuard, CoversAFaultInsideTheMessageLoop)
{
    EXPECT_EQ(RunUnderFaultGuard(FaultInsideWindowProcedure, nullptr), FAULT_EXIT_CODE);
}
