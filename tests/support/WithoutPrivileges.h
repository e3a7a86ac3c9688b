#pragma once

// Runs a probe where file permissions apply: in this process for an
// ordinary user, and for the superuser (CI runs as root, whom permissions
// do not stop) in a child process that has become user "nobody". The
// probe's answer comes back as a number from 0 to 255; -1 when the child
// could not run it.
#include <functional>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

inline int RunWithoutPrivileges(const std::function<int()>& probe)
{
    if (::geteuid() != 0)
        return probe() & 0xff;
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(255);
        ::_exit(probe() & 0xff);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

} // namespace testsupport
