// The phone client. Until the shell can start, it only says what it is.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("roduvede 0.1");
            return 0;
        }
    }
    std::puts("roduvede: the brokerage phone client (the shell comes in a later build)");
    return 0;
}
