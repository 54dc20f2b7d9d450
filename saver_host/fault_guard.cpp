// The fault guard around a mode. gcc has no __try on i686, so the guard registers its own
// exception frame on the thread's frame chain (fs:[0]) and returns through setjmp/longjmp.
#include "saver_host/saver_host.h"

namespace {

// The layout the system walks: the previous frame, then the handler. The jump buffer follows
// and is ours alone.
struct GuardFrame {
    GuardFrame* previous;
    void* handler;
    void* jumpBuffer[5];
};

GuardFrame* ReadFrameChain()
{
    GuardFrame* head;
    __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head) : : "memory");
    return head;
}

void WriteFrameChain(GuardFrame* head)
{
    __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

// Without a debugger the system asks the top-level filter first; this one lets the guard
// handle the fault instead of the system's crash dialog. A debugger still sees the fault.
LONG WINAPI LetGuardHandleFault(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* frame,
                                                      CONTEXT* context, void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    EXCEPTION_POINTERS pointers = {record, context};
    if (UnhandledExceptionFilter(&pointers) != EXCEPTION_EXECUTE_HANDLER)
        return ExceptionContinueSearch;
    __builtin_longjmp(static_cast<GuardFrame*>(frame)->jumpBuffer, 1);
}

} // namespace

int RunGuarded(int (*mode)(void* context), void* context)
{
    SetUnhandledExceptionFilter(LetGuardHandleFault);

    GuardFrame frame;
    frame.previous = ReadFrameChain();
    frame.handler = reinterpret_cast<void*>(GuardHandler);
    if (__builtin_setjmp(frame.jumpBuffer)) {
        // Back from a fault: whatever frames lay between it and the guard are gone.
        WriteFrameChain(frame.previous);
        SetScreenSaverRunning(0);
        return FAULT_EXIT_CODE;
    }
    WriteFrameChain(&frame);
    int result = mode(context);
    WriteFrameChain(frame.previous);
    return result;
}
