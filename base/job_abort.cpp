#include "base/job_abort.h"

#include <stdint.h>
#include <string.h>
#include <unwind.h>

#include <exception>

extern "C" {
// The gate (below) and where it ends; entered with the state pointer at
// [esp] and the interrupted instruction's address at [esp + 4].
void job_abort_gate();
extern const char job_abort_gate_end[];
// Called by the gate on the redirected thread: 1 to throw, 0 to resume.
int job_abort_decide(cJobAbortState* state, uintptr_t ip);
}

// The gate saves every register and the flags, and calls the decision. To
// resume it restores them all and returns to the interrupted instruction,
// which never notices; to throw it restores the registers that unwinding
// relies on and jumps to job_abort_throw with the interrupted instruction
// as its return address. Its unwind entry is marked as a signal frame so
// that unwinders look up the interrupted instruction itself, not the one
// before it, as they would for a return address after a call.
asm(R"(
    .text
    .p2align 4
    .globl _job_abort_gate
    .globl _job_abort_gate_end
_job_abort_gate:
    .cfi_startproc
    .cfi_signal_frame
    .cfi_def_cfa_offset 8
    pushfl
    .cfi_adjust_cfa_offset 4
    pushal
    .cfi_adjust_cfa_offset 32
    .cfi_rel_offset %edi, 0
    .cfi_rel_offset %esi, 4
    .cfi_rel_offset %ebp, 8
    .cfi_rel_offset %ebx, 16
    .cfi_rel_offset %edx, 20
    .cfi_rel_offset %ecx, 24
    .cfi_rel_offset %eax, 28
    cld
    movl %esp, %esi
    .cfi_def_cfa_register %esi
    andl $-16, %esp
    subl $8, %esp
    pushl 40(%esi)
    pushl 36(%esi)
    call _job_abort_decide
    movl %esi, %esp
    .cfi_def_cfa_register %esp
    testl %eax, %eax
    popal
    .cfi_adjust_cfa_offset -32
    .cfi_restore %edi
    .cfi_restore %esi
    .cfi_restore %ebp
    .cfi_restore %ebx
    .cfi_restore %edx
    .cfi_restore %ecx
    .cfi_restore %eax
    .cfi_remember_state
    jnz 1f
    popfl
    .cfi_adjust_cfa_offset -4
    pushl %eax
    .cfi_adjust_cfa_offset 4
    movl 4(%esp), %eax
    movl $0, (%eax)
    popl %eax
    .cfi_adjust_cfa_offset -4
    leal 4(%esp), %esp
    .cfi_adjust_cfa_offset -4
    ret
1:
    .cfi_restore_state
    leal 4(%esp), %esp
    .cfi_adjust_cfa_offset -4
    movl (%esp), %eax
    movl $0, (%eax)
    leal 4(%esp), %esp
    .cfi_adjust_cfa_offset -4
    jmp __Z15job_abort_throwv
    .cfi_endproc
_job_abort_gate_end:
)");

namespace {

struct cImageRange {
    uintptr_t begin;
    uintptr_t end;
};

// The image that holds this code, from its base to its base plus
// SizeOfImage.
cImageRange image_range()
{
    static const cImageRange range = [] {
        HMODULE module = nullptr;
        cImageRange r = {0, 0};
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(&job_abort_gate), &module))
            return r;
        const uint8_t* base = reinterpret_cast<const uint8_t*>(module);
        const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        r.begin = uintptr_t(base);
        r.end = r.begin + nt->OptionalHeader.SizeOfImage;
        return r;
    }();
    return range;
}

bool in_gate(uintptr_t ip)
{
    return ip >= uintptr_t(&job_abort_gate) && ip < uintptr_t(job_abort_gate_end);
}

const uint8_t encoding_omit = 0xFF;

const uint8_t* read_uleb128(const uint8_t* p, uintptr_t& value)
{
    value = 0;
    unsigned shift = 0;
    uint8_t byte;
    do {
        byte = *p++;
        if (shift < 32)
            value |= uintptr_t(byte & 0x7F) << shift;
        shift += 7;
    } while (byte & 0x80);
    return p;
}

// One value of a DWARF exception-header encoding; only its size matters
// for pointers, call-site fields are plain offsets. Null for an encoding
// this reader does not know.
const uint8_t* read_encoded(const uint8_t* p, uint8_t encoding, uintptr_t& value)
{
    value = 0;
    if (encoding == encoding_omit)
        return p;
    switch (encoding & 0x0F) {
    case 0x01:  // uleb128
    case 0x09:  // sleb128: the same bytes
        return read_uleb128(p, value);
    case 0x02:  // udata2
    case 0x0A:  // sdata2
        value = uintptr_t(p[0] | p[1] << 8);
        return p + 2;
    case 0x00:  // absolute pointer, 4 bytes here
    case 0x03:  // udata4
    case 0x0B:  // sdata4
        memcpy(&value, p, 4);
        return p + 4;
    default:
        return nullptr;
    }
}

// Whether the C++ personality routine lets an exception through this frame
// (or catches it) rather than calling terminate: it terminates when the
// instruction lies outside every call-site range of a frame that has
// exception tables, as in noexcept functions and cleanup code.
bool frame_passes_exception(_Unwind_Context* context)
{
    const uint8_t* p = static_cast<const uint8_t*>(_Unwind_GetLanguageSpecificData(context));
    if (!p)
        return true;
    int before_instruction = 0;
    uintptr_t ip = _Unwind_GetIPInfo(context, &before_instruction);
    if (!before_instruction)
        --ip;
    uintptr_t offset = ip - _Unwind_GetRegionStart(context);

    uintptr_t ignored, table_length;
    uint8_t landing_pad_base_encoding = *p++;
    p = read_encoded(p, landing_pad_base_encoding, ignored);
    if (!p)
        return false;
    if (*p++ != encoding_omit)
        p = read_uleb128(p, ignored);  // type table offset
    uint8_t call_site_encoding = *p++;
    p = read_uleb128(p, table_length);
    const uint8_t* end = p + table_length;
    while (p && p < end) {
        uintptr_t start, length;
        p = read_encoded(p, call_site_encoding, start);
        if (p)
            p = read_encoded(p, call_site_encoding, length);
        if (p)
            p = read_encoded(p, call_site_encoding, ignored);  // landing pad
        if (p)
            p = read_uleb128(p, ignored);  // action
        if (!p || offset < start)
            return false;
        if (offset < start + length)
            return true;
    }
    return false;
}

struct cFrameWalk {
    uintptr_t interrupted_ip;
    uintptr_t catching_frame;
    bool reached_interrupted;
    bool passes;
};

// Skips the frames of the decision and the gate, then checks each frame
// from the interrupted one up to the catching one.
_Unwind_Reason_Code check_frame(_Unwind_Context* context, void* argument)
{
    cFrameWalk& walk = *static_cast<cFrameWalk*>(argument);
    if (!walk.reached_interrupted) {
        int before_instruction = 0;
        uintptr_t ip = _Unwind_GetIPInfo(context, &before_instruction);
        if (ip != walk.interrupted_ip || !before_instruction)
            return _URC_NO_REASON;
        walk.reached_interrupted = true;
    }
    // The frame's stack pointer lies above the catching routine's frame
    // only for its callers: everything that had to pass was checked.
    if (_Unwind_GetCFA(context) > walk.catching_frame) {
        walk.passes = true;
        return _URC_END_OF_STACK;
    }
    return frame_passes_exception(context) ? _URC_NO_REASON : _URC_END_OF_STACK;
}

[[noreturn]] __attribute__((noinline)) void throw_cancellation() { throw 0; }

}  // namespace

int job_abort_decide(cJobAbortState* state, uintptr_t ip)
{
    // Unwinding already (its cleanups must not throw), or outside the hooks.
    if (!state->armed || std::uncaught_exceptions() > 0 || in_gate(ip))
        return 0;
    cFrameWalk walk = {ip, uintptr_t(state->catching_frame), false, false};
    _Unwind_Backtrace(check_frame, &walk);
    if (!walk.passes)
        return 0;
    state->armed = 0;
    state->delivered = 1;
    return 1;
}

void job_abort_throw()
{
    // Entered from the gate, never called: the frame below is the
    // interrupted instruction itself. The throw lives in a routine of its
    // own so that this whole routine stays one unwind entry with the mark.
    asm volatile(".cfi_signal_frame");
    throw_cancellation();
}

bool job_abort_redirect(HANDLE thread, cJobAbortState& state)
{
    if (SuspendThread(thread) == DWORD(-1))
        return false;
    bool redirected = false;
    CONTEXT context;
    context.ContextFlags = CONTEXT_FULL;
    cImageRange image = image_range();
    // GetThreadContext also waits until the suspension has taken effect, so
    // the flags read after it are the held thread's last word.
    if (GetThreadContext(thread, &context) && state.armed && !state.redirect_pending &&
        context.Eip >= image.begin && context.Eip < image.end) {
        // What a call from the interrupted point would leave on the stack,
        // with the state for the gate beneath it. Written through the
        // memory interface, which fails on a guard page instead of faulting.
        DWORD frame[2] = {DWORD(uintptr_t(&state)), context.Eip};
        SIZE_T written = 0;
        if (WriteProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(context.Esp - 8), frame, sizeof(frame),
                               &written) &&
            written == sizeof(frame)) {
            context.Esp -= 8;
            context.Eip = DWORD(uintptr_t(&job_abort_gate));
            state.redirect_pending = 1;
            redirected = SetThreadContext(thread, &context);
            if (!redirected)
                state.redirect_pending = 0;
        }
    }
    ResumeThread(thread);
    return redirected;
}

void job_abort_abandon(HANDLE thread, const cJobAbortState& state)
{
    // The gate is short; a thread that does not leave it within a second
    // (it waits on a lock that another frozen thread holds) stays there.
    DWORD start = GetTickCount();
    for (;;) {
        if (SuspendThread(thread) == DWORD(-1))
            return;
        CONTEXT context;
        context.ContextFlags = CONTEXT_CONTROL;
        if (!GetThreadContext(thread, &context) || !state.redirect_pending || GetTickCount() - start >= 1000)
            return;
        ResumeThread(thread);
        Sleep(1);
    }
}
