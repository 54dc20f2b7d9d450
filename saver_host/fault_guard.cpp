// The fault guard around a mode: a fault that the system's UnhandledExceptionFilter lets the
// guard handle ends the mode with FAULT_EXIT_CODE instead of taking the process down.
//
// On both architectures the guard is a frame-based handler, the kind __try/__except makes,
// and not a vectored one: the system asks frame-based handlers from the innermost frame
// outwards, so any handler inside the mode (the system's own included) sees a fault before
// the guard, which sits in the outermost frame of the mode. The two architectures only differ
// in how a frame names its handler: i686 links it into the thread's chain of exception
// frames (fs:[0]); x86_64 has no such chain and names it in the function's unwind
// information. GuardedCall is that frame, written once per architecture.
#include "saver_host/saver_host.h"

// Set by the architecture's guard when it has taken a fault of the mode it calls.
static int gGuardTookFault;

#if defined(__i386__)

// gcc has no __try on i686, so GuardedCall links its own exception frame into fs:[0] and comes
// back from a fault through setjmp/longjmp.
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

static int GuardedCall(int (*mode)(void* context), void* context)
{
    GuardFrame frame;
    frame.previous = ReadFrameChain();
    frame.handler = reinterpret_cast<void*>(GuardHandler);
    if (__builtin_setjmp(frame.jumpBuffer)) {
        // Back from a fault: whatever frames lay between it and the guard are gone.
        WriteFrameChain(frame.previous);
        gGuardTookFault = 1;
        return FAULT_EXIT_CODE;
    }
    WriteFrameChain(&frame);
    int result = mode(context);
    WriteFrameChain(frame.previous);
    return result;
}

#elif defined(__x86_64__)

// GuardedCall's unwind information names the C runtime's scope handler with one guarded range
// around the call of the mode, as a compiler writes __try/__except: GuardFilter decides, and
// a fault it accepts is unwound by the system to the range's landing, which returns
// FAULT_EXIT_CODE.
extern "C" int GuardedCall(int (*mode)(void* context), void* context);
extern "C" LONG GuardFilter(EXCEPTION_POINTERS* pointers, void* establisherFrame);

static_assert(FAULT_EXIT_CODE == -1, "GuardedCall's landing returns -1");

__asm__(".text\n"
        ".globl GuardedCall\n"
        ".def GuardedCall; .scl 2; .type 32; .endef\n"
        ".seh_proc GuardedCall\n"
        "GuardedCall:\n"
        "    subq $40, %rsp\n"
        "    .seh_stackalloc 40\n"
        "    .seh_endprologue\n"
        "    .seh_handler __C_specific_handler, @except\n"
        "    .seh_handlerdata\n"
        "    .long 1\n"
        "    .rva .LguardBegin, .LguardEnd, GuardFilter, .LguardLanding\n"
        "    .text\n"
        ".LguardBegin:\n"
        "    movq %rcx, %rax\n"
        "    movq %rdx, %rcx\n"
        "    callq *%rax\n"
        "    nop\n"
        ".LguardEnd:\n"
        "    addq $40, %rsp\n"
        "    retq\n"
        ".LguardLanding:\n"
        "    movl $-1, %eax\n"
        "    addq $40, %rsp\n"
        "    retq\n"
        ".seh_endproc\n");

extern "C" LONG GuardFilter(EXCEPTION_POINTERS* pointers, void*)
{
    if (UnhandledExceptionFilter(pointers) != EXCEPTION_EXECUTE_HANDLER)
        return EXCEPTION_CONTINUE_SEARCH;
    gGuardTookFault = 1;
    return EXCEPTION_EXECUTE_HANDLER;
}

#else
#error "The fault guard knows i686 and x86_64 only."
#endif

// Without a debugger the system asks the top-level filter first; this one lets the guard
// handle the fault instead of the system's crash dialog. A debugger still sees the fault.
static LONG WINAPI LetGuardHandleFault(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

int RunUnderFaultGuard(int (*mode)(void* context), void* context)
{
    SetUnhandledExceptionFilter(LetGuardHandleFault);
    gGuardTookFault = 0;
    int result = GuardedCall(mode, context);
    if (!gGuardTookFault)
        return result;
    SetScreenSaverRunning(0);
    return FAULT_EXIT_CODE;
}
