#include "sim/SimProcess.h"

#include <sys/resource.h>

#include <algorithm>
#include <csignal>

void simSetUpProcess() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}
