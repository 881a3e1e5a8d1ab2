// The simulated brokerage server. Until it serves, it only says what it is.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("roduvede-sim 0.1");
            return 0;
        }
    }
    std::puts("roduvede-sim: the simulated brokerage server (it serves in a later build)");
    return 0;
}
