#pragma once
// A server function: its main and sub function number ("tc_mfuncno",
// "tc_sfuncno"). Each family's header in this folder names its functions,
// request keys and reply columns once, for the screens and the simulator alike.
struct FunctionId {
    int main = 0;
    int sub = 0;
    friend constexpr bool operator==(FunctionId a, FunctionId b) { return a.main == b.main && a.sub == b.sub; }
};
