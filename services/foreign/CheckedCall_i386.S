/* uint32_t ForeignCallChecked(const void* function, const uint32_t* args, uint32_t count,
 *                             int32_t* stackDelta)   -- cdecl
 * A stdcall callee removes its own arguments, so ESP after the call must equal ESP before the
 * first push; any difference is reported (bytes left behind are positive, extra bytes taken
 * negative) and ESP is put back. EDI holds the noted ESP: callee-saved in both conventions. */
#ifdef _WIN32
#define SYMBOL(name) _##name
#else
#define SYMBOL(name) name
#endif

    .text
    .globl SYMBOL(ForeignCallChecked)
SYMBOL(ForeignCallChecked):
    pushl   %ebp
    movl    %esp, %ebp
    pushl   %ebx
    pushl   %esi
    pushl   %edi
    movl    8(%ebp), %eax           /* function */
    movl    12(%ebp), %esi          /* args */
    movl    16(%ebp), %ecx          /* count */
    movl    %esp, %edi              /* ESP before any argument is placed */
    testl   %ecx, %ecx
    jz      2f
1:  pushl   -4(%esi,%ecx,4)         /* last argument first */
    decl    %ecx
    jnz     1b
2:  call    *%eax
    movl    %edi, %ecx
    subl    %esp, %ecx              /* bytes the callee left on the stack */
    movl    %edi, %esp
    movl    20(%ebp), %edx
    movl    %ecx, (%edx)
    popl    %edi
    popl    %esi
    popl    %ebx
    popl    %ebp
    ret

#ifndef _WIN32
    .section .note.GNU-stack,"",@progbits
#endif
