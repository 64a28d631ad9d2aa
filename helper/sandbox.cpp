#include "sandbox.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#ifdef TARVEL_HAVE_SECCOMP
#include <seccomp.h>
#endif

namespace {

void limit(int resource, rlim_t most)
{
    const rlimit value = {most, most};
    ::setrlimit(resource, &value);
}

#ifdef TARVEL_HAVE_SECCOMP
// Argument arg of a call, under mask, is value.
scmp_arg_cmp masked(unsigned arg, scmp_datum_t mask, scmp_datum_t value)
{
    return {arg, SCMP_CMP_MASKED_EQ, mask, value};
}

// What decoding from descriptors it was handed needs, and replying over its socket: reads,
// memory, threads, time, signals to itself. Anything else is refused, as if not allowed.
bool installFilter(QString *why)
{
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
    if (!filter)
        return *why = QStringLiteral("seccomp cannot be set up"), false;
    int failed = 0;
    const auto allow = [&](int call, auto... conditions) {
        failed |=
            seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, sizeof...(conditions), conditions...);
    };
    for (const int call : {SCMP_SYS(read),
                           SCMP_SYS(pread64),
                           SCMP_SYS(readv),
                           SCMP_SYS(write),
                           SCMP_SYS(writev),
                           SCMP_SYS(pwrite64),
                           SCMP_SYS(lseek),
                           SCMP_SYS(close),
                           SCMP_SYS(fstat),
                           SCMP_SYS(munmap),
                           SCMP_SYS(mremap),
                           SCMP_SYS(madvise),
                           SCMP_SYS(brk),
                           SCMP_SYS(futex),
                           SCMP_SYS(exit),
                           SCMP_SYS(exit_group),
                           SCMP_SYS(rt_sigreturn),
                           SCMP_SYS(rt_sigprocmask),
                           SCMP_SYS(rt_sigaction),
                           SCMP_SYS(sigaltstack),
                           SCMP_SYS(getpid),
                           SCMP_SYS(gettid),
                           SCMP_SYS(tgkill),
                           SCMP_SYS(clock_gettime),
                           SCMP_SYS(clock_nanosleep),
                           SCMP_SYS(nanosleep),
                           SCMP_SYS(sched_yield),
                           SCMP_SYS(sched_getaffinity),
                           SCMP_SYS(set_robust_list),
                           SCMP_SYS(rseq),
                           SCMP_SYS(getrandom),
                           SCMP_SYS(sysinfo),
                           SCMP_SYS(sendmsg),
                           SCMP_SYS(recvmsg),
                           SCMP_SYS(memfd_create),
                           SCMP_SYS(ftruncate),
                           SCMP_SYS(fcntl)})
        allow(call);
    // Memory, but none made executable; threads, but no new processes; a thread's name.
    allow(SCMP_SYS(mmap), masked(2, PROT_EXEC, 0));
    allow(SCMP_SYS(mprotect), masked(2, PROT_EXEC, 0));
    allow(SCMP_SYS(clone), masked(0, CLONE_THREAD, CLONE_THREAD));
    allow(SCMP_SYS(prctl), masked(0, ~scmp_datum_t(0), PR_SET_NAME));
    // The state of a descriptor it holds, as Qt asks for it.
    allow(SCMP_SYS(newfstatat), masked(3, AT_EMPTY_PATH, AT_EMPTY_PATH));
    allow(SCMP_SYS(statx), masked(2, AT_EMPTY_PATH, AT_EMPTY_PATH));
    // glibc starts threads with clone once clone3 is not there.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0);
#ifdef TARVEL_SANITIZED
    // A sanitizer reads this process's memory map, and tests memory through a pipe: its
    // builds let opens through, and the refusal is tested in the plain builds.
    for (const int call :
         {SCMP_SYS(openat), SCMP_SYS(open), SCMP_SYS(readlink), SCMP_SYS(pipe), SCMP_SYS(pipe2)})
        allow(call);
#else
    // An open reads as refused.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(openat), 0);
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(EACCES), SCMP_SYS(open), 0);
#endif
    const bool loaded = failed == 0 && seccomp_load(filter) == 0;
    seccomp_release(filter);
    if (!loaded)
        *why = QStringLiteral("this kernel refuses the system-call filter");
    return loaded;
}
#endif

} // namespace

bool enterSandbox(QString *why)
{
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_NOFILE, 32);
    // Its only files are the memfds it writes pixels into, a page's worth each.
    limit(RLIMIT_FSIZE, rlim_t(64) << 20);
#ifndef TARVEL_SANITIZED
    // Enough for any picture Qt's reader agrees to decode whole; sanitizers reserve far more
    // address space than that for themselves, so their builds go without.
    limit(RLIMIT_AS, rlim_t(2) << 30);
#endif
#ifdef TARVEL_HAVE_SECCOMP
    return installFilter(why);
#else
    *why = QStringLiteral("built without libseccomp");
    return false;
#endif
}
